#pragma once
// The message table of the error reporter: numbered messages with a severity,
// a dialog title and a text with placeholders. It ships as a counted list
// (data/messages.bin, compiled into the library):
//
//   u16 count, then per entry: u16 ID, u8 severity,
//   u8 title length + title, u8 text length + text   (little-endian, CP1250)

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace mvz {

struct ErrorEntry {
    std::uint16_t id = 0;
    std::uint8_t fatality = 0; // severity: 0 none, 1/4 question, 2/3 fatal, 5 notice
    std::string title;         // UTF-8
    std::string message;       // UTF-8, with placeholders such as "%File"
};

// A message table that cannot be read or written: truncated bytes, a count
// that promises more entries than there are, bytes left over, or (writing)
// text without a CP1250 form or longer than 255 characters.
class MessageTableError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Decodes a counted list; throws MessageTableError on malformed bytes.
std::vector<ErrorEntry> readMessageTable(std::string_view bytes);

// Encodes entries as a counted list; throws MessageTableError when a title or
// text does not fit (more than 255 CP1250 characters, or not representable).
std::string writeMessageTable(const std::vector<ErrorEntry>& entries);

// The table the program was built with, decoded once.
const std::vector<ErrorEntry>& standardMessages();

} // namespace mvz
