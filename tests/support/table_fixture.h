#pragma once
// A data folder with the table objects of one window, the message table
// loaded and a recorder for what the user would see.

#include <memory>
#include <string>
#include <vector>

#include "base/cp1250.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "support/recording_reporter.h"
#include "support/temp_dir.h"

namespace mvz::test {

// A second "window" (or station) over the same folder.
struct Station {
    explicit Station(const std::string& dir,
                     const std::vector<Relation>& relations = standardRelations())
        : errors(reporter),
          tables((errors.addMessages(standardMessages()), dir), errors, relations) {}
    RecordingReporter reporter;
    ErrorReporter errors;
    Tables tables;

    // The table, opened (a failed open fails the test).
    TableAccess& open(const std::string& table);
    // How many rows the table holds; it is opened and closed for it.
    long long rows(const std::string& table);
    // A field of the row whose first key holds `value` in `keyField`,
    // "(none)" when there is none; the table is opened and closed for it.
    std::string lookUp(const std::string& table, const std::string& keyField,
                       const std::string& value, const std::string& field);
};

// Sets a field from UTF-8 text; fails the test when the value is refused.
void set(TableAccess& t, const std::string& field, const std::string& utf8);
std::string get(TableAccess& t, const std::string& field);
// The values of one field of every record, read in the order of `key`.
std::vector<std::string> column(TableAccess& t, const std::string& key, const std::string& field,
                                bool backwards = false);

} // namespace mvz::test
