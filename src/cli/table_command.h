#pragma once
// `mvz table NAME list|get|add|change|delete|load|dump`: the records of one
// table through TableAccess and TableRelations, so keys, field checks,
// auto-numbering, cascades and their messages apply.

#include <string>
#include <vector>

namespace mvz {

class CliSession;

struct TableCommand {
    enum class Action { List, Get, Add, Change, Delete, Load, Dump };
    Action action = Action::List;
    std::string table;               // file stem or prefix, any case
    std::string key;                 // --key
    std::vector<std::string> values; // FIELD=VALUE words (the key's values for get/change/delete)
    std::vector<std::string> from;   // list --from
    std::vector<std::string> set;    // change --set
    std::string file;                // load
    bool reverse = false;
    long limit = -1; // -1: no limit
    bool csv = false;
};

// Runs the command and returns the exit code; throws UsageError for unknown
// table, field and key names.
int runTableCommand(CliSession& session, const TableCommand& command);

} // namespace mvz
