#include "data/created_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/input_file.h"

namespace mvz {

namespace {

std::error_code lastErrno() {
    return {errno, std::generic_category()};
}

// Writes all of [data, data + size) to fd.
bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool copyBytes(int in, int out) {
    char buf[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!writeAll(out, buf, static_cast<std::size_t>(n))) return false;
    }
}

} // namespace

int openCreating(const std::string& path, int flags, mode_t mode) {
    flags &= ~(O_CREAT | O_EXCL);
    for (int attempt = 0; attempt < 8; ++attempt) {
        int fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, mode & 07777);
        if (fd >= 0) {
            // The umask narrowed what open() gave; the file gets the mode asked for.
            if (::fchmod(fd, mode & 07777) != 0) {
                const int e = errno;
                ::close(fd);
                ::unlink(path.c_str());
                errno = e;
                return -1;
            }
            return fd;
        }
        if (errno != EEXIST) return -1;
        fd = ::open(path.c_str(), flags);
        if (fd >= 0 || errno != ENOENT) return fd;
        // Removed between the two opens: try again.
    }
    errno = EAGAIN;
    return -1;
}

mode_t replacementMode(const std::string& path, mode_t mode) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return mode;
    return mode & (st.st_mode | ~mode_t{0777});
}

bool copyToNewFile(const std::string& source, const std::string& dest, mode_t mode,
                   std::error_code& ec) {
    ec.clear();
    const int in = openInputFile(source);
    if (in < 0) {
        ec = lastErrno();
        return false;
    }
    struct stat from {
    }, to{};
    if (::fstat(in, &from) != 0) {
        ec = lastErrno();
        ::close(in);
        return false;
    }
    if (::stat(dest.c_str(), &to) == 0 && to.st_dev == from.st_dev && to.st_ino == from.st_ino) {
        ::close(in);
        ec = std::make_error_code(std::errc::file_exists);
        return false;
    }
    if (::unlink(dest.c_str()) != 0 && errno != ENOENT) {
        ec = lastErrno();
        ::close(in);
        return false;
    }
    const int out = openCreating(dest, O_WRONLY | O_TRUNC | O_CLOEXEC, mode);
    if (out < 0) {
        ec = lastErrno();
        ::close(in);
        return false;
    }
    bool ok = copyBytes(in, out);
    if (!ok) ec = lastErrno();
    ::close(in);
    if (::close(out) != 0 && ok) {
        ok = false;
        ec = lastErrno();
    }
    if (!ok) ::unlink(dest.c_str());
    return ok;
}

std::string writeNewFile(const std::string& path, const std::string& text, mode_t mode) {
    const std::string temp = path + ".new";
    ::unlink(temp.c_str());
    const int fd = openCreating(temp, O_WRONLY | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) return temp + ": " + lastErrno().message();
    bool ok = writeAll(fd, text.data(), text.size());
    std::error_code ec;
    if (!ok) ec = lastErrno();
    if (::close(fd) != 0 && ok) {
        ok = false;
        ec = lastErrno();
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        ec = lastErrno();
    }
    if (ok) return {};
    ::unlink(temp.c_str());
    return path + ": " + ec.message();
}

bool makeFolder(const std::string& path, mode_t mode, std::error_code& ec) {
    ec.clear();
    if (::mkdir(path.c_str(), mode & 0777) != 0) {
        if (errno != EEXIST) ec = lastErrno();
        return false;
    }
    // mkdir() leaves out what the umask takes and may drop set-group-ID.
    if (::chmod(path.c_str(), mode & 07777) != 0) {
        ec = lastErrno();
        ::rmdir(path.c_str());
        return false;
    }
    return true;
}

} // namespace mvz
