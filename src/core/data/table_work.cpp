#include "data/table_work.h"

#include "data/error_reporter.h"
#include "data/tables.h"

namespace mvz {

TableWork::~TableWork() {
    if (inTransaction_) tables_.storage().rollback();
    for (auto it = opened_.rbegin(); it != opened_.rend(); ++it) {
        (*it)->close();
        (*it)->setShareMode(ShareMode::Shared);
    }
}

bool TableWork::open(TableAccess& t, bool silent) {
    return open(t, ShareMode::Shared, silent);
}

bool TableWork::open(TableAccess& t, ShareMode mode, bool silent) {
    t.setShareMode(mode);
    if (t.open(silent) != result::Ok) {
        t.setShareMode(ShareMode::Shared);
        return false;
    }
    opened_.push_back(&t);
    return true;
}

bool TableWork::begin(const std::vector<TableAccess*>& written) {
    std::vector<TableFile*> files;
    for (TableAccess* t : written)
        files.push_back(t->file());
    if (StorageError e = tables_.storage().begin(files)) {
        report(*written.front(), e, 21);
        return false;
    }
    inTransaction_ = true;
    return true;
}

int TableWork::commit(const TableAccess& main, int failureMessage) {
    inTransaction_ = false;
    if (StorageError e = tables_.storage().commit()) {
        report(main, e, failureMessage);
        return result::Failed;
    }
    return result::Ok;
}

void TableWork::rollback() {
    if (!inTransaction_) return;
    inTransaction_ = false;
    tables_.storage().rollback();
}

void TableWork::report(const TableAccess& t, const StorageError& e, int message) {
    ErrorReporter& errors = tables_.errors();
    errors.setFile(t.def().fileName);
    errors.captureError(e);
    errors.raise(static_cast<std::uint16_t>(message));
}

} // namespace mvz
