#pragma once
// Column-format strings of list controls: a sequence of column descriptions
//
//   <width><align>[(<indent>)] | <modifiers> ~<header>~[<align>[(<indent>)]] @<picture>@
//
// for example "25R(2)|M~Rbr~R(10)@N4_@73L(2)|M~Identifikacijski broj~L(5)@s13@".
// Width and indents are in dialog units; alignment L left, R right, C centre,
// D decimal; modifier M makes the column resizable. A header without its own
// alignment takes the column's alignment and indent.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace mvz {

enum class ColumnAlign : char { Left = 'L', Right = 'R', Center = 'C', Decimal = 'D' };

struct ColumnFormat {
    int width = 0; // dialog units
    ColumnAlign align = ColumnAlign::Left;
    int indent = 0; // dialog units from the aligned edge
    bool resizable = false;
    std::string modifiers; // every modifier letter as written ("M")
    std::string header;    // UTF-8, blanks kept
    ColumnAlign headerAlign = ColumnAlign::Left;
    int headerIndent = 0;
    std::string picture; // without the "@"s: "N4_", "s13"; empty when none

    bool operator==(const ColumnFormat&) const = default;
};

// A format string that does not follow the grammar; the message names the
// character position.
class ColumnFormatError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Parses a whole format string; throws ColumnFormatError.
std::vector<ColumnFormat> parseColumnFormat(std::string_view format);

} // namespace mvz
