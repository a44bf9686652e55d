#include "submission/file_swap.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "base/control_chars.h"
#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "base/reporter.h"
#include "base/test_point.h"
#include "data/created_file.h"
#include "data/error_reporter.h"
#include "data/input_file.h"
#include "data/storage_error.h"
#include "data/tables.h"
#include "data/work_copy.h"

namespace mvz {

namespace {

constexpr const char* kNotePrefix = ".mvz-pending-";
constexpr const char* kNoteHeading = "mvz pending change 1";

bool exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

void syncFolderOf(const std::string& path) {
    const int fd = ::open(folderOfPath(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// 0, or the errno of what failed.
int writeAll(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w < 0) return errno;
        if (w == 0) return ENOSPC;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return 0;
}

// Copies source to a new file dest of `mode`, onto the disk. 0 or the errno.
int copySynced(const std::string& source, const std::string& dest, mode_t mode) {
    const int in = openInputFile(source);
    if (in < 0) return errno;
    ::unlink(dest.c_str());
    const int out = openCreating(dest, O_WRONLY | O_TRUNC | O_CLOEXEC, mode);
    if (out < 0) {
        const int e = errno;
        ::close(in);
        return e;
    }
    int e = 0;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            e = errno;
            break;
        }
        if (n == 0) break;
        if ((e = writeAll(out, buffer, static_cast<std::size_t>(n))) != 0) break;
    }
    ::close(in);
    if (e == 0 && ::fsync(out) != 0) e = errno;
    if (::close(out) != 0 && e == 0) e = errno;
    if (e != 0) ::unlink(dest.c_str());
    return e;
}

struct Note {
    std::string file;
    bool hadOld = false;
    std::vector<std::string> forms;
    std::string mark;
};

std::string noteText(const Note& n) {
    std::string text = std::string(kNoteHeading) + "\nfile " + n.file + "\nold " +
                       (n.hadOld ? "yes" : "no") + "\n";
    for (const std::string& f : n.forms)
        text += "form " + f + "\n";
    return text + "mark " + n.mark + "\n";
}

bool parseNote(const std::string& path, Note& n) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kNoteHeading) return false;
    bool complete = false;
    while (std::getline(in, line)) {
        const std::size_t space = line.find(' ');
        if (space == std::string::npos) return false;
        const std::string key = line.substr(0, space), value = line.substr(space + 1);
        if (key == "file")
            n.file = value;
        else if (key == "old")
            n.hadOld = value == "yes";
        else if (key == "form")
            n.forms.push_back(value);
        else if (key == "mark") {
            n.mark = value;
            complete = true;
        }
    }
    return complete && !n.file.empty() && !n.forms.empty();
}

class Silent : public Reporter {
  public:
    Button show(const MessageBox& box) override { return box.defaultButton; }
};

enum class Committed { Yes, No, Unknown };

// Whether the forms carry the mark: the commit that stores it was made (a
// commit stores it on all of them or on none). Unknown when the forms
// cannot be read now.
Committed formsCarry(const std::string& dataDir, const Note& n) {
    if (!exists(dataDir + "/TBOBRAZA.DAT")) return Committed::Unknown;
    Silent silent;
    ErrorReporter errors(silent);
    Tables tables(dataDir, errors);
    TableAccess& a = tables.access("A");
    if (a.open(true) != result::Ok) return Committed::Unknown;
    const TableDef& d = a.def();
    Committed answer = Committed::No;
    for (const std::string& linkKey : n.forms) {
        a.record().clear();
        a.record().setText(d.fieldIndex("KONVEZA"), utf8ToCp1250Lossy(linkKey));
        const int got = a.fetch(d.keyIndex("KEYIDENTIKATOR"));
        if (got != result::Ok) {
            if (a.lastError().code != err::RecordNotFound) answer = Committed::Unknown;
            continue;
        }
        answer = trim(a.record().text(d.fieldIndex("KONZNAK"))) == n.mark ? Committed::Yes
                                                                          : Committed::No;
        break;
    }
    a.close();
    return answer;
}

bool processRuns(long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

} // namespace

FileSwap::FileSwap(std::string dataDir, mode_t fileMode)
    : dataDir_(std::move(dataDir)), fileMode_(fileMode) {}

FileSwap::~FileSwap() {
    if (!fresh_.empty()) rollBack();
}

int FileSwap::stage(const std::string& source, const std::string& target) {
    target_ = target;
    fresh_ = partName(target);
    previous_ = previousName(target);
    // A file put in the place of another grants no more than the one it replaces.
    const int e = copySynced(source, fresh_, replacementMode(target, fileMode_));
    if (e != 0) fresh_.clear();
    return e;
}

