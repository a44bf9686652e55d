#include "data/work_copy.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "data/created_file.h"
#include "data/input_file.h"

namespace mvz {

namespace {

bool writeAll(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            if (w == 0) errno = ENOSPC; // a write that takes nothing: no room
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// A process of that number runs on this computer.
bool processRuns(long pid) {
    if (pid <= 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

} // namespace

WorkCopy::WorkCopy(std::size_t recordLength, CtrlZRule rule)
    : recordLength_(recordLength), rule_(rule) {}

WorkCopy::~WorkCopy() {
    close();
}

void WorkCopy::close() {
    if (current_) current_->close();
    current_.reset();
    target_.clear();
}

bool WorkCopy::fail(Failure failure, StorageError error, std::string problem) {
    failure_ = failure;
    error_ = std::move(error);
    problem_ = std::move(problem);
    return false;
}

std::unique_ptr<LineFile> WorkCopy::open(const std::string& path, mode_t createMode, bool create) {
    auto file = std::make_unique<LineFile>(recordLength_);
    file->setCtrlZRule(rule_);
    if (file->open(path, TextOpenMode::Exclusive)) return file;
    if (create && file->errorCode() == err::FileNotFound && file->create(path, createMode) &&
        file->open(path, TextOpenMode::Exclusive))
        return file;
    error_ = file->lastError();
    return nullptr;
}

bool WorkCopy::take(const std::string& source, const std::string& target, mode_t mode) {
    failure_ = Failure::None;
    error_ = {};
    problem_.clear();
    // The file at the name, held alone while the copy is made: the one held
    // since the last take, or the one there now (made empty when missing).
    std::unique_ptr<LineFile> held;
    if (current_ && target_ == target)
        held = std::move(current_);
    else
        close();
    if (!held) {
        removeLeftoversOf(target);
        held = open(target, mode, true);
        if (!held) return fail(Failure::Open, error_);
    }
    if (sameFile(source, target)) {
        // The work file itself chosen as the input: read as it is.
        held->set();
        current_ = std::move(held);
        target_ = target;
        return true;
    }

    const int in = openInputFile(source);
    if (in < 0) {
        const int e = errno;
        current_ = std::move(held);
        target_ = target;
        return fail(Failure::Source, StorageError::fromErrno(e, source), writeProblem(e, source));
    }
    const std::string part = partName(target);
    ::unlink(part.c_str());
    const int out =
        openCreating(part, O_WRONLY | O_TRUNC | O_CLOEXEC, replacementMode(target, mode));
    int readError = 0, writeError = 0;
    if (out < 0) {
        writeError = errno;
    } else {
        std::vector<char> buffer(std::size_t{1} << 20);
        for (;;) {
            const ssize_t n = ::read(in, buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                readError = errno;
                break;
            }
            if (n == 0) break;
            if (!writeAll(out, buffer.data(), static_cast<std::size_t>(n))) {
                writeError = errno;
                break;
            }
        }
        if (::close(out) != 0 && readError == 0 && writeError == 0) writeError = errno;
    }
    ::close(in);
    std::unique_ptr<LineFile> fresh;
    if (readError == 0 && writeError == 0) {
        // Held before it takes the name, so that no other run finds it free.
        fresh = open(part, mode, false);
        if (fresh && ::rename(part.c_str(), target.c_str()) != 0) {
            writeError = errno;
            fresh.reset();
        } else if (!fresh) {
            writeError = EIO;
        }
    }
    if (!fresh) {
        ::unlink(part.c_str());
        current_ = std::move(held);
        target_ = target;
        if (readError != 0)
            return fail(Failure::Source, StorageError::fromErrno(readError, source),
                        writeProblem(readError, source));
        return fail(Failure::Copy, StorageError::fromErrno(writeError, part),
                    writeProblem(writeError, part));
    }
    held->close();
    current_ = std::move(fresh);
    target_ = target;
    return true;
}

std::string partName(const std::string& path) {
    return path + ".part-" + std::to_string(::getpid());
}

std::string previousName(const std::string& path) {
    return path + ".prev-" + std::to_string(::getpid());
}

int removeLeftoversOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return 0;
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() <= base.size() + 6 || name.compare(0, base.size(), base) != 0) continue;
        const std::string rest = name.substr(base.size());
        if (rest.compare(0, 6, ".part-") != 0 && rest.compare(0, 6, ".prev-") != 0) continue;
        const std::string digits = rest.substr(6);
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9)
            continue;
        const long pid = std::strtol(digits.c_str(), nullptr, 10);
        if (pid == ::getpid() || processRuns(pid)) continue;
        stale.push_back(folder + "/" + name);
    }
    ::closedir(dir);
    int removed = 0;
    for (const std::string& file : stale) {
        // A run on another computer that shares the folder holds its files.
        RawLineFile probe;
        if (!probe.open(file, TextOpenMode::Exclusive)) continue;
        if (::unlink(file.c_str()) == 0) ++removed;
        probe.close();
    }
    return removed;
}

} // namespace mvz
