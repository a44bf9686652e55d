#include "data/sqlite_error.h"

#include <cerrno>
#include <sqlite3.h>

namespace mvz {

StorageError storageErrorOfSqlite(sqlite3* db, int rc, const std::string& what, int otherwise) {
    const std::string detail = what + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    switch (rc & 0xFF) {
    case SQLITE_CONSTRAINT:
        return StorageError::of(err::DuplicateKey, detail);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return StorageError::of(err::FileLocked, detail);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return StorageError::of(err::InvalidDataFile, detail);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return StorageError::of(err::AccessDenied, detail);
    case SQLITE_NOMEM:
        return StorageError::of(err::InsufficientMemory, detail);
    case SQLITE_CANTOPEN:
        return StorageError::of(err::FileNotFound, detail);
    case SQLITE_FULL:
        return StorageError::fromErrno(ENOSPC, detail);
    case SQLITE_IOERR: {
        const int e = db ? sqlite3_system_errno(db) : 0;
        return StorageError::fromErrno(e ? e : EIO, detail);
    }
    default:
        return StorageError::of(otherwise, detail);
    }
}

} // namespace mvz
