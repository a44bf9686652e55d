#pragma once
// A table together with its dependants: opening, changing and deleting a
// record with the rules of its relations, inside one transaction.

#include <vector>

#include "data/relations.h"

namespace mvz {

class TableAccess;
class Tables;

class TableRelations {
  public:
    TableRelations(TableAccess& table, Tables& tables);

    TableAccess& table() { return table_; }
    int open(bool silent = false);
    void close();

    // Changes the record in the buffer, applying the change rules to the
    // dependants when linking fields differ from the stored values.
    int change(bool redisplay = false);
    // Deletes the record last read with its dependants; with `confirm` message
    // 9 asks first. All or nothing: when one dependant cannot be deleted,
    // nothing is.
    int remove(bool confirm = false);

  private:
    struct Link {
        const Relation* relation;
        TableAccess* child;
        int childKey;
    };
    std::vector<Link> links(bool forDelete) const;
    // Every dependant table a deletion reaches, this table included.
    void collectDeleteTables(std::vector<TableAccess*>& out);
    int deleteDependants();
    int changeDependants(const std::vector<char>& storedImage);
    // Commits (or rolls back) the work's transaction and closes the tables
    // it opened; a failed commit raises `commitMessage`.
    int finish(int r, bool inTransaction, const std::vector<TableAccess*>& opened,
               int commitMessage);

    TableAccess& table_;
    Tables& tables_;
};

} // namespace mvz
