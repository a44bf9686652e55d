#pragma once
// Sharing modes of an opened data file, kept with open-file-description locks
// on a lock file in the data file's folder, so they hold between windows of
// one program as well as between programs.

#include <string>
#include <sys/types.h>

#include "data/storage_error.h"

namespace mvz {

enum class ShareMode {
    ReadOnly,  // read; others may read and write
    Shared,    // read and write; others may read and write
    DenyWrite, // read and write; others may only read
    Exclusive, // read and write; nobody else may open the file
};

class FileLock {
  public:
    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    ~FileLock();

    // Takes the locks of `mode` for the data file at `path`. Error 5 when
    // another opener's mode does not allow it. The folder's lock file, when
    // this makes it, gets the permissions `createMode`.
    StorageError acquire(const std::string& path, ShareMode mode, mode_t createMode);
    void release();

  private:
    int fd_ = -1;
};

} // namespace mvz
