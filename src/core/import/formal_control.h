#pragma once
// The formal control of a submission file ("&Kontrola datoteke" of the window
// "Formalne kontrole datoteke za ZOVAK"): the file is copied to the work copy
// TBZOVAK1.TXT in the working folder and checked line by line; TBIZLAZ gets
// one row per line (the line in five pieces of 50 characters, "D" when the
// line has findings) and TBIZLAZ1 one row per finding. The control only
// records: nothing in a file's content stops it.
//
// The run reads the file once, copying and checking as it goes, and keeps no
// more than one block of it in memory. Both tables are emptied and filled in
// one transaction, and the new work copy takes the place of the old one only
// when that transaction commits: a run that is cancelled or fails leaves the
// work copy and the tables of the previous complete run. The run holds the
// old work copy and its new one until the commit, so another run that works
// through TBZOVAK1.TXT (a collective run) is refused meanwhile, and a check
// refused so ("Greška. Open TBZOVAK1.TXT Access Denied") changes nothing.
// What killed checks left beside the work copy is removed at the start. A file that cannot
// be read or copied gives "Greška kod preuzimanja podataka " and its path and
// changes nothing.
//
// Every message, status text and progress report goes through the reporter
// of the tables' error reporter; the reporter's cancelRequested() stops the run.

#include <array>
#include <cstdint>
#include <string>

namespace mvz {

class Tables;
class FindingSink;

inline constexpr const char* kFormalControlTitle = "Formalne kontrole datoteke za ZOVAK";

enum class ControlOutcome {
    Done,      // the file was checked and the results stored
    Refused,   // the authorised person is still the placeholder
    NotCopied, // the file could not be read or copied
    Cancelled, // the user stopped the run
    Failed,    // a table could not be opened, emptied or written
};

struct FormalControlOptions {
    std::int32_t today = 0;      // the last sending date accepted (day number); 0: today
    FindingSink* sink = nullptr; // also receives every finding, in line order
};

struct FormalControlResult {
    ControlOutcome outcome = ControlOutcome::Failed;
    long long lines = 0;
    // Lines per record type: "0", "3", "5", "7", "9" and any other.
    std::array<long long, 6> linesOfType{};
    long long errors = 0;   // findings of kind 'F'
    long long warnings = 0; // findings of kind 'U'
    std::string workCopy;   // where TBZOVAK1.TXT is
    // The control mark (grouped) of the bytes checked and copied.
    std::string controlMark;
    bool done() const { return outcome == ControlOutcome::Done; }
};

FormalControlResult runFormalControl(Tables& tables, const std::string& path,
                                     const FormalControlOptions& options = {});

} // namespace mvz
