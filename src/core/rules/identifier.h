#pragma once
// Identifiers of persons and payers: the 13-character identifier field and the
// checks every window and batch run uses on it.
//
// The field holds one of four kinds, recognised by its first characters:
//   OIB    11 digits, stored right-aligned after two blanks ("  " + 11 digits)
//   MBROJ  "MBROJ" followed by the 8-digit business number (MB)
//   J      "J" followed by 12 characters, characters 2-9 the 8-digit MB
//   JMBG   13 digits
//
// Two checks:
//   CheckIdentifier       strict, for data entry: every position that holds a
//                         digit must hold 0-9, control digits are checked, and
//                         an OIB typed left-aligned is recognised and returned in
//                         its stored form.
//   CheckIdentifierLoose  lenient, for forming, importing and checking
//                         submission files: the general numeric test, no
//                         control digit for MBROJ and J, and the identifier is
//                         never changed.
// The checks show no messages; each caller shows its own.
//
// An identifier is taken as the 13-character field: a shorter text counts as
// padded with blanks on the right. A text longer than 13 characters whose
// excess is not blank does not fit the field and is invalid under both checks.

#include <string>
#include <string_view>

namespace mvz {

struct IdentifierResult {
    bool valid = false;
    // The identifier as the field stores it: a valid OIB right-aligned after two
    // blanks, anything else as given (13 characters, padded with blanks).
    std::string stored;
};

enum class IdentifierKind { Oib, Mbroj, J, Jmbg };

// The kind the lenient check takes the identifier for: OIB when characters 1-2
// are blank, MBROJ when characters 1-5 are "MBROJ", J when character 1 is "J",
// JMBG otherwise. (The strict check also takes a value that is exactly 11
// characters long without its surrounding blanks as an OIB; see
// strictIdentifierKind.)
IdentifierKind identifierKind(std::string_view id);

// The kind the strict check takes the identifier for: as identifierKind, but an
// identifier that is exactly 11 characters long without leading and trailing
// blanks is an OIB wherever it starts.
IdentifierKind strictIdentifierKind(std::string_view id);

// "OIB", "MBROJ", "J" or "JMBG".
std::string_view identifierKindName(IdentifierKind kind);

IdentifierResult CheckIdentifier(std::string_view id);
bool CheckIdentifierLoose(std::string_view id);

// The control-digit algorithms. Characters that are not digits count as 0.
// JMBG: 13 characters, weights 7,6,5,4,3,2,7,6,5,4,3,2; remainder 1 is invalid.
bool CheckJMBG(std::string_view jmbg);
// OIB: ISO 7064 MOD 11,10 on the value left-justified without trailing blanks,
// which must be exactly 11 characters long and numeric.
bool CheckOIB(std::string_view oib);
// MB: 8 characters, weights 8,7,6,5,4,3,2; remainder 0 is invalid.
bool CheckMB(std::string_view mb);

// Whether `day` does not exceed the length of the month (February has 29 days
// in every year divisible by 4). A month outside 1-12 is invalid. A day below 1
// is not tested here; the callers' own limits cover it.
bool CheckDayOfMonth(int year, int month, int day);

} // namespace mvz
