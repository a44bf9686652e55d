#pragma once
// Control characters (the bytes below 32 and 127) in values: a stored text
// field and a record of a submission file hold none, and a value printed to a
// terminal shows them as escapes, so a file's bytes never act on the screen.

#include <cstddef>
#include <string>
#include <string_view>

namespace mvz {

inline bool isControlChar(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// The index of the first control character, or npos.
std::size_t findControlChar(std::string_view text);

// "\x1b" for the byte 27: the escape a control character is shown as.
std::string controlCharEscape(unsigned char c);

// The text with every control character shown as its escape; with
// `keepLineBreaks`, a line feed stays a line feed.
std::string escapeControlChars(std::string_view text, bool keepLineBreaks = false);

} // namespace mvz
