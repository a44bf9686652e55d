#include "data/tables.h"

#include <stdexcept>

namespace mvz {

Tables::Tables(std::string dataDir, ErrorReporter& errors, const std::vector<Relation>& relations)
    : storage_(std::move(dataDir)), errors_(errors), relationTable_(relations) {}

Tables::~Tables() {
    relations_.clear();
    access_.clear();
}

TableAccess& Tables::access(std::string_view name) {
    const TableDef* def = findTable(name);
    if (!def) throw std::invalid_argument("unknown table " + std::string(name));
    auto key = def->prefix.empty() ? def->fileName : def->prefix;
    auto it = access_.find(key);
    if (it == access_.end())
        it = access_.emplace(key, std::make_unique<TableAccess>(*def, storage_, errors_)).first;
    return *it->second;
}

TableRelations& Tables::relations(std::string_view name) {
    TableAccess& t = access(name);
    const std::string key = t.def().prefix.empty() ? t.def().fileName : t.def().prefix;
    auto it = relations_.find(key);
    if (it == relations_.end())
        it = relations_.emplace(key, std::make_unique<TableRelations>(t, *this)).first;
    return *it->second;
}

} // namespace mvz
