#pragma once
// Loading a table from a UTF-8 CSV file: a header row of field names (with or
// without the table's prefix, any case, in any order; fields not named stay
// blank or zero), then one row per record. Every record goes through
// TableAccess::add, so keys, field checks, auto-numbering and their messages
// apply. All or nothing: the rows of a keyed table are added in one
// transaction, and when one is refused (a malformed value, a value too long
// for its field, a duplicate key, a CSV syntax error) the table is left
// exactly as it was.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/record.h"

namespace mvz {

class TableAccess;

struct CsvLoadResult {
    bool ok = false;
    std::size_t added = 0; // records added
    // Why nothing was loaded, naming the file and, where there is one, the
    // line and the field. When the table refused a record, its message was
    // shown through the error reporter first.
    std::string error;
};

// Turns the record read from one row into the records to add (by default the
// record itself). Returns an empty string, or why the row is refused.
using CsvRowExpander = std::function<std::string(const Record& row, std::vector<Record>& out)>;

// Loads CSV text; `source` names it in errors (the file's path).
CsvLoadResult loadCsvText(TableAccess& table, std::string_view text, const std::string& source,
                          const CsvRowExpander& expand = {});
// Reads the file and loads it as above.
CsvLoadResult loadCsvFile(TableAccess& table, const std::string& path,
                          const CsvRowExpander& expand = {});

struct CsvRecord {
    std::size_t line;
    Record record;
};

// Reads every row of CSV text into records of the table's layout without
// storing them. Returns an empty string, or why the text cannot be read
// (naming the source, line and field).
std::string readCsvRecords(const TableDef& def, std::string_view text, const std::string& source,
                           std::vector<CsvRecord>& out, const CsvRowExpander& expand = {});

} // namespace mvz
