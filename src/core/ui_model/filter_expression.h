#pragma once
// Range and filter expressions of lists: comparisons joined by AND, each side
// a field or bound name ("RAD:RedBroj", "GLO:Firma"), UPPER(name), a quoted
// text or a number, for example
//
//   (RAD:RedBroj=GLO:Firma) AND (UPPER(RAD:PREZIME)>='K')
//
// The list resolves the names (fields of its tables, bound names) and
// compares the values; leading key components compared for equality become
// the list's range, so only the rows in range are read.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace mvz {

struct FilterOperand {
    enum class Kind { Name, Literal };
    Kind kind = Kind::Name;
    std::string text;   // the name as written, or the literal's value (UTF-8)
    bool upper = false; // wrapped in UPPER( )
    bool operator==(const FilterOperand&) const = default;
};

enum class FilterOp { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

struct FilterTerm {
    FilterOperand left;
    FilterOp op = FilterOp::Equal;
    FilterOperand right;
};

class FilterExpressionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Throws FilterExpressionError for anything but comparisons joined by AND.
std::vector<FilterTerm> parseFilterExpression(std::string_view text);

// Compares two values (UTF-8) as a filter does: numerically when both read as
// decimal numbers, otherwise as text with trailing blanks ignored (upper-cased
// first when `upper`).
bool compareFilterValues(std::string_view left, FilterOp op, std::string_view right,
                         bool upper = false);

} // namespace mvz
