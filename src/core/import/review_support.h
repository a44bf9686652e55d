#pragma once
// Small helpers shared by the review services of a checked submission file:
// field access by name, the application parameters' folders and the message
// boxes of the review window.

#include <string>
#include <string_view>

namespace mvz {

class Record;
class Reporter;
class Tables;
class TableAccess;

namespace review {

// The field's index; throws std::logic_error for a name the table lacks.
int field(const TableAccess& t, std::string_view name);
int field(const Record& r, std::string_view name);

// The folders of the first APLPARAM record (UTF-8, trailing blanks dropped;
// blank when the record or the table is missing).
struct AppFolders {
    std::string work;   // APL:RADDIR
    std::string output; // APL:IZLAZDIR
};
AppFolders readAppFolders(Tables& tables);

// Sets the working folder of the tables' storage from APL:RADDIR and returns
// the folder the work text files live in: APL:RADDIR, or the data directory
// when it is blank.
std::string useWorkFolder(Tables& tables);

// A message box of the review window (text UTF-8, "|" starts a new line).
void say(Reporter& reporter, const std::string& text, bool warning = true);

} // namespace review
} // namespace mvz
