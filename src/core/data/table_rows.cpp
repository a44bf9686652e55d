#include "data/table_rows.h"

#include <algorithm>

#include "data/record.h"
#include "data/sort_value.h"
#include "data/table_access.h"

namespace mvz {

namespace {

std::string fieldList(const TableDef& def) {
    std::string all;
    for (const auto& f : def.fields)
        all += (all.empty() ? "" : ", ") + f.name;
    return all;
}

} // namespace

std::string parseAssignments(const TableDef& def, const std::vector<std::string>& words,
                             std::vector<FieldAssignment>& out) {
    out.clear();
    for (const std::string& word : words) {
        const auto eq = word.find('=');
        if (eq == std::string::npos || eq == 0) return "\"" + word + "\" is not FIELD=VALUE";
        const std::string name = word.substr(0, eq);
        const int field = def.fieldIndex(name);
        if (field < 0)
            return "table " + def.stem() + " has no field " + name +
                   " (its fields: " + fieldList(def) + ")";
        out.push_back({field, word.substr(eq + 1)});
    }
    return {};
}

std::string applyAssignments(Record& record, const std::vector<FieldAssignment>& values) {
    for (const FieldAssignment& a : values)
        if (std::string why = record.setFromDisplay(a.field, a.value); !why.empty()) return why;
    return {};
}

std::string keyComponents(const TableDef& def, int key) {
    std::string out;
    for (int f : def.keys[key].fields)
        out += (out.empty() ? "" : ", ") + def.fields[f].name;
    return out;
}

std::string checkKeyAssignments(const TableDef& def, int key,
                                const std::vector<FieldAssignment>& values) {
    const auto& components = def.keys[key].fields;
    for (const FieldAssignment& a : values)
        if (std::find(components.begin(), components.end(), a.field) == components.end())
            return def.qualified(a.field) + " is not part of the key " + def.qualifiedKey(key) +
                   " (" + keyComponents(def, key) + ")";
    return {};
}

std::string findByKey(TableAccess& table, int key, const std::vector<FieldAssignment>& values,
                      std::vector<std::int64_t>& positions) {
    positions.clear();
    const TableDef& def = table.def();
    const KeyDef& k = def.keys[key];
    Record& record = table.record();
    record.clear();
    if (std::string why = applyAssignments(record, values); !why.empty()) return why;
    const auto target = keySortValue(def, k, record);
    if (!target)
        return "the key " + def.qualifiedKey(key) + " leaves out records whose " +
               keyComponents(def, key) + " are all blank: give a value for one of them";
    table.setOrder(key);
    table.setFromSortValue(*target);
    while (table.next() == result::Ok) {
        const auto value = keySortValue(def, k, table.record());
        if (!value || *value != *target) break;
        positions.push_back(table.position());
    }
    return {};
}

std::vector<std::string> fieldNames(const TableDef& def) {
    std::vector<std::string> out;
    for (const auto& f : def.fields)
        out.push_back(f.name);
    return out;
}

std::vector<std::string> displayValues(const Record& record) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < record.def().fields.size(); ++i)
        out.push_back(record.display(static_cast<int>(i)));
    return out;
}

std::string textRow(const std::vector<std::string>& values) {
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) out += " | ";
        out += values[i];
    }
    out += '\n';
    return out;
}

} // namespace mvz
