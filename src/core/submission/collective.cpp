#include "submission/collective.h"

#include <filesystem>
#include <system_error>

#include "base/cp1250.h"
#include "base/day_number.h"
#include "base/fixed_text.h"
#include "base/reporter.h"
#include "base/test_point.h"
#include "data/created_file.h"
#include "data/error_reporter.h"
#include "data/line_file.h"
#include "data/table_work.h"
#include "data/tables.h"
#include "data/work_copy.h"
#include "submission/digest.h"
#include "submission/file_swap.h"
#include "submission/record_format.h"

namespace mvz {

namespace fs = std::filesystem;

namespace {

constexpr const char* kTitle = "Formiranje obrazaca M-Vz";

class CollectiveRun {
  public:
    CollectiveRun(Tables& tables, std::int32_t date)
        : tables_(tables), date_(date), reporter_(tables.errors().reporter()), work_(tables) {}
    CollectiveResult run();

  private:
    void say(const std::string& text) {
        MessageBox box;
        box.title = kTitle;
        box.text = messageBoxText(text);
        reporter_.show(box);
    }
    std::string field(TableAccess& t, const char* name) {
        return std::string(t.record().text(t.def().fieldIndex(name)));
    }
    bool open(const char* name, ShareMode mode = ShareMode::Shared) {
        return work_.open(tables_.access(name), mode, true);
    }
    bool append(const std::string& line);
    bool mergeFile(const std::string& path);
    std::string senderId();

