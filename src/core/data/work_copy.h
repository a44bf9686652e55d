#pragma once
// The work copies of the runs (TBZOVAK1.TXT, the copy of a payer file being
// merged; TBUPLATE.DAT, the copy of a payment-data file): a run copies its
// input over the working folder's work file and then reads it. Two runs of
// two windows or programs may do so at once, so a run holds the work file it
// reads from the copy to its last read, and a second run is refused with the
// storage engine's "Access Denied" instead of reading the other's file.
//
// The old file at the work file's name is held alone while the new copy is
// written under a name of its own (name + ".part-" + process id); the copy is
// opened, held alone, before it is renamed over the name, so the name never
// shows a file that nobody holds. A copy that fails leaves the old file as it
// was. What runs that were killed leave behind (".part-" and ".prev-" files)
// is removed by the next run.

#include <cstddef>
#include <memory>
#include <string>
#include <sys/types.h>

#include "data/line_file.h"
#include "data/storage_error.h"

namespace mvz {

class WorkCopy {
  public:
    enum class Failure {
        None,
        Open,   // the work file cannot be held alone: another run holds it (error 5), or worse
        Source, // the input cannot be read (or is no regular file)
        Copy,   // the copy could not be written (problem() says why)
    };

    explicit WorkCopy(std::size_t recordLength, CtrlZRule rule = CtrlZRule::EndsFile);
    ~WorkCopy();
    WorkCopy(const WorkCopy&) = delete;
    WorkCopy& operator=(const WorkCopy&) = delete;

    // Puts a copy of `source` in the place of the work file `target` (a new
    // file of the permissions `mode`) and opens it for reading through
    // lines(). The file this object holds from an earlier take() of the same
    // target stays held until the new one is in place. A source that is the
    // work file itself is read as it is.
    bool take(const std::string& source, const std::string& target, mode_t mode);
    LineFile& lines() { return *current_; }
    // Lets the work file go.
    void close();

    Failure failure() const { return failure_; }
    const StorageError& error() const { return error_; }
    // Why the copy failed, in the runs' words (a full disk names its folder).
    const std::string& problem() const { return problem_; }

  private:
    std::unique_ptr<LineFile> open(const std::string& path, mode_t createMode, bool create);
    bool fail(Failure failure, StorageError error, std::string problem = {});

    std::size_t recordLength_;
    CtrlZRule rule_;
    std::unique_ptr<LineFile> current_;
    std::string target_;
    Failure failure_ = Failure::None;
    StorageError error_;
    std::string problem_;
};

// The name a run writes a new version of `path` under before it takes the
// place of the old one: path + ".part-" + this process's id.
std::string partName(const std::string& path);
// The name a run keeps the old version of `path` under until its new one is
// committed: path + ".prev-" + this process's id.
std::string previousName(const std::string& path);

// Removes the ".part-PID" and ".prev-PID" files beside `path` that runs left
// when they were killed: those of processes that no longer run on this
// computer and that nobody holds open. Returns how many were removed.
int removeLeftoversOf(const std::string& path);

} // namespace mvz
