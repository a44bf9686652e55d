#pragma once
// What a failed SQLite call means in the storage error numbers users see.

#include <string>

#include "data/storage_error.h"

struct sqlite3;

namespace mvz {

// `otherwise` is the number for failures that have no closer meaning.
StorageError storageErrorOfSqlite(sqlite3* db, int rc, const std::string& detail, int otherwise);

} // namespace mvz
