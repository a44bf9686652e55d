#pragma once
// Which pages of a report are printed: the "Pages to Print" text, a list of
// page numbers and ranges separated by commas ("1-3,5").
//
//   - A blank text selects no page.
//   - An item "a-b" selects page n when a > 0, b > 0, a <= b and a <= n <= b;
//     "3-1", "2-" and "0-2" select nothing.
//   - An item without "-" selects the page whose number it is.
//   - A page is printed when any item selects it.
// Numbers may be surrounded by blanks; a part that is not a number reads as
// 0, so it selects nothing.

#include <string>
#include <string_view>
#include <vector>

namespace mvz {

// The text a report starts with and "Reset" returns to: "1-" and the number
// of pages.
std::string allPagesText(int pageCount);

bool pageSelected(std::string_view pagesToPrint, int page);

// The selected pages among 1..pageCount, ascending.
std::vector<int> selectedPages(std::string_view pagesToPrint, int pageCount);

} // namespace mvz
