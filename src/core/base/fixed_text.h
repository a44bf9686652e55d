#pragma once
// Fixed-width text fields: exactly `width` bytes, padded on the right with blanks,
// no terminator. Two field values are equal when they differ only in trailing blanks.
// "Blank" means the space character.

#include <cstddef>
#include <string>
#include <string_view>

namespace mvz {

// Copies src into dst[0..width), clipping it to width and padding with blanks.
void setFixed(char* dst, size_t width, std::string_view src);

// src clipped or padded with blanks to exactly width bytes.
std::string fixed(std::string_view src, size_t width);

// src without its trailing blanks.
std::string_view clipRight(std::string_view src);

// src without its leading blanks.
std::string_view clipLeft(std::string_view src);

// src without leading and trailing blanks.
std::string_view trim(std::string_view src);

bool equalIgnoringTrailingBlanks(std::string_view a, std::string_view b);

// True for an empty text and for a text of blanks only.
bool isBlank(std::string_view src);

// The leading blanks moved to the end: the same width, the text left-aligned.
std::string leftJustified(std::string_view src);

} // namespace mvz
