#pragma once
// Municipality and city codes (TBOPCINE, OPC:SIFRA): four digits, the fourth
// a control digit over the first three.

#include <optional>
#include <string>
#include <string_view>

namespace mvz {

// Weights 4, 3, 2 on digits 1-3; remainder 0 is invalid, remainder 1 needs
// control digit 0, otherwise 11 - remainder. Every one of the four positions
// must hold a digit 0-9. "0000" is invalid here (remainder 0); the row window
// lets it through without this check.
bool CheckMunicipalityCode(std::string_view code4);

// A refused code on leaving the code field of the municipality row window.
struct MunicipalityCodeError {
    std::string message;
    bool errorSound = false; // the window sounds the error signal before the message
};

// The check of the municipality row window when the code field is left: the
// error to show (the focus goes back to the code field), or none when the code
// may stay. In order: fewer than 4 characters, not four digits 0-9, a control
// digit that does not fit. "0000" passes.
std::optional<MunicipalityCodeError> checkMunicipalityCodeField(std::string_view code);

} // namespace mvz
