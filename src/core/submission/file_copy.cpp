#include "submission/file_copy.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/reporter.h"

namespace mvz {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;

// Names the same file: the same path once made absolute and resolved, or
// (for links) the same file on disk.
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec) && !ec) return true;
    const fs::path ca = fs::weakly_canonical(fs::absolute(a, ec), ec);
    const fs::path cb = fs::weakly_canonical(fs::absolute(b, ec), ec);
    return !ec && ca == cb;
}

// Copies the bytes; an errno value on failure, 0 on success.
int copyBytes(const std::string& source, const std::string& destination) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return errno;
    const int out = ::open(destination.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) {
        const int e = errno;
        ::close(in);
        return e;
    }
    int e = 0;
    std::vector<char> buffer(kBlock);
    for (;;) {
        ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            e = errno;
            break;
        }
        if (n == 0) break;
        const char* p = buffer.data();
        while (n > 0) {
            const ssize_t w = ::write(out, p, static_cast<std::size_t>(n));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0) {
                e = errno;
                break;
            }
            p += w;
            n -= w;
        }
        if (e != 0) break;
    }
    ::close(in);
    if (::close(out) != 0 && e == 0) e = errno;
    return e;
}

CopyResult failed(Reporter& reporter, const std::string& source, const std::string& destination,
                  int e) {
    MessageBox box;
    box.text = "Greška, file: " + source + " " + destination + " Error=" + std::strerror(e);
    box.icon = MessageIcon::Exclamation;
    reporter.show(box);
    return CopyResult::Failed;
}

} // namespace

std::string sameFileText(const std::string& source) {
    return "Izlazna datoteka je sama izvorna datoteka: " + source +
           ". Datoteka nije ni obrisana ni kopirana.";
}

CopyResult copySubmissionFile(const std::string& source, const std::string& destination,
                              Reporter& reporter) {
    if (sameFile(source, destination)) {
        MessageBox box;
        box.text = sameFileText(source);
        box.icon = MessageIcon::Exclamation;
        reporter.show(box);
        return CopyResult::SameFile;
    }
    // A missing source is found before anything is deleted.
    if (::access(source.c_str(), R_OK) != 0) return failed(reporter, source, destination, errno);
    if (::unlink(destination.c_str()) != 0 && errno != ENOENT)
        return failed(reporter, source, destination, errno);
    if (const int e = copyBytes(source, destination); e != 0) {
        // No partial copy stays behind looking complete.
        ::unlink(destination.c_str());
        return failed(reporter, source, destination, e);
    }
    return CopyResult::Copied;
}

} // namespace mvz