    Tables& tables_;
    std::int32_t date_;
    Reporter& reporter_;
    CollectiveResult result_;
    TableWork work_; // closes what the run opened
    WorkCopy copy_{kRecordLength};
};

// An OIB stored left-aligned is written right-aligned after two blanks.
std::string CollectiveRun::senderId() {
    const std::string id = field(tables_.access("APL"), "JMBG");
    std::string_view t = trim(id);
    return t.size() == 11 ? "  " + std::string(t) : id;
}

bool CollectiveRun::append(const std::string& line) {
    if (std::string why = unwritableLine(line); !why.empty()) {
        say(why);
        return false;
    }
    TableAccess& zovak = tables_.access("TBZOVAK");
    zovak.record().assign(line);
    if (zovak.add(true) == result::Ok) return true;
    say("Greška " + describeError(zovak.lastError()));
    return false;
}

bool CollectiveRun::mergeFile(const std::string& path) {
    // The listed file is read through its working copy TBZOVAK1.TXT, which
    // this run holds from the copy of the first listed file to the last line
    // of the last one.
    const std::string work = tables_.storage().pathOf(*findTable("TBR"));
    if (!copy_.take(path, work, tables_.storage().fileMode())) {
        if (copy_.failure() == WorkCopy::Failure::Open)
            say("Greška. Open TBZOVAK1.TXT " + describeError(copy_.error()));
        else if (copy_.failure() == WorkCopy::Failure::Copy)
            say("Greška. Datoteka " + path + " se ne može kopirati: " + copy_.problem());
        else
            say("Greška. Datoteka " + path + " ne postoji ili se ne može pročitati");
        return false;
    }
    LineFile& copy = copy_.lines();
    testPoint("collect-merging");
    bool ok = true;
    const RecordLayout& header = *recordLayout('3');
    const RecordLayout& insured = *recordLayout('5');
    for (std::string_view record; ok && !(record = copy.next()).empty();) {
        const std::string line(record);
        const char type = line.back();
        if (type == '0' || type == '9') continue;
        if (type == '3') {
            ++result_.forms;
            MergedForm form;
            auto f = splitFields(header, line);
            form.payerId = std::string(f[header.fieldIndex("MV3IBOO")]);
            form.payerName = cp1250ToUtf8(clipRight(f[header.fieldIndex("MV3NAOB")]));
            form.persons = decodeNumber(f[header.fieldIndex("MV3BROS")]).value_or(0);
            const char* amounts[] = {"MV3IBRT", "MV3IOSN", "MV3IST1", "MV3IST2", "MV3INET"};
            for (int i = 0; i < 5; ++i)
                form.totals[i] = decodeAmount(f[header.fieldIndex(amounts[i])])
                                     .value_or(Decimal::fromInteger(0, 2));
            result_.merged.push_back(std::move(form));
        } else if (type == '5' && !result_.merged.empty()) {
            auto f = splitFields(insured, line);
            result_.merged.back().rows++;
            result_.merged.back().insured.emplace_back(f[insured.fieldIndex("MV5IBOO")]);
        }
        ok = append(line);
    }
    if (copy.errorCode() != err::RecordNotAvailable) {
        if (ok)
            say("Greška. Datoteka " + path +
                " se ne može pročitati: " + describeError(copy.lastError()));
        ok = false;
    }
    return ok;
}

CollectiveResult CollectiveRun::run() {
    // A forming or collective run killed before it finished is settled first.
    const bool settled = recoverInterruptedRuns(tables_.storage().dataDir());
    if (!open("APL") || !open("TBT") || !open("A")) {
        return result_;
    }
    TableAccess& apl = tables_.access("APL");
    apl.setOrder(0);
    apl.setStart();
    if (apl.next() != result::Ok) apl.record().clear();
    tables_.storage().setWorkFolder(cp1250ToUtf8(clipRight(field(apl, "RADDIR"))));
    std::string outputDir = cp1250ToUtf8(clipRight(field(apl, "IZLAZDIR")));
    if (outputDir.empty()) outputDir = tables_.storage().dataDir() + "/";
    result_.file = outputDir + "ZOVAK.MZ0";
    // What killed runs left half-written beside it (a change still to be
    // settled keeps its files).
    if (settled) removeLeftoversOf(result_.file);

    TableAccess& list = tables_.access("TBT");
    if (list.count() == 0) {
        // An empty list changes no file.
        say("Greška pri kreiranju jedinstvenog HASH broja");
        return result_;
    }
    if (!open("TBZOVAK", ShareMode::Exclusive)) {
        say("Greška. Open TBZOVAK.TXT " + describeError(tables_.access("TBZOVAK").lastError()));
        return result_;
    }
    TableAccess& zovak = tables_.access("TBZOVAK");
    if (zovak.removeAll() != result::Ok) {
        say("Greška. Empty TBZOVAK.TXT " + describeError(zovak.lastError()));
        return result_;
    }

    const CivilDate sent = civilDate(date_);
    SenderRecord sender;
    sender.MV0IBOO = senderId();
    sender.MV0NAZO = field(apl, "NAZIV");
    sender.MV0ADOB = field(apl, "ADRESA");
    sender.MV0OSOB = field(apl, "KONOSO");
    sender.MV0TELE = field(apl, "TELEFON");
    sender.MV0MAIL = field(apl, "EMAIL");
    sender.MV0DTMN = sent;
    BuiltLine first = buildLine(sender);
    bool ok = first.ok() && append(first.line);
    if (!first.ok()) say(first.error);

    // The list in its record order; every file is merged even after a failed
    // one, so every problem is named.
    std::vector<std::string> listed;
    list.setOrder(-1);
    list.setStart();
    while (list.next() == result::Ok) {
        ++result_.files;
        listed.push_back(std::string(clipRight(field(list, "IDENTIFIKATOR"))));
        const std::size_t before = result_.merged.size();
        const bool merged = mergeFile(cp1250ToUtf8(clipRight(field(list, "IMEFILE"))));
        for (std::size_t i = before; i < result_.merged.size(); ++i)
            result_.merged[i].listedAs = listed.back();
        ok = merged && ok;
    }

    FileEndRecord last;
    last.MV9IBOO = sender.MV0IBOO;
    last.MV9DTMN = sent;
    last.MV9BROJ = result_.forms;
    BuiltLine end = buildLine(last);
    if (!end.ok()) say(end.error);
    ok = ok && end.ok() && append(end.line);
    // The merge is over: the last listed file's copy goes. The working file
    // stays held until its digest is taken and its copy made.
    copy_.close();
    if (zovak.flush() != result::Ok) {
        say("Greška. 2. Close TBZOVAK.TXT " + describeError(zovak.lastError()));
        ok = false;
    }
    // Stopped (Ctrl-C, the window's cancel): nothing has changed.
    if (!ok || reporter_.cancelRequested()) {
        return result_;
    }

    // The digest and the collective file under a name of its own, from the
    // same bytes; the marks; the collective file put in place with the old
    // one kept and a note of the change; and the commit.
    const std::string work = tables_.storage().pathOf(zovak.def());
    std::string why;
    const std::string digest = doSHAOnFile(work, &why);
    if (digest.empty()) {
        say("Greška pri kreiranju jedinstvenog HASH broja " + why);
        return result_;
    }
    FileSwap swap(tables_.storage().dataDir(), tables_.storage().fileMode());
    if (const int e = swap.stage(work, result_.file); e != 0) {
        say("Greška, file: " + work + " " + result_.file +
            " Error=" + writeProblem(e, result_.file));
        return result_;
    }
    zovak.close();
    zovak.setShareMode(ShareMode::Shared);
    TableAccess& a = tables_.access("A");
    const std::string mark = groupedMark(digest);
    bool marked = work_.begin({&a});
    for (std::size_t i = 0; marked && i < listed.size(); ++i) {
        a.record().clear();
        a.record().setText(a.def().fieldIndex("KONVEZA"), listed[i]);
        if (a.fetch(a.def().keyIndex("KEYIDENTIKATOR")) != result::Ok) {
            say("Greška pri ažuriranju HASH broja (1) Ident=" + listed[i]);
            marked = false;
            break;
        }
        a.record().setText(a.def().fieldIndex("KONZNAK"), mark);
        if (a.change() != result::Ok) {
            say("Greška pri ažuriranju HASH broja (2) Ident.=" + listed[i]);
            marked = false;
        }
    }
    if (marked) {
        if (std::string failed = swap.put(listed, mark); !failed.empty()) {
            say("Greška, file: " + swap.fresh() + " " + result_.file + " Error=" + failed);
            marked = false;
        }
    }
    if (!marked) {
        work_.rollback();
        swap.rollBack();
        return result_;
    }
    testPoint("collect-file-in-place");
    if (work_.commit(a, 25) != result::Ok) {
        swap.rollBack();
        return result_;
    }
    testPoint("collect-committed");
    swap.committed();
    result_.done = true;
    result_.controlMark = mark;
    return result_;
}

} // namespace

CollectiveResult CollectiveHash(Tables& tables, std::int32_t sendingDate) {
    return CollectiveRun(tables, sendingDate).run();
}

} // namespace mvz
