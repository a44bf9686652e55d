#pragma once
// A formed file and the tables change together or not at all: a payer file
// with its form (page A, page-B rows, the collective list, the control mark),
// ZOVAK.MZ0 with the control marks of the merged forms.
//
// The new file is written whole and onto the disk under a name of its own
// (the file's name + ".part-" + process id) while the run's transaction is
// still open. Then a note of the pending change goes into the data folder
// (".mvz-pending-" + process id): the file, whether an old one was there,
// the forms (link keys) and the control mark the commit stores on them. The
// old file is kept as the file's name + ".prev-" + process id, the new one
// takes the file's name, and only then is the transaction committed. After
// the commit the kept file and the note go; a commit that fails puts the old
// file back.
//
// A run killed anywhere in between leaves its note. The next run, or the
// next start of the program, settles it: when the forms carry the mark, the
// commit was made and the new file stays; otherwise the old file comes back.
// So a form and its file always agree. A run holds its note while it runs,
// so only the notes of runs that no longer run are settled.

#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

#include "data/line_file.h"

namespace mvz {

class FileSwap {
  public:
    // `dataDir` holds the note; new files get `fileMode`, never more than the
    // file they replace.
    FileSwap(std::string dataDir, mode_t fileMode);
    // An unfinished swap is rolled back.
    ~FileSwap();
    FileSwap(const FileSwap&) = delete;
    FileSwap& operator=(const FileSwap&) = delete;

    // Writes a copy of `source` as the new version of `target`, onto the
    // disk. 0, or the errno of what failed (the new version is then gone).
    int stage(const std::string& source, const std::string& target);
    // Where the new version is written.
    const std::string& fresh() const { return fresh_; }

    // Once the transaction holds the change: notes it (the forms `linkKeys`
    // with the control mark `mark`, as stored), keeps the old file and puts
    // the new one in its place. "" or why not; on failure nothing is left
    // changed on the disk but the staged file, which rollBack() removes.
    std::string put(const std::vector<std::string>& linkKeys, const std::string& mark);

    // The transaction was committed: the kept old file and the note go.
    void committed();
    // The transaction was not committed: the old file comes back (or the new
    // one goes when there was none), and the note goes.
    void rollBack();

  private:
    std::string dataDir_;
    mode_t fileMode_;
    std::string target_, fresh_, previous_, note_;
    bool hadOld_ = false;
    bool noted_ = false;
    bool inPlace_ = false;
    std::unique_ptr<RawLineFile> noteHold_;
};

// Settles the pending changes that runs killed before they finished left in
// the data folder (see above), and removes what they left half-written. The
// notes of runs that still run are left alone. Call it when the program
// starts on a data folder and before each forming or collective run. True
// when no pending change is left unsettled (one whose tables cannot be read
// now stays for the next time).
bool recoverInterruptedRuns(const std::string& dataDir);

} // namespace mvz
