#pragma once
// The tables a clerk keeps by hand in a window (employers, employees, the
// four code tables, municipalities, rates, the control table and the
// application parameters), written with the checks and questions of the
// window that keeps each of them. Whatever writes such a table outside its
// window (the command line, an import) goes through these functions, so it
// refuses what the window refuses, with the window's texts.
//
// Each operation opens the tables it needs itself (the caller keeps none of
// them open), shows the window's messages as plain boxes with the window's
// title through the tables' reporter, and asks its questions there. Other
// tables are written as they are, through the table layer alone.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/csv_table_load.h"

namespace mvz {

class Record;
class TableAccess;
class Tables;
struct TableDef;

// Whether a window keeps the table and these operations apply to it.
bool hasRegisterChecks(const TableDef& def);

// The title of the window that keeps the table (its messages carry it).
std::string_view registerWindowTitle(const TableDef& def);

struct RegisterOutcome {
    bool ok = true;
    // The window's messages, in the order they were shown (warnings that let
    // the save go on included); empty when the table layer showed its own.
    std::vector<std::string> messages;
};

// The employer number: 1 to 999, and not 888 (reserved for the print rows
// of checked files). Empty when the number may be used, else the message.
std::string checkEmployerNumber(long number);

// The checks of the window before `row` is saved, without writing and
// without showing anything; `stored` is the record being changed (null for a
// new one) and `storedPosition` its position (0 for a new one). The tables
// the checks read are opened by the call. `row` may receive the stored form
// of an identifier.
RegisterOutcome checkRegisterRow(Tables& tables, Record& row, const Record* stored,
                                 std::int64_t storedPosition);

// Adds `row` to its table after the window's checks.
RegisterOutcome addRegisterRecord(Tables& tables, Record row);
// Replaces the record at `position` by `row` after the window's checks (and
// through the table's relations, so dependants follow a changed key).
RegisterOutcome changeRegisterRecord(Tables& tables, std::int64_t position, Record row);
// Deletes the record at `position` as the window does: message 9 is asked
// first (No deletes nothing), then the record goes with its dependants.
RegisterOutcome deleteRegisterRecord(Tables& tables, const TableDef& def, std::int64_t position);

struct RegisterLoad {
    bool ok = false;
    std::size_t added = 0;
    // Each refused row as "SOURCE, line N: message", in file order.
    std::vector<std::string> refusedRows;
    // Why nothing was loaded when no single row is to blame (a file that
    // cannot be opened, a failed commit).
    std::string error;
};

// Adds the rows read from a CSV file (`source` names it) through the
// window's checks. Every row is checked, also after a refused one, each
// against the table as the rows before it left it; when any row is refused
// nothing is added.
RegisterLoad loadRegisterRows(Tables& tables, const TableDef& def,
                              const std::vector<CsvRecord>& rows, const std::string& source);

} // namespace mvz
