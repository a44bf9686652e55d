#pragma once
// Adding many records to one keyed table file inside a running transaction
// (a batch run filling a work table): the rows are stored exactly as
// TableFile::insert stores them, but the statement is prepared once for the
// whole run and texts are bound from reused buffers, so a row costs no
// allocation beyond the sort values of text keys. The file's page cache is
// widened to 64 MiB for as long as it stays attached: a transaction that
// outgrows a small cache spills its pages early and waits for the journal
// to reach the disk each time.
//
// The file must stay open and attached to its connection while the inserter
// lives; a file opened read-only refuses the first add.

#include <optional>
#include <string>
#include <vector>

#include "data/storage_error.h"

struct sqlite3_stmt;

namespace mvz {

class Record;
class TableFile;

class BulkInsert {
  public:
    explicit BulkInsert(TableFile& file);
    ~BulkInsert();
    BulkInsert(const BulkInsert&) = delete;
    BulkInsert& operator=(const BulkInsert&) = delete;

    // Adds the record (of the file's layout) as a new row. `sortValues`, when
    // given, are the record's key sort values in key order (sortValuesOf),
    // computed elsewhere, for example on the thread that made the record.
    StorageError add(const Record& record, const std::optional<std::string>* sortValues = nullptr);
    // The sort values of the record's keys, in key order, appended to `out`.
    static void sortValuesOf(const Record& record, std::vector<std::optional<std::string>>& out);

  private:
    void bindText(int column, std::string_view cp1250, std::string& buffer);

    TableFile& file_;
    sqlite3_stmt* statement_ = nullptr;
    std::vector<std::string> buffers_; // one per bound column
};

} // namespace mvz
