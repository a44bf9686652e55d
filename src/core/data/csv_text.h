#pragma once
// CSV text as spreadsheets and scripts exchange it: fields separated by
// commas, a field in double quotes may hold commas, line ends and doubled
// quotes, rows end with CR LF or LF. Used to load tables from and write them
// to UTF-8 files with a header row of field names.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mvz {

struct CsvRow {
    std::size_t line = 0; // the line the row starts on, from 1
    std::vector<std::string> fields;
};

struct CsvSyntaxError {
    std::size_t line = 0;
    std::string reason;
};

// Reads rows one at a time from a text held in memory (the text must outlive
// the reader).
class CsvReader {
  public:
    explicit CsvReader(std::string_view text);
    // The next row; false at the end of the text or on a syntax error
    // (failed() then tells which, and error() where and why).
    bool next(CsvRow& row);
    bool failed() const { return failed_; }
    const CsvSyntaxError& error() const { return error_; }

  private:
    bool fail(std::size_t line, std::string reason);

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
    bool failed_ = false;
    CsvSyntaxError error_;
};

// Splits the whole text into rows. A UTF-8 byte-order mark at the start is
// skipped and empty lines are left out. A quote inside an unquoted field, text
// after a closing quote and a quote left open are syntax errors: then the
// function returns false and `error` says where and why.
bool parseCsvText(std::string_view text, std::vector<CsvRow>& rows, CsvSyntaxError& error);

// The field as it stands in a CSV row: in quotes (inner quotes doubled) when
// it holds a comma, a quote, a line end, or leading or trailing blanks that
// must survive reading it back; otherwise as it is.
std::string csvField(std::string_view value);

// The fields as one CSV row, ending with a line feed.
std::string csvRecord(const std::vector<std::string>& fields);

} // namespace mvz
