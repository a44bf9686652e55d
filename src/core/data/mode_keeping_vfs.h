#pragma once
// SQLite gives a new database's journal the permissions of the database, but
// makes the super-journal of a commit over several attached files (named
// after the main database, "<file>-mj...") with rw-r--r-- less the umask. The
// hubs open through this file system layer, which gives the super-journal the
// permissions of its database too, so that it is no more readable than the
// data it guards and other desks of a shared installation can still roll a
// broken commit back.

namespace mvz {

// The name of the layer to pass to sqlite3_open_v2 (registered on first use).
const char* modeKeepingVfs();

} // namespace mvz
