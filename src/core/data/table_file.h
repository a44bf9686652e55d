#pragma once
// One keyed data file as a SQLite database: table "rec" with one readable
// column per field, one sort-value column "_kN" per key with its index, and a
// version number per row that detects changes made by another station.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/dictionary.h"
#include "data/file_lock.h"
#include "data/record.h"
#include "data/storage_error.h"

struct sqlite3;
struct sqlite3_stmt;

namespace mvz {

struct Hub;

struct StoredRow {
    std::int64_t rowid = 0;
    std::int64_t version = 0;
    std::string sortValue; // of the key the row was read by (empty in physical order)
    std::string bytes;     // the record image
    std::string memo;
};

class TableFile {
  public:
    TableFile(const TableDef& layout, std::string path, std::string schema);
    ~TableFile();
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    const TableDef& layout() const { return layout_; }
    const std::string& path() const { return path_; }
    const std::string& schema() const { return schema_; }
    Hub* hub() const { return hub_; }
    bool readOnly() const { return readOnly_; }

    StorageError insert(const Record& record, std::int64_t& rowid);
    StorageError update(std::int64_t rowid, std::int64_t version, const Record& record,
                        std::int64_t& newVersion);
    StorageError remove(std::int64_t rowid);
    StorageError removeAll();
    StorageError read(std::int64_t rowid, StoredRow& row);

    // Up to `limit` rows in the order of `key` (-1: physical order), forwards
    // or backwards. Without `from` the read starts at the first (last) row;
    // with it, after (before) the position (from, fromRowid); with
    // `fromRowid` 0 at the first row whose value is >= from (<= backwards).
    StorageError page(int key, bool forward, const std::string* from, std::int64_t fromRowid,
                      int limit, std::vector<StoredRow>& out);
    // The first unique key, in declaration order, on which another row holds
    // the record's value; -1 when none.
    int duplicateKey(const Record& record, std::int64_t exceptRowid);
    // Highest sort value of `key` starting with `prefix`.
    StorageError lastSortValue(int key, const std::string& prefix, std::optional<std::string>& out);
    StorageError count(std::int64_t& out);
    // A number that changes whenever another connection (another window's
    // tables, another program) committed a change to the file; commits of
    // this session leave it as it is.
    StorageError dataVersion(std::int64_t& out);

    // While this session holds a write transaction no other station can add
    // to the file, so the highest auto-number it added is the highest there
    // is: bulk adds then skip the lookup.
    bool knownHighest(int key, const std::string& prefix, std::int64_t& value) const;
    void rememberHighest(int key, const std::string& prefix, std::int64_t value);
    void forgetHighest() { highest_.valid = false; }

    // Computes every sort value again (after the collation changed).
    StorageError rebuildKeys();

    // A bulk fill of an empty table inside a transaction drops the key
    // indexes and builds each once at the end, which is much cheaper than
    // keeping them in step row by row. A rollback brings the indexes back;
    // a duplicate on a unique key fails buildIndexes.
    StorageError dropIndexes();
    StorageError buildIndexes();

  private:
    friend class StorageSession;
    StorageError attachTo(Hub* hub, bool readOnly);
    void detach();
    StorageError checkLayout();
    StorageError createSchema();
    std::string indexStatements() const;
    void finalizeStatements();
    sqlite3_stmt* statement(int slot, const std::string& sql, StorageError& error);
    StorageError bindRecord(sqlite3_stmt* st, const Record& record, int& next);
    void readRow(sqlite3_stmt* st, int firstColumn, StoredRow& row);
    StorageError sqliteError(int rc, const std::string& what) const;

    const TableDef& layout_;
    std::string path_;
    std::string schema_;
    Hub* hub_ = nullptr;
    bool readOnly_ = false;
    FileLock lock_;
    ShareMode mode_ = ShareMode::Shared;
    int users_ = 0;
    std::string columns_; // the field columns in declared order
    std::vector<sqlite3_stmt*> statements_;
    std::vector<std::string> bound_;
    std::unique_ptr<Record> scratch_;
    struct {
        bool valid = false;
        int key = 0;
        std::string prefix;
        std::int64_t value = 0;
        std::uint64_t serial = 0;
    } highest_;
};

// The collation version stored with every file; a file built with another
// version must have its keys rebuilt.
std::string collationVersion();

// The record layout a file was made for, as stored in its own table "_mvz":
// a file of another layout is not a file of this table.
std::string layoutSignature(const TableDef& def);

} // namespace mvz