std::string FileSwap::put(const std::vector<std::string>& linkKeys, const std::string& mark) {
    if (fresh_.empty()) return "nema nove datoteke";
    if (findControlChar(target_) != std::string::npos)
        return target_ + ": naziv datoteke sadrži kontrolni znak";
    // The note first, held by this run, under a name recovery does not read
    // until it is complete.
    Note n{target_, exists(target_), linkKeys, mark};
    note_ = dataDir_ + "/" + kNotePrefix + std::to_string(::getpid());
    const std::string draft = note_ + ".tmp";
    if (std::string why = writeNewFile(draft, noteText(n), fileMode_); !why.empty()) return why;
    noteHold_ = std::make_unique<RawLineFile>(64);
    if (!noteHold_->open(draft, TextOpenMode::Exclusive)) {
        ::unlink(draft.c_str());
        return draft + ": " + describeError(noteHold_->lastError());
    }
    const int fd = ::open(draft.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    if (::rename(draft.c_str(), note_.c_str()) != 0) {
        const int e = errno;
        ::unlink(draft.c_str());
        noteHold_.reset();
        return note_ + ": " + writeProblem(e, note_);
    }
    syncFolderOf(note_);
    noted_ = true;
    hadOld_ = n.hadOld;
    testPoint("swap-noted");

    // The old file is kept under a second name (the same file on the disk).
    if (hadOld_) {
        ::unlink(previous_.c_str());
        if (::link(target_.c_str(), previous_.c_str()) != 0) {
            if (int e = copySynced(target_, previous_, replacementMode(target_, fileMode_));
                e != 0) {
                const std::string why = previous_ + ": " + writeProblem(e, previous_);
                rollBack();
                return why;
            }
        }
    }
    if (::rename(fresh_.c_str(), target_.c_str()) != 0) {
        const std::string why = target_ + ": " + writeProblem(errno, target_);
        rollBack();
        return why;
    }
    inPlace_ = true;
    syncFolderOf(target_);
    return {};
}

void FileSwap::committed() {
    if (hadOld_) ::unlink(previous_.c_str());
    ::unlink(fresh_.c_str());
    if (noted_) {
        ::unlink(note_.c_str());
        syncFolderOf(note_);
    }
    noteHold_.reset();
    fresh_.clear();
    noted_ = inPlace_ = false;
}

void FileSwap::rollBack() {
    if (inPlace_) {
        if (hadOld_)
            ::rename(previous_.c_str(), target_.c_str());
        else
            ::unlink(target_.c_str());
        syncFolderOf(target_);
    } else if (hadOld_) {
        ::unlink(previous_.c_str());
    }
    if (!fresh_.empty()) ::unlink(fresh_.c_str());
    if (noted_) {
        ::unlink(note_.c_str());
        syncFolderOf(note_);
    }
    noteHold_.reset();
    fresh_.clear();
    noted_ = inPlace_ = false;
}

bool recoverInterruptedRuns(const std::string& dataDir) {
    DIR* dir = ::opendir(dataDir.c_str());
    if (!dir) return true;
    std::vector<std::string> notes;
    const std::string prefix = kNotePrefix;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) == 0) notes.push_back(name);
    }
    ::closedir(dir);
    bool settled = true;
    for (const std::string& name : notes) {
        std::string digits = name.substr(prefix.size());
        const bool draft = digits.size() > 4 && digits.compare(digits.size() - 4, 4, ".tmp") == 0;
        if (draft) digits.resize(digits.size() - 4);
        if (digits.empty() || digits.size() > 9 ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const long pid = std::strtol(digits.c_str(), nullptr, 10);
        if (pid == ::getpid() || processRuns(pid)) continue;
        const std::string path = dataDir + "/" + name;
        // A run on another computer sharing the folder holds its note.
        RawLineFile hold(64);
        if (!hold.open(path, TextOpenMode::Exclusive)) {
            settled = false;
            continue;
        }
        Note n;
        if (draft || !parseNote(path, n)) {
            // Written before anything changed on the disk.
            ::unlink(path.c_str());
            continue;
        }
        const Committed committed = formsCarry(dataDir, n);
        if (committed == Committed::Unknown) {
            settled = false;
            continue;
        }
        const std::string fresh = n.file + ".part-" + digits;
        const std::string previous = n.file + ".prev-" + digits;
        if (committed == Committed::Yes) {
            // The new file took its place before the commit.
            ::unlink(previous.c_str());
        } else if (n.hadOld) {
            // Until the old file is kept under its second name, the new one
            // does not take its place.
            if (exists(previous)) ::rename(previous.c_str(), n.file.c_str());
        } else if (!exists(fresh)) {
            // There was no file before: the new one is gone again.
            ::unlink(n.file.c_str());
        }
        ::unlink(fresh.c_str());
        syncFolderOf(n.file);
        ::unlink(path.c_str());
        syncFolderOf(path);
    }
    return settled;
}

} // namespace mvz
