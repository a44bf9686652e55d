#pragma once
// The checks the calculation-type (VOI, TBVRSUPL) row window adds to the
// common row pattern. The window calls them and acts on the outcome: it shows
// the message, puts the focus on the field named and saves only when allowed.

#include <string>
#include <string_view>

namespace mvz {

class Record;
class TableAccess;

enum class CodeTableField { None, Code, Description };

struct CodeTableCheck {
    std::string message; // UTF-8; empty when nothing is shown
    CodeTableField focus = CodeTableField::None;
    bool proceed = true; // false: the window stays open and nothing is written
};

// Leaving the code field: a code shorter than 2 characters (trailing blanks
// dropped) is refused. `code` is the field value (CP1250, one byte a character).
CodeTableCheck checkCalculationTypeCode(std::string_view code);

// Every code table: a blank code is refused (it could never be chosen).
CodeTableCheck checkCodeFilled(std::string_view code);

// Saving a new row: the code is checked as on leaving its field (a save can
// come without the field ever being left); then a row with the same code
// (VUP:KEYSIFRA) refuses it with the focus on the code, else a row with the
// same long description (VUP:KEYNAZIV, which ignores case) with the focus on
// the description. `types` is the open TBVRSUPL table; `row` the new row (it
// may be the buffer of `types`). The buffer and read position of `types` are
// restored afterwards. A failed read refuses the save; its message has been
// shown by the table.
CodeTableCheck checkNewCalculationType(TableAccess& types, const Record& row);

} // namespace mvz
