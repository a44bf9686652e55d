#pragma once
// Records as a user names and reads them: FIELD=VALUE assignments, finding
// records by the values of a key, and rows of text or CSV with the fields in
// declared order. Values are UTF-8 as a user types and reads them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/dictionary.h"

namespace mvz {

class Record;
class TableAccess;

struct FieldAssignment {
    int field = -1;
    std::string value; // UTF-8
};

// Reads "FIELD=VALUE" words (FIELD with or without the table's prefix, any
// case; the value is everything after the first '='). Returns an empty string,
// or why a word cannot be read: no '=' or a field the table does not have.
std::string parseAssignments(const TableDef& def, const std::vector<std::string>& words,
                             std::vector<FieldAssignment>& out);

// Sets the fields from the assignments. Returns an empty string, or why a
// value was refused (naming the field); fields set before it keep their new
// values.
std::string applyAssignments(Record& record, const std::vector<FieldAssignment>& values);

// An empty string when every assignment names a component of the key;
// otherwise what is wrong, with the key's components.
std::string checkKeyAssignments(const TableDef& def, int key,
                                const std::vector<FieldAssignment>& values);

// The key's components as "REDBROJ, JMBG, DODANA".
std::string keyComponents(const TableDef& def, int key);

// The positions of the records whose `key` value equals the one the
// assignments give (fields not named count as blank or zero). The table must
// be open; its buffer and reading position change. Returns an empty string or
// why nothing could be looked up (a value refused, every component blank).
std::string findByKey(TableAccess& table, int key, const std::vector<FieldAssignment>& values,
                      std::vector<std::int64_t>& positions);

// Field names in declared order, without the prefix.
std::vector<std::string> fieldNames(const TableDef& def);
// Every field as a user sees it, in declared order.
std::vector<std::string> displayValues(const Record& record);

// One line of a plain listing: the values separated by " | ", ending with a
// line feed.
std::string textRow(const std::vector<std::string>& values);

} // namespace mvz
