#pragma once
// A title as a file name in plain letters: Croatian letters without their
// marks ("Č" -> "c", "Đ" -> "d"), lower case, every run of other characters
// one "-". "ŠIFARNIK - OPĆINE I GRADOVI" gives "sifarnik-opcine-i-gradovi".

#include <string>
#include <string_view>

namespace mvz {

// `utf8` in plain lower-case letters, digits and single hyphens; "" when
// nothing of it is a letter or digit.
std::string plainName(std::string_view utf8);

// The name a saved report proposes: the title's plain name and the day,
// "sifarnik-opcine-i-gradovi-2026-12-11.pdf" (`isoDay` "2026-12-11").
std::string reportFileName(std::string_view title, std::string_view isoDay,
                           std::string_view extension = ".pdf");

} // namespace mvz
