#pragma once
// Whether a file is a sound table of this program: an SQLite database that
// carries the program's marks for that table (its file name and record
// layout), has the table's columns and passes SQLite's integrity check. The
// import and the takeover take no file that fails.

#include <cstdint>
#include <string>

namespace mvz {

struct TableDef;

struct TableCheck {
    std::string problem;      // empty when the file is sound; otherwise why not, in Croatian
    std::int64_t records = 0; // the rows of a sound file
};

// The marks and columns only (cheap); `integrity` adds SQLite's full
// integrity check of every page and index.
TableCheck checkTableFile(const std::string& path, const TableDef& def, bool integrity);

// Why a plain file cannot be read ("" when it can): missing, a folder, not
// readable.
std::string unreadableFileProblem(const std::string& path);

} // namespace mvz
