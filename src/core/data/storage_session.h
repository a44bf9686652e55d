#pragma once
// The storage of one window or batch run: its SQLite connections with the
// data files attached, and transactions that span several files. Each
// connection's main database is the hub file of the data directory, so that
// a commit over several attached files is atomic.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "data/dictionary.h"
#include "data/file_lock.h"
#include "data/installation_mode.h"
#include "data/storage_error.h"
#include "data/table_file.h"

struct sqlite3;

namespace mvz {

struct Hub {
    sqlite3* db = nullptr;
    int attached = 0;
    bool inTransaction = false;
    std::uint64_t transactionSerial = 0; // counts the transactions begun
};

class StorageSession {
  public:
    explicit StorageSession(std::string dataDir);
    ~StorageSession();
    StorageSession(const StorageSession&) = delete;
    StorageSession& operator=(const StorageSession&) = delete;

    const std::string& dataDir() const { return dataDir_; }
    // The installation's mode, read when the session starts, and the
    // permissions every file the session's runs create gets from it: table
    // files and their journals, the hub and lock files, work files, payer
    // and collective files, wherever their folder is.
    InstallationMode installationMode() const { return mode_; }
    mode_t fileMode() const { return fileModeOf(mode_); }
    // Where the file of a table lives: the data directory and the file's own
    // name (a declared drive or folder is dropped). The work text files of
    // the submission runs live in the working folder when one is set.
    std::string pathOf(const TableDef& def) const;
    // The working folder (APL:RADDIR); blank means the data directory.
    void setWorkFolder(std::string folder);
    const std::string& workFolder() const { return workFolder_; }

    // Opens the keyed file of a table for this session; two declarations of
    // one file share it. Error 2 when the file does not exist.
    StorageError open(const TableDef& def, ShareMode mode, TableFile*& out);
    void close(TableFile* file);
    // Creates the file of a table empty (error 54 for tables that may not be created).
    StorageError create(const TableDef& def);

    // One transaction over the given files (they are brought onto one
    // connection first). Nested begins join the running transaction; when a
    // nested level rolls back, the outermost commit rolls back and fails.
    StorageError begin(const std::vector<TableFile*>& files);
    StorageError commit();
    void rollback();
    bool inTransaction() const { return depth_ > 0; }

  private:
    StorageError hubFor(TableFile* file, Hub*& out);
    StorageError newHub(Hub*& out);
    StorageError move(TableFile* file, Hub* to);
    StorageError endTransaction(bool commit);

    std::string dataDir_;
    InstallationMode mode_;
    std::string hubPath_;
    std::string workFolder_;
    std::vector<std::unique_ptr<Hub>> hubs_;
    std::map<std::string, std::unique_ptr<TableFile>> files_; // by path
    int schemaCounter_ = 0;
    Hub* txHub_ = nullptr;
    int depth_ = 0;
    bool doomed_ = false; // an inner level rolled back
};

} // namespace mvz
