#pragma once
// Copying data files under new names: a table as a consistent snapshot
// through SQLite's online backup (a table another window or program is
// writing is copied as it stood at one moment, never torn), a text file as it
// is. Each copy is a new file of exactly the given mode, on the disk before
// the call returns.

#include <cstdint>
#include <string>
#include <sys/types.h>

namespace mvz {

// Copies the table file at `source` into a new file `dest` (an old one there
// is removed first). Returns why not, in Croatian, or "".
std::string copyTableSnapshot(const std::string& source, const std::string& dest, mode_t mode);

// Copies a plain file the same way.
std::string copyPlainFile(const std::string& source, const std::string& dest, mode_t mode);

// Writes text as the whole content of path through a file of exactly `mode`
// under a temporary name, synced and renamed into place. Returns why not, or "".
std::string writeSyncedFile(const std::string& path, const std::string& text, mode_t mode);

// Flushes a folder's entries (new names, renames) to the disk.
void syncFolder(const std::string& folder);

// Why a failed system call failed, in Croatian where the user can act on it.
std::string systemProblem(int errnoValue);

} // namespace mvz
