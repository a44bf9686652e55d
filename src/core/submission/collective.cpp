#include "submission/collective.h"

#include <filesystem>
#include <system_error>

#include "base/cp1250.h"
#include "base/day_number.h"
#include "base/fixed_text.h"
#include "base/reporter.h"
#include "data/created_file.h"
#include "data/error_reporter.h"
#include "data/table_work.h"
#include "data/tables.h"
#include "submission/digest.h"
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
};

// An OIB stored left-aligned is written right-aligned after two blanks.
std::string CollectiveRun::senderId() {
    const std::string id = field(tables_.access("APL"), "JMBG");
    std::string_view t = trim(id);
    return t.size() == 11 ? "  " + std::string(t) : id;
}

bool CollectiveRun::append(const std::string& line) {
    TableAccess& zovak = tables_.access("TBZOVAK");
    zovak.record().assign(line);
    if (zovak.add(true) == result::Ok) return true;
    say("Greška " + zovak.lastError().text);
    return false;
}

bool CollectiveRun::mergeFile(const std::string& path) {
    // The listed file is read through its working copy TBZOVAK1.TXT.
    TableAccess& copy = tables_.access("TBR");
    const std::string work = tables_.storage().pathOf(copy.def());
    std::error_code ec;
    if (!fs::is_regular_file(path, ec) ||
        !copyToNewFile(path, work, replacementMode(work, tables_.storage().fileMode()), ec)) {
        say("Greška. Datoteka " + path + " ne postoji ili se ne može pročitati");
        return false;
    }
    if (copy.open(true) != result::Ok) {
        say("Greška. Datoteka " + path + " ne postoji ili se ne može pročitati");
        return false;
    }
    bool ok = true;
    const RecordLayout& header = *recordLayout('3');
    const RecordLayout& insured = *recordLayout('5');
    copy.setStart();
    while (ok && copy.next() == result::Ok) {
        const std::string line(copy.record().bytes());
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
    if (copy.lastError() && !copy.atEof()) ok = false;
    copy.close();
    return ok;
}

CollectiveResult CollectiveRun::run() {
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

    TableAccess& list = tables_.access("TBT");
    if (list.count() == 0) {
        // An empty list changes no file.
        say("Greška pri kreiranju jedinstvenog HASH broja");
        return result_;
    }
    if (!open("TBZOVAK", ShareMode::Exclusive)) {
        say("Greška. Open TBZOVAK.TXT " + tables_.access("TBZOVAK").lastError().text);
        return result_;
    }
    TableAccess& zovak = tables_.access("TBZOVAK");
    if (zovak.removeAll() != result::Ok) {
        say("Greška. Empty TBZOVAK.TXT " + zovak.lastError().text);
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
    zovak.close();
    if (zovak.lastError()) {
        say("Greška. 2. Close TBZOVAK.TXT " + zovak.lastError().text);
        ok = false;
    }
    if (!ok) {
        return result_;
    }

    // The digest, the collective file under a new name, the marks, and only
    // then the collective file under its own name.
    const std::string work = tables_.storage().pathOf(zovak.def());
    std::string why;
    const std::string digest = doSHAOnFile(work, &why);
    if (digest.empty()) {
        say("Greška pri kreiranju jedinstvenog HASH broja " + why);
        return result_;
    }
    const std::string fresh = result_.file + ".new";
    std::error_code ec;
    const mode_t mode = replacementMode(result_.file, tables_.storage().fileMode());
    if (!copyToNewFile(work, fresh, mode, ec)) {
        say("Greška, file: " + work + " " + result_.file + " Error=" + ec.message());
        return result_;
    }
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
    if (marked && work_.commit(a, 25) == result::Ok) {
        fs::rename(fresh, result_.file, ec);
        if (ec) {
            say("Greška, file: " + fresh + " " + result_.file + " Error=" + ec.message());
        } else {
            result_.done = true;
            result_.controlMark = mark;
        }
    } else {
        work_.rollback();
    }
    if (!result_.done) fs::remove(fresh, ec);
    return result_;
}

} // namespace

CollectiveResult CollectiveHash(Tables& tables, std::int32_t sendingDate) {
    return CollectiveRun(tables, sendingDate).run();
}

} // namespace mvz
