#include "exchange/file_copies.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/created_file.h"

namespace mvz {

namespace {

constexpr int kBusyMillis = 10000;

std::string sqliteCopyProblem(sqlite3* db, int rc) {
    const int sys = db ? sqlite3_system_errno(db) : 0;
    switch (rc & 0xff) {
    case SQLITE_FULL:
        return systemProblem(ENOSPC);
    case SQLITE_NOTADB:
        return "nije datoteka ovog programa (nije baza podataka)";
    case SQLITE_CORRUPT:
        return "datoteka je oštećena";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "datoteku predugo drži zaključanu drugi program";
    default:
        if (sys) return systemProblem(sys);
        return std::string("kopiranje nije uspjelo (") + sqlite3_errstr(rc) + ")";
    }
}

} // namespace

std::string systemProblem(int e) {
    switch (e) {
    case ENOSPC:
    case EDQUOT:
        return "nema dovoljno mjesta na disku";
    case EACCES:
    case EPERM:
        return "pristup nije dopušten";
    case EROFS:
        return "disk je samo za čitanje";
    case ENOENT:
        return "datoteka ili pretinac ne postoji";
    default:
        return std::strerror(e);
    }
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

namespace {

// Copies the bytes of an open file into a new file of exactly `mode`, synced.
std::string copyBytes(int in, const std::string& dest, mode_t mode) {
    ::unlink(dest.c_str());
    const int out = openCreating(dest, O_WRONLY | O_TRUNC | O_CLOEXEC, mode);
    if (out < 0) return systemProblem(errno);
    std::string problem;
    struct stat st;
    if (::fstat(in, &st) != 0) problem = systemProblem(errno);
    off_t from = 0;
    off_t to = 0;
    while (problem.empty() && from < st.st_size) {
        const ssize_t n =
            ::copy_file_range(in, &from, out, &to, static_cast<size_t>(st.st_size - from), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // Another file system or kernel that cannot: the long way.
            if (n < 0 &&
                (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) {
                char buffer[1 << 16];
                const ssize_t r = ::pread(in, buffer, sizeof buffer, from);
                if (r <= 0) {
                    problem = r < 0 ? systemProblem(errno) : "datoteka se skratila";
                    break;
                }
                for (ssize_t done = 0; done < r && problem.empty();) {
                    const ssize_t w =
                        ::pwrite(out, buffer + done, static_cast<size_t>(r - done), to + done);
                    if (w < 0 && errno != EINTR) problem = systemProblem(errno);
                    if (w > 0) done += w;
                }
                from += r;
                to += r;
                continue;
            }
            problem = n < 0 ? systemProblem(errno) : "datoteka se skratila";
        }
    }
    if (problem.empty() && ::fsync(out) != 0) problem = systemProblem(errno);
    if (::close(out) != 0 && problem.empty()) problem = systemProblem(errno);
    if (!problem.empty()) ::unlink(dest.c_str());
    return problem;
}

// The online backup, page by page: for a source in write-ahead-log mode,
// whose file alone is not the whole table.
std::string backupCopy(sqlite3* from, const std::string& dest, mode_t mode) {
    ::unlink(dest.c_str());
    const int fd = openCreating(dest, O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0) return systemProblem(errno);
    ::close(fd);
    sqlite3* to = nullptr;
    std::string problem;
    int rc =
        sqlite3_open_v2(dest.c_str(), &to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK)
        // The new file is nobody's until it is renamed into place: a copy cut
        // short is thrown away, so it needs no journal.
        rc = sqlite3_exec(to, "PRAGMA journal_mode=OFF", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) problem = sqliteCopyProblem(to, rc);
    if (problem.empty()) {
        sqlite3_backup* backup = sqlite3_backup_init(to, "main", from, "main");
        if (!backup) {
            problem = sqliteCopyProblem(to, sqlite3_errcode(to));
        } else {
            rc = sqlite3_backup_step(backup, -1);
            const int finished = sqlite3_backup_finish(backup);
            if (rc == SQLITE_DONE) rc = finished;
            if (rc != SQLITE_OK) problem = sqliteCopyProblem(to, rc);
        }
    }
    if (to && sqlite3_close_v2(to) != SQLITE_OK && problem.empty())
        problem = "kopija se ne može zatvoriti";
    if (problem.empty()) {
        const int sync = ::open(dest.c_str(), O_RDONLY | O_CLOEXEC);
        if (sync < 0 || ::fsync(sync) != 0) problem = systemProblem(errno);
        if (sync >= 0) ::close(sync);
    }
    if (!problem.empty()) ::unlink(dest.c_str());
    return problem;
}

} // namespace

std::string copyTableSnapshot(const std::string& source, const std::string& dest, mode_t mode) {
    sqlite3* from = nullptr;
    int rc =
        sqlite3_open_v2(source.c_str(), &from, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    std::string problem;
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(from, kBusyMillis);
        // A read transaction holds the file's shared lock: in rollback-journal
        // mode no writer can change the file until it ends, so its bytes
        // copied meanwhile are the table as it stood at one moment.
        rc = sqlite3_exec(from, "BEGIN; SELECT count(*) FROM sqlite_schema", nullptr, nullptr,
                          nullptr);
    }
    if (rc != SQLITE_OK) problem = sqliteCopyProblem(from, rc);
    if (problem.empty()) {
        sqlite3_stmt* st = nullptr;
        std::string journal;
        if (sqlite3_prepare_v2(from, "PRAGMA journal_mode", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            journal = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        sqlite3_finalize(st);
        if (journal == "wal") {
            problem = backupCopy(from, dest, mode);
        } else {
            const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
            problem = in < 0 ? systemProblem(errno) : copyBytes(in, dest, mode);
            if (in >= 0) ::close(in);
        }
    }
    sqlite3_exec(from, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close_v2(from);
    return problem;
}

std::string writeSyncedFile(const std::string& path, const std::string& text, mode_t mode) {
    const std::string temp = path + ".new";
    ::unlink(temp.c_str());
    const int fd = openCreating(temp, O_WRONLY | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) return systemProblem(errno);
    std::string problem;
    for (std::size_t done = 0; done < text.size() && problem.empty();) {
        const ssize_t w = ::write(fd, text.data() + done, text.size() - done);
        if (w < 0 && errno != EINTR) problem = systemProblem(errno);
        if (w > 0) done += static_cast<std::size_t>(w);
    }
    if (problem.empty() && ::fsync(fd) != 0) problem = systemProblem(errno);
    if (::close(fd) != 0 && problem.empty()) problem = systemProblem(errno);
    if (problem.empty() && ::rename(temp.c_str(), path.c_str()) != 0)
        problem = systemProblem(errno);
    if (!problem.empty()) {
        ::unlink(temp.c_str());
        return problem;
    }
    const std::size_t slash = path.find_last_of('/');
    syncFolder(slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash));
    return {};
}

std::string copyPlainFile(const std::string& source, const std::string& dest, mode_t mode) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return systemProblem(errno);
    ::unlink(dest.c_str());
    const int out = openCreating(dest, O_WRONLY | O_TRUNC | O_CLOEXEC, mode);
    if (out < 0) {
        const int e = errno;
        ::close(in);
        return systemProblem(e);
    }
    std::string problem;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            problem = std::string("datoteka se ne može čitati (") + std::strerror(errno) + ")";
            break;
        }
        for (ssize_t done = 0; done < n && problem.empty();) {
            const ssize_t w = ::write(out, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno != EINTR) problem = systemProblem(errno);
            if (w > 0) done += w;
        }
        if (!problem.empty()) break;
    }
    if (problem.empty() && ::fsync(out) != 0) problem = systemProblem(errno);
    if (::close(out) != 0 && problem.empty()) problem = systemProblem(errno);
    ::close(in);
    if (!problem.empty()) ::unlink(dest.c_str());
    return problem;
}

} // namespace mvz
