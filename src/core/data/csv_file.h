#pragma once
// Comma-delimited text files: one line is one record, its fields separated by
// commas. A field may be enclosed in double quotes; inside quotes a doubled
// quote stands for one quote and a comma is text. Lines end as in a line-text
// file (CR LF, or LF alone), and a Ctrl-Z ends the file. A line end inside
// quotes still ends the record, so fields holding a line feed or a Ctrl-Z
// cannot be written.

#include "data/line_file.h"

#include <string>
#include <string_view>
#include <vector>

namespace mvz {

// The fields of one line; an empty line is one empty field. Text after a
// closing quote up to the next comma belongs to the field; a quote left open
// runs to the end of the line.
void parseCsvLine(std::string_view line, std::vector<std::string>& fields);
// One line of the fields; a field holding a comma, a quote or a carriage
// return is quoted.
std::string formatCsvLine(const std::vector<std::string>& fields);

class CsvFile : private RawLineFile {
  public:
    explicit CsvFile(std::size_t bufferSize = kDefaultBufferSize) : RawLineFile(bufferSize) {}

    using RawLineFile::close;
    using RawLineFile::create;
    using RawLineFile::empty;
    using RawLineFile::errorCode;
    using RawLineFile::flush;
    using RawLineFile::isOpen;
    using RawLineFile::lastError;
    using RawLineFile::open;
    using RawLineFile::path;
    using RawLineFile::position;
    using RawLineFile::set;

    // Reads the next record; at the end of the file fails with 33 and
    // leaves fields empty.
    bool next(std::vector<std::string>& fields);
    bool get(std::uint64_t offset, std::vector<std::string>& fields);

    // Writes the fields as a new line at the end of the file. A field holding
    // a line feed or a Ctrl-Z fails with 79 and nothing is written.
    bool add(const std::vector<std::string>& fields);
    bool append(const std::vector<std::string>& fields) { return add(fields); }
};

} // namespace mvz
