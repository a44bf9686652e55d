#include "data/file_lock.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

#include "base/cp1250.h"
#include "data/created_file.h"

namespace mvz {

namespace {

// Each data file owns two lock bytes in its folder's lock file: the open byte
// (every opener shares it, an exclusive opener holds it alone) and the write
// byte (every writer shares it, a deny-write opener holds it alone).
off_t lockSlot(const std::string& path) {
    auto slash = path.find_last_of('/');
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    base = toUpperCp1250(base);
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : base)
        h = (h ^ c) * 1099511628211ull;
    return static_cast<off_t>((h % (1ull << 30)) * 2);
}

std::string lockFileOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) + "/.mvz-locks";
}

bool lockByte(int fd, off_t at, short type) {
    struct flock fl = {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = at;
    fl.l_len = 1;
    return fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

} // namespace

FileLock::FileLock(FileLock&& o) noexcept : fd_(o.fd_) {
    o.fd_ = -1;
}

FileLock& FileLock::operator=(FileLock&& o) noexcept {
    if (this != &o) {
        release();
        fd_ = o.fd_;
        o.fd_ = -1;
    }
    return *this;
}

FileLock::~FileLock() {
    release();
}

void FileLock::release() {
    if (fd_ >= 0) ::close(fd_); // closing the description drops its locks
    fd_ = -1;
}

StorageError FileLock::acquire(const std::string& path, ShareMode mode, mode_t createMode) {
    release();
    std::string lockPath = lockFileOf(path);
    int fd = openCreating(lockPath, O_RDWR | O_CLOEXEC, createMode);
    if (fd < 0 && mode == ShareMode::ReadOnly) fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        // A folder we cannot write to: only reading is possible, and nobody
        // else can take a lock there either.
        if (mode == ShareMode::ReadOnly && (errno == EACCES || errno == EROFS)) return {};
        return StorageError::fromErrno(errno, lockPath);
    }
    const off_t slot = lockSlot(path);
    const bool canWriteLocks = (fcntl(fd, F_GETFL) & O_ACCMODE) == O_RDWR;
    bool ok = true;
    if (canWriteLocks) {
        switch (mode) {
        case ShareMode::ReadOnly:
            ok = lockByte(fd, slot, F_RDLCK);
            break;
        case ShareMode::Shared:
            ok = lockByte(fd, slot, F_RDLCK) && lockByte(fd, slot + 1, F_RDLCK);
            break;
        case ShareMode::DenyWrite:
            ok = lockByte(fd, slot, F_RDLCK) && lockByte(fd, slot + 1, F_WRLCK);
            break;
        case ShareMode::Exclusive:
            ok = lockByte(fd, slot, F_WRLCK) && lockByte(fd, slot + 1, F_WRLCK);
            break;
        }
    } else {
        ok = lockByte(fd, slot, F_RDLCK);
    }
    if (!ok) {
        int e = errno;
        ::close(fd);
        if (e == EAGAIN || e == EACCES)
            return StorageError::of(err::AccessDenied,
                                    path + " is in use by another program or window");
        return StorageError::fromErrno(e, lockPath);
    }
    fd_ = fd;
    return {};
}

} // namespace mvz
