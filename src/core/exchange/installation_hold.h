#pragma once
// Holding an installation alone while its tables are replaced: the sharing
// lock of every data file, taken as an exclusive opener takes it, so that no
// window or program of another process (or of this one) has a table open
// meanwhile and none can open one until the hold ends, and the lock of the
// exchange itself, which keeps an export, a recovery or a second import out.

#include <string>
#include <sys/types.h>
#include <vector>

#include "data/file_lock.h"

namespace mvz {

class InstallationHold {
  public:
    // Takes every lock; returns "" or, holding nothing, why not (naming the
    // file another program or window has open).
    std::string acquire(const std::string& dataDir, mode_t fileMode);
    void release() { locks_.clear(); }

  private:
    std::vector<FileLock> locks_;
};

// The lock an export takes on the exchange: others may read and export, no
// import may swap files meanwhile. Returns "" or why not.
std::string shareExchange(const std::string& dataDir, mode_t fileMode, FileLock& lock);

} // namespace mvz
