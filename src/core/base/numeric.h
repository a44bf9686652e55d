#pragma once
// The numeric test used wherever a value must be a number.
//
// A text is numeric when, after its trailing blanks are dropped, it is not empty
// and reads as one complete decimal number: leading blanks, then an optional
// sign, digits with at most one decimal point (at least one digit: "1." and ".5"
// are numbers, "." is not), then an optional exponent "e" or "E" with an optional
// sign and at least one digit ("1e5", "1E-3"; "1e" and "e5" are not numbers).
// A blank between sign and digits, a comma, or any other character makes the
// text not numeric.

#include <optional>
#include <string_view>

namespace mvz {

bool isNumeric(std::string_view text);

// A single character taken as a digit: '0'..'9' give 0..9, any other character 0.
int digitValue(char c);

// A whole number with optional surrounding blanks and sign; nullopt for anything
// else and for values outside long long.
std::optional<long long> parseInteger(std::string_view text);

} // namespace mvz
