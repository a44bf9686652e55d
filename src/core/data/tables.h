#pragma once
// The table objects of one window or batch run: a TableAccess and a
// TableRelations per declaration, created on first use, over one storage
// session (so that work over several tables can be one transaction).

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/relations.h"
#include "data/storage_session.h"
#include "data/table_access.h"
#include "data/table_relations.h"

namespace mvz {

class ErrorReporter;

class Tables {
  public:
    Tables(std::string dataDir, ErrorReporter& errors,
           const std::vector<Relation>& relations = standardRelations());
    ~Tables();

    // By prefix, file name or file stem; throws std::invalid_argument for an
    // unknown name.
    TableAccess& access(std::string_view name);
    TableRelations& relations(std::string_view name);

    StorageSession& storage() { return storage_; }
    ErrorReporter& errors() { return errors_; }
    const std::vector<Relation>& relationTable() const { return relationTable_; }

  private:
    StorageSession storage_;
    ErrorReporter& errors_;
    const std::vector<Relation>& relationTable_;
    std::map<std::string, std::unique_ptr<TableAccess>> access_;
    std::map<std::string, std::unique_ptr<TableRelations>> relations_;
};

} // namespace mvz
