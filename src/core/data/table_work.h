#pragma once
// One piece of work over several tables: the tables it opens are closed
// again when it ends, and its transaction, unless committed, is rolled back.
// Failures of the transaction are shown with the table layer's messages.

#include <vector>

#include "data/file_lock.h"
#include "data/storage_error.h"

namespace mvz {

class TableAccess;
class Tables;

class TableWork {
  public:
    explicit TableWork(Tables& tables) : tables_(tables) {}
    ~TableWork();
    TableWork(const TableWork&) = delete;
    TableWork& operator=(const TableWork&) = delete;

    // Opens a table for the work (with the open policy and its messages, or
    // silently); false when it could not be opened.
    bool open(TableAccess& t, bool silent = false);
    bool open(TableAccess& t, ShareMode mode, bool silent);

    // Begins the transaction over the tables the work writes; on failure
    // message 21 is shown (for the first of them).
    bool begin(const std::vector<TableAccess*>& written);
    // Commits; on failure `failureMessage` is shown for `main`.
    int commit(const TableAccess& main, int failureMessage);
    void rollback();
    bool inTransaction() const { return inTransaction_; }

    // Shows a table-layer message about `t` with the storage error filled in.
    void report(const TableAccess& t, const StorageError& e, int message);

  private:
    Tables& tables_;
    std::vector<TableAccess*> opened_;
    bool inTransaction_ = false;
};

} // namespace mvz
