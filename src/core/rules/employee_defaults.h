#pragma once
// How a new employee row (TBZAPOSL) starts: it belongs to the employer it is
// added for and takes that employer's payer type; its municipality is the
// seat from the application parameters, unless the clerk asked to copy a
// highlighted person, whose surname and name, municipality and
// extended-service mark it then takes, with both days and the pillar II and
// net amounts at 0.

#include <optional>
#include <string>

namespace mvz {

class Record;
class Tables;

// What "copy" takes over from a highlighted employee row (CP1250, as stored).
struct CopiedPerson {
    std::string surnameAndName; // RAD:PREZIME
    std::string municipality;   // RAD:OPCINA
    std::string extendedMark;   // RAD:OSNOVA3
};

// The copy of a stored employee row.
CopiedPerson copiedPersonOf(const Record& employee);

// The seat municipality of the application parameters (APL:SIFSJED of their
// first record); empty when there are none. Opens and closes APLPARAM.
std::string seatMunicipality(Tables& tables);

// Presets the cleared employee buffer `row` for `employer` (a TBPOSLOD
// record); `seat` is the municipality used when no person is copied.
void primeNewEmployee(Record& row, const Record& employer, const std::optional<CopiedPerson>& copy,
                      const std::string& seat);

} // namespace mvz
