#include "data/storage_session.h"

#include <cerrno>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/created_file.h"
#include "data/mode_keeping_vfs.h"
#include "data/sqlite_error.h"

namespace mvz {

namespace {

// SQLite attaches at most this many files to one connection.
constexpr int kMaxAttached = 10;
// Seconds a station may wait for another one's lock (the lock-recovery wait).
constexpr int kBusyMillis = 10000;

StorageError hubError(sqlite3* db, int rc, const std::string& what) {
    // A hub that cannot be opened means the folder denies access.
    if ((rc & 0xFF) == SQLITE_CANTOPEN) return StorageError::of(err::AccessDenied, what);
    return storageErrorOfSqlite(db, rc, what, err::UnableToLogTransaction);
}

// SQLite would create a new database file as rw-r--r-- less the umask; made
// here first (empty, which SQLite takes as a new database) it has the
// installation's mode, and SQLite gives its journals the mode of the file.
bool precreate(const std::string& path, mode_t mode) {
    const int fd = openCreating(path, O_RDONLY | O_CLOEXEC, mode);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

} // namespace

StorageSession::StorageSession(std::string dataDir) : dataDir_(std::move(dataDir)) {
    if (dataDir_.empty()) dataDir_ = ".";
    while (dataDir_.size() > 1 && dataDir_.back() == '/')
        dataDir_.pop_back();
    hubPath_ = dataDir_ + "/.mvz-hub";
    mode_ = mvz::installationMode(dataDir_);
}

StorageSession::~StorageSession() {
    if (depth_ > 0) endTransaction(false);
    for (auto& [path, file] : files_) {
        file->detach();
        file->lock_.release();
    }
    files_.clear();
    for (auto& hub : hubs_)
        sqlite3_close_v2(hub->db);
}

namespace {

// The text files that submission and checking runs build and read again.
bool isWorkTextFile(const TableDef& def) {
    static const char* const names[] = {
        "TBZOVAK.TXT", "TBZOVAK1.TXT", "TBSLOG0.TXT",  "TBSLOG3.TXT",  "TBSLOG5.TXT",
        "TBSLOG7.TXT", "TBSLOG9.TXT",  "TBUPLATE.DAT", "TBIZLAZ2.TXT", "TEXTSIF.TXT"};
    for (const char* n : names)
        if (def.fileName == n) return true;
    return false;
}

} // namespace

std::string StorageSession::pathOf(const TableDef& def) const {
    if (!workFolder_.empty() && isWorkTextFile(def)) return workFolder_ + def.baseName();
    return dataDir_ + "/" + def.baseName();
}

void StorageSession::setWorkFolder(std::string folder) {
    while (!folder.empty() && folder.back() == ' ')
        folder.pop_back();
    if (!folder.empty() && folder.back() != '/') folder += '/';
    workFolder_ = std::move(folder);
}

StorageError StorageSession::newHub(Hub*& out) {
    auto hub = std::make_unique<Hub>();
    const int flags =
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
    precreate(hubPath_, fileMode()); // when it fails, so does the open
    int rc = sqlite3_open_v2(hubPath_.c_str(), &hub->db, flags, modeKeepingVfs());
    if (rc != SQLITE_OK) {
        // A folder we may not write to can still be read: a private hub will
        // do, since nothing can be committed there anyway.
        sqlite3_close_v2(hub->db);
        hub->db = nullptr;
        rc = sqlite3_open_v2("", &hub->db, flags, nullptr);
    }
    if (rc != SQLITE_OK) {
        StorageError e = hubError(hub->db, rc, hubPath_);
        sqlite3_close_v2(hub->db);
        return e;
    }
    sqlite3_busy_timeout(hub->db, kBusyMillis);
    sqlite3_extended_result_codes(hub->db, 1);
    out = hub.get();
    hubs_.push_back(std::move(hub));
    return {};
}

StorageError StorageSession::hubFor(TableFile* file, Hub*& out) {
    for (auto& hub : hubs_)
        if (hub->attached < kMaxAttached && !hub->inTransaction) {
            out = hub.get();
            return {};
        }
    return newHub(out);
}

StorageError StorageSession::create(const TableDef& def) {
    if (!def.creatable()) return StorageError::of(err::NoCreateAttribute, pathOf(def));
    const std::string path = pathOf(def);
    Hub* hub = nullptr;
    if (StorageError e = hubFor(nullptr, hub)) return e;
    // Created under a temporary name and renamed into place, so a half-made
    // file never stands under the table's name.
    const std::string temp = path + ".new";
    ::unlink(temp.c_str());
    if (!precreate(temp, fileMode())) return StorageError::fromErrno(errno, path);
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        int e = sqlite3_system_errno(db);
        sqlite3_close_v2(db);
        return StorageError::fromErrno(e ? e : EACCES, path);
    }
    sqlite3_close_v2(db);
    TableFile probe(def, temp, "_new" + std::to_string(++schemaCounter_));
    StorageError e = probe.attachTo(hub, false);
    if (!e) e = probe.createSchema();
    probe.detach();
    if (!e && ::rename(temp.c_str(), path.c_str()) != 0) e = StorageError::fromErrno(errno, path);
    if (e) ::unlink(temp.c_str());
    return e;
}

StorageError StorageSession::open(const TableDef& def, ShareMode mode, TableFile*& out) {
    const std::string path = pathOf(def);
    auto it = files_.find(path);
    if (it != files_.end()) {
        it->second->users_++;
        out = it->second.get();
        return {};
    }
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return StorageError::fromErrno(errno, path);
    if (S_ISDIR(st.st_mode)) return StorageError::of(err::InvalidDataFile, path + " is a folder");
    auto file = std::make_unique<TableFile>(def, path, "t" + std::to_string(++schemaCounter_));
    bool readOnly = mode == ShareMode::ReadOnly;
    if (!readOnly && ::access(path.c_str(), W_OK) != 0)
        return StorageError::of(err::AccessDenied, path);
    if (StorageError e = file->lock_.acquire(path, mode, fileMode())) return e;
    file->mode_ = mode;
    Hub* hub = nullptr;
    if (StorageError e = hubFor(file.get(), hub)) return e;
    if (StorageError e = file->attachTo(hub, readOnly)) return e;
    if (StorageError e = file->checkLayout()) {
        if (e.code == err::KeyFileMustBeRebuilt) {
            // Kept open: the caller may rebuild the keys and then use it.
            file->users_ = 1;
            out = file.get();
            files_.emplace(path, std::move(file));
            return e;
        }
        file->detach();
        return e;
    }
    file->users_ = 1;
    out = file.get();
    files_.emplace(path, std::move(file));
    return {};
}

void StorageSession::close(TableFile* file) {
    if (!file || --file->users_ > 0) return;
    if (file->hub_ && file->hub_->inTransaction) {
        // Stays attached until the transaction ends; closed then.
        file->users_ = 0;
        return;
    }
    auto it = files_.find(file->path());
    file->detach();
    if (it != files_.end()) files_.erase(it);
}

StorageError StorageSession::move(TableFile* file, Hub* to) {
    file->detach();
    return file->attachTo(to, file->readOnly_);
}

StorageError StorageSession::begin(const std::vector<TableFile*>& files) {
    if (depth_ > 0) {
        // Joining: every file must already be on the transaction's connection.
        for (auto* f : files)
            if (f->hub_ != txHub_)
                return StorageError::of(err::UnableToLogTransaction,
                                        f->path() + " joins a transaction it was not opened for");
        ++depth_;
        return {};
    }
    if (files.empty()) return StorageError::of(err::UnableToLogTransaction, "no files");
    if (static_cast<int>(files.size()) > kMaxAttached)
        return StorageError::of(err::UnableToLogTransaction, "too many files for one transaction");
    Hub* target = files.front()->hub_;
    int outside = 0;
    for (auto* f : files)
        if (f->hub_ != target) ++outside;
    if (outside && target->attached + outside > kMaxAttached) {
        if (StorageError e = newHub(target)) return e;
    }
    for (auto* f : files)
        if (f->hub_ != target)
            if (StorageError e = move(f, target)) return e;
    int rc = sqlite3_exec(target->db, "BEGIN", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return hubError(target->db, rc, hubPath_ + ": begin");
    target->inTransaction = true;
    target->transactionSerial++;
    txHub_ = target;
    depth_ = 1;
    doomed_ = false;
    return {};
}

StorageError StorageSession::commit() {
    if (depth_ == 0) return {};
    if (--depth_ > 0) return {};
    if (doomed_) {
        // An inner part of the work was rolled back: so is all of it.
        endTransaction(false);
        return StorageError::of(err::UnableToLogTransaction, "the work was rolled back");
    }
    return endTransaction(true);
}

void StorageSession::rollback() {
    if (depth_ == 0) return;
    if (--depth_ > 0) {
        // Nested: the outermost level ends the transaction, and cannot commit it.
        doomed_ = true;
        return;
    }
    endTransaction(false);
}

StorageError StorageSession::endTransaction(bool commit) {
    Hub* hub = txHub_;
    StorageError e;
    if (commit) {
        int rc = sqlite3_exec(hub->db, "COMMIT", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            e = hubError(hub->db, rc, hubPath_ + ": commit");
            sqlite3_exec(hub->db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
    } else {
        sqlite3_exec(hub->db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    hub->inTransaction = false;
    txHub_ = nullptr;
    depth_ = 0;
    doomed_ = false;
    // Files closed during the transaction were kept attached until now.
    for (auto it = files_.begin(); it != files_.end();) {
        if (it->second->users_ == 0) {
            it->second->detach();
            it = files_.erase(it);
        } else {
            ++it;
        }
    }
    return e;
}

} // namespace mvz
