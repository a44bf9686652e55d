#pragma once
// Conversion between the single-byte code page 1250 in which records, tables and
// registry files hold their text, and the UTF-8 used at the edges (SQLite columns,
// widgets, terminal). The byte tables are built once from ICU's "windows-1250"
// converter; every byte has a character, so CP1250 -> UTF-8 never fails.

#include <optional>
#include <string>
#include <string_view>

namespace mvz {

// Every byte maps to one character (the five bytes without a glyph map to the
// matching C1 control, so any byte string survives a round trip).
std::string cp1250ToUtf8(std::string_view cp1250);

// nullopt when the UTF-8 is malformed or holds a character without a CP1250 form.
std::optional<std::string> utf8ToCp1250(std::string_view utf8);

// For display-only paths: malformed sequences and characters without a CP1250 form
// become `replacement`.
std::string utf8ToCp1250Lossy(std::string_view utf8, char replacement = '?');

// Upper case of CP1250 text, Croatian letters included (č -> Č, đ -> Đ, ž -> Ž);
// a byte whose upper case has no CP1250 form (ß, µ) stays as it is.
std::string toUpperCp1250(std::string_view cp1250);
char toUpperCp1250(char c);

} // namespace mvz
