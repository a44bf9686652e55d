#include "import/formal_control.h"

#include <cerrno>
#include <cstdio>
#include <exception>
#include <stdexcept>

#include <fmt/format.h>
#include <unistd.h>

#include "base/cp1250.h"
#include "base/day_number.h"
#include "base/fixed_text.h"
#include "base/reporter.h"
#include "base/test_point.h"
#include "data/created_file.h"
#include "data/error_reporter.h"
#include "data/line_file.h"
#include "data/tables.h"
#include "data/work_copy.h"
#include "import/background_rows.h"
#include "import/control_lookups.h"
#include "import/copying_record_reader.h"
#include "import/finding.h"
#include "import/submission_checker.h"
#include "setup/initialize.h"
#include "submission/digest.h"
#include "submission/record_format.h"

namespace mvz {

namespace {

constexpr long kCancelEvery = 64;     // lines between two questions whether to stop
constexpr long kProgressEvery = 4096; // lines between two progress reports
constexpr std::size_t kPiece = 50;    // characters of the line per TBIZLAZ piece

int typeIndex(char type) {
    switch (type) {
    case '0':
        return 0;
    case '3':
        return 1;
    case '5':
        return 2;
    case '7':
        return 3;
    case '9':
        return 4;
    default:
        return 5;
    }
}

int fieldOf(const TableDef& def, const char* name) {
    const int i = def.fieldIndex(name);
    if (i < 0) throw std::logic_error(fmt::format("{} has no field {}", def.fileName, name));
    return i;
}

// Hands each finding on as a TBIZLAZ1 row, counts it and passes it on.
class FindingRows : public FindingSink {
  public:
    FindingRows(const TableDef& def, BackgroundRows& rows, FindingSink* next,
                FormalControlResult& result)
        : record_(def), rows_(rows), next_(next), result_(result), line_(fieldOf(def, "REDBROJ")),
          code_(fieldOf(def, "KOLONA")), kind_(fieldOf(def, "TIP")), name_(fieldOf(def, "PREZIME")),
          message_(fieldOf(def, "GRESKA")) {}

    void add(const Finding& f) override {
        Record& r = record_;
        r.clear();
        r.setInteger(line_, f.line);
        r.setText(code_, f.field);
        r.setText(kind_, std::string_view(&f.kind, 1));
        r.setText(name_, utf8ToCp1250Lossy(f.name));
        r.setText(message_, utf8ToCp1250Lossy(f.message)); // cut at the field's 140 characters
        rows_.add(1, r.bytes());
        if (f.kind == 'F')
            ++result_.errors;
        else
            ++result_.warnings;
        if (next_) next_->add(f);
    }

  private:
    Record record_;
    BackgroundRows& rows_;
    FindingSink* next_;
    FormalControlResult& result_;
    int line_, code_, kind_, name_, message_;
};

class ControlRun {
  public:
    ControlRun(Tables& tables, const std::string& path, const FormalControlOptions& options)
        : tables_(tables), path_(path), options_(options), reporter_(tables.errors().reporter()) {}

    FormalControlResult run();

  private:
    void show(const std::string& text, MessageIcon icon = MessageIcon::Exclamation) {
        MessageBox box;
        box.title = kFormalControlTitle;
        box.text = messageBoxText(text);
        box.icon = icon;
        reporter_.show(box);
    }
    // "Greška kod preuzimanja podataka " and the file; when the work copy
    // could not be written, also why (a full disk names its folder).
    std::string notCopied(const CopyingRecordReader& reader) const {
        std::string text = "Greška kod preuzimanja podataka " + path_;
        if (reader.copyFailed()) text += ": " + reader.error();
        return text;
    }
    bool readParameters();
    bool openResultTables();
    void closeResultTables();
    ControlOutcome checkLines(CopyingRecordReader& reader, SubmissionChecker& checker);
    bool replaceWorkCopy(const std::string& part, std::string& backup);

    Tables& tables_;
    const std::string& path_;
    const FormalControlOptions& options_;
    Reporter& reporter_;
    FormalControlResult result_;
    TableAccess* lines_ = nullptr;
    TableAccess* findings_ = nullptr;
};

bool ControlRun::readParameters() {
    TableAccess& apl = tables_.access("APL");
    if (apl.open() != result::Ok) return false;
    apl.setOrder(0);
    apl.setStart();
    if (apl.next() != result::Ok) apl.record().clear();
    const Record& r = apl.record();
    const std::string_view id = clipRight(r.text(apl.def().fieldIndex("JMBG")));
    const std::string workFolder = cp1250ToUtf8(clipRight(r.text(apl.def().fieldIndex("RADDIR"))));
    const bool placeholder = id == kPlaceholderIdentifier;
    apl.close();
    if (placeholder) {
        show("Ispravite podatke o ovlaštenoj osobi.| Ispravak izvršite kroz "
             "Servisi/Aplikacijski parametri",
             MessageIcon::Information);
        result_.outcome = ControlOutcome::Refused;
        return false;
    }
    tables_.storage().setWorkFolder(workFolder);
    return true;
}

bool ControlRun::openResultTables() {
    struct Opening {
        TableAccess*& table;
        const char* name;
        const char* openFailed;
    };
    for (const Opening& o : {Opening{lines_, "ULZ", "Greška pri otvaranju TBIZLAZ.DAT"},
                             Opening{findings_, "ULZ1", "Greška pri otvaranju TBIZLAZ1.DAT"}}) {
        TableAccess& t = tables_.access(o.name);
        t.setShareMode(ShareMode::Exclusive);
        if (t.open(true) != result::Ok) {
            show(o.openFailed);
            return false;
        }
        o.table = &t;
        // Opened by someone else meanwhile: the results cannot be replaced.
        if (t.file() == nullptr || t.file()->readOnly()) {
            show(o.openFailed);
            return false;
        }
    }
    return true;
}

void ControlRun::closeResultTables() {
    for (TableAccess* t : {findings_, lines_}) {
        if (!t) continue;
        t->close();
        t->setShareMode(ShareMode::Shared);
    }
}

ControlOutcome ControlRun::checkLines(CopyingRecordReader& reader, SubmissionChecker& checker) {
    // Reading and checking run here; the rows are stored on a second thread.
    BackgroundRows stored({lines_->file(), findings_->file()});
    FindingRows rows(findings_->def(), stored, options_.sink, result_);
    const TableDef& def = lines_->def();
    Record r(def);
    const int number = fieldOf(def, "REDBROJ"), type = fieldOf(def, "TIPSLOGA"),
              marked = fieldOf(def, "GRESKA");
    const int pieces[5] = {fieldOf(def, "REDAK1"), fieldOf(def, "REDAK2"), fieldOf(def, "REDAK3"),
                           fieldOf(def, "REEDAK4"), fieldOf(def, "REDAK5")};
    const auto writeFailed = [&] {
        stored.abandon();
        show("Greška " + describeError(stored.error()));
        return ControlOutcome::Failed;
    };
    std::string_view record;
    long line = 0;
    while (reader.next(record)) {
        ++line;
        if (line % 10 == 0) reporter_.status(fmt::format("Obrađeno {:5} redaka", line));
        const char recordType = record[kRecordLength - 1];
        ++result_.linesOfType[typeIndex(recordType)];
        const int found = checker.check(line, record, rows);
        r.clear();
        r.setInteger(number, line);
        r.setText(type, record.substr(kRecordLength - 1, 1));
        r.setText(marked, found > 0 ? "D" : " ");
        for (int i = 0; i < 5; ++i)
            r.setText(pieces[i], record.substr(i * kPiece, kPiece));
        if (!stored.add(0, r.bytes())) return writeFailed();
        if (line % kProgressEvery == 0) reporter_.progress(reader.bytesRead(), reader.size());
        if (line % kCancelEvery == 0) testPoint("check-reading");
        if (line % kCancelEvery == 0 && reporter_.cancelRequested()) {
            stored.abandon();
            return ControlOutcome::Cancelled;
        }
    }
    result_.lines = line;
    if (reader.failed()) {
        stored.abandon();
        show(notCopied(reader));
        return ControlOutcome::NotCopied;
    }
    if (!stored.finish()) return writeFailed();
    reporter_.progress(reader.bytesRead(), reader.size());
    if (reporter_.cancelRequested()) return ControlOutcome::Cancelled;
    return ControlOutcome::Done;
}

// Puts the new work copy in place, keeping the old one under `backup` until
// the results are committed.
bool ControlRun::replaceWorkCopy(const std::string& part, std::string& backup) {
    const std::string& target = result_.workCopy;
    backup = previousName(target);
    if (std::rename(target.c_str(), backup.c_str()) != 0) {
        if (errno != ENOENT) return false;
        backup.clear();
    }
    if (std::rename(part.c_str(), target.c_str()) != 0) {
        if (!backup.empty()) std::rename(backup.c_str(), target.c_str());
        backup.clear();
        return false;
    }
    return true;
}

FormalControlResult ControlRun::run() {
    if (!readParameters()) return result_;
    const std::int32_t today = options_.today ? options_.today : todayDayNumber();
    TableLookups lookups;
    if (!lookups.load(tables_, civilDate(today).year)) return result_;
    SubmissionChecker checker(lookups, today);

    // The work copy is written under a name of its own while the file is read.
    TableAccess& workTable = tables_.access("TBR");
    while (workTable.isOpen())
        workTable.close();
    result_.workCopy = tables_.storage().pathOf(workTable.def());
    // What checks that were killed left beside it goes first.
    removeLeftoversOf(result_.workCopy);
    // The old work copy is held from here to the commit, so that no other run
    // (a collective run reading its payer files through it) writes it in
    // between; readers (a review) may go on reading it.
    RawLineFile oldCopy(64);
    if (!oldCopy.open(result_.workCopy, TextOpenMode::ReadOnly) &&
        oldCopy.errorCode() != err::FileNotFound) {
        show("Greška. Open TBZOVAK1.TXT " + describeError(oldCopy.lastError()));
        result_.outcome = ControlOutcome::Failed;
        return result_;
    }
    const std::string part = partName(result_.workCopy);
    CopyingRecordReader reader(kRecordLength);
    // The copy takes the place of the old one: it gets the installation's
    // permissions, and never more than the old copy had.
    if (!reader.open(path_, part,
                     replacementMode(result_.workCopy, tables_.storage().fileMode()))) {
        show(notCopied(reader));
        result_.outcome = ControlOutcome::NotCopied;
        return result_;
    }
    // The new copy is held alone by this run until the results are committed:
    // once it has the work copy's name, no other run takes it.
    RawLineFile newCopy(64);
    if (!newCopy.open(part, TextOpenMode::Exclusive)) {
        show(notCopied(reader));
        reader.abandon();
        result_.outcome = ControlOutcome::NotCopied;
        return result_;
    }

    StorageSession& storage = tables_.storage();
    bool begun = false;
    const auto giveUp = [&](ControlOutcome outcome) {
        if (begun) storage.rollback();
        reader.abandon();
        closeResultTables();
        result_.outcome = outcome;
        return result_;
    };
    if (!openResultTables()) return giveUp(ControlOutcome::Failed);
    if (StorageError e = storage.begin({lines_->file(), findings_->file()})) {
        show("Greška " + describeError(e));
        return giveUp(ControlOutcome::Failed);
    }
    begun = true;
    if (findings_->file()->removeAll()) {
        show("Greška pri pražnjenju TBIZLAZ1.DAT");
        return giveUp(ControlOutcome::Failed);
    }
    if (lines_->file()->removeAll()) {
        show("Greška pri pražnjenju TBIZLAZ.DAT");
        return giveUp(ControlOutcome::Failed);
    }

    reporter_.status("Malo strpljenja. Radim...");
    ControlOutcome outcome;
    try {
        outcome = checkLines(reader, checker);
    } catch (const std::exception& e) {
        show(std::string("Greška ") + e.what());
        outcome = ControlOutcome::Failed;
    }
    if (outcome != ControlOutcome::Done) return giveUp(outcome);
    if (!reader.finish()) {
        show(notCopied(reader));
        return giveUp(ControlOutcome::NotCopied);
    }
    std::string backup;
    if (!replaceWorkCopy(part, backup)) {
        show("Greška kod preuzimanja podataka " + path_);
        return giveUp(ControlOutcome::NotCopied);
    }
    testPoint("check-before-commit");
    begun = false;
    if (StorageError e = storage.commit()) {
        // The results stay those of the previous run, and so does the work copy.
        if (!backup.empty())
            std::rename(backup.c_str(), result_.workCopy.c_str());
        else
            std::remove(result_.workCopy.c_str());
        show("Greška " + describeError(e));
        closeResultTables();
        result_.outcome = ControlOutcome::Failed;
        return result_;
    }
    if (!backup.empty()) std::remove(backup.c_str());
    result_.controlMark = groupedMark(reader.digest());
    closeResultTables();
    reporter_.status("Izvršena je kontrola datoteke.");
    result_.outcome = ControlOutcome::Done;
    return result_;
}

} // namespace

FormalControlResult runFormalControl(Tables& tables, const std::string& path,
                                     const FormalControlOptions& options) {
    return ControlRun(tables, path, options).run();
}

} // namespace mvz
