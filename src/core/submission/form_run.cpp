#include "submission/form_run.h"

#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>

#include "base/cp1250.h"
#include "base/day_number.h"
#include "base/fixed_text.h"
#include "base/reporter.h"
#include "base/test_point.h"
#include "data/created_file.h"
#include "data/error_reporter.h"
#include "data/sort_value.h"
#include "data/tables.h"
#include "data/work_copy.h"
#include "submission/digest.h"
#include "submission/page_a.h"
#include "submission/person_counter.h"

namespace mvz {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxPayerFileName = 120;

std::string pad(long long value, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", width, value);
    return buf;
}

} // namespace

FormRun::FormRun(Tables& tables, const FormingRequest& request, std::string title)
    : tables_(tables), rq_(request), reporter_(tables.errors().reporter()),
      title_(std::move(title)), swap_(tables.storage().dataDir(), tables.storage().fileMode()) {}

FormRun::~FormRun() {
    abandon();
}

bool FormRun::fail(const std::string& message) {
    MessageBox box;
    box.title = title_;
    box.text = messageBoxText(message);
    box.icon = MessageIcon::Information;
    reporter_.show(box);
    return false;
}

void FormRun::status(const std::string& text) {
    reporter_.status(text);
}

std::string FormRun::text(TableAccess& t, const char* field) {
    return std::string(t.record().text(t.def().fieldIndex(field)));
}

std::string FormRun::utf8(TableAccess& t, const char* field) {
    return cp1250ToUtf8(clipRight(text(t, field)));
}

bool FormRun::openTables(std::initializer_list<const char*> extra) {
    // A forming or collective run killed before it finished is settled first.
    leftoversSettled_ = recoverInterruptedRuns(tables_.storage().dataDir());
    std::vector<const char*> names = {"APL", "IZLF", "VUP", "POS", "OSI", "A", "TBT"};
    names.insert(names.end(), extra.begin(), extra.end());
    for (const char* name : names) {
        TableAccess& t = tables_.access(name);
        if (t.open() != result::Ok) return false;
        opened_.push_back(&t);
    }
    TableAccess& apl = tables_.access("APL");
    apl.setOrder(0);
    apl.setStart();
    if (apl.next() != result::Ok) apl.record().clear();
    return true;
}

void FormRun::closeTables() {
    for (auto it = opened_.rbegin(); it != opened_.rend(); ++it)
        (*it)->close();
    opened_.clear();
}

std::string FormRun::authorisedPerson() {
    return text(tables_.access("APL"), "JMBG");
}

bool FormRun::checkFormValues() {
    if (clipRight(rq_.calculationType).size() < 2) return fail("Obavezno izaberite vrstu uplate");
    if (rq_.sequence < 1) return fail("Obavezno upište broj identifikatora");
    if (std::string m = checkSequence(rq_.sequence); !m.empty()) return fail(m);
    TableAccess& vup = tables_.access("VUP");
    vup.record().clear();
    vup.record().setText(vup.def().fieldIndex("SIFRA"), rq_.calculationType);
    if (vup.fetch(vup.def().keyIndex("KEYSIFRA")) != result::Ok)
        return fail("Vrsta obračuna/ispravka " + rq_.calculationType +
                    " ne postoji u šifarniku vrsta obračuna");
    // The form identifier holds the payer number in three digits.
    if (rq_.payer < 1 || rq_.payer > 999)
        return fail("Redni broj obveznika " + std::to_string(rq_.payer) +
                    " ne stane u identifikator obrasca (1 do 999)");
    return true;
}

bool FormRun::nameForm() {
    TableAccess& apl = tables_.access("APL");
    form_ = FormId{rq_.payer, rq_.sequence, rq_.calculationType};
    result_.formIdentifier = form_.identifier();
    result_.linkKey = form_.linkKey();
    std::string outputDir = utf8(apl, "IZLAZDIR");
    if (outputDir.empty()) outputDir = tables_.storage().dataDir() + "/";
    result_.payerFile = outputDir + "F" + pad(rq_.payer, 3) + pad(rq_.sequence, 4) + ".TXT";
    if (result_.payerFile.size() > kMaxPayerFileName)
        return fail("Naziv datoteke " + result_.payerFile + " je duži od 120 znakova");
    // What killed runs left half-written beside the payer file (a change
    // still to be settled keeps its files).
    if (leftoversSettled_) removeLeftoversOf(result_.payerFile);
    // A payer file the user made read-only is not replaced behind its back.
    struct stat existing;
    if (::stat(result_.payerFile.c_str(), &existing) == 0 &&
        (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return fail("Greška pri formiranju datoteke " + result_.payerFile +
                    ": datoteka je zaštićena od pisanja");
    TableAccess& folders = tables_.access("IZLF");
    folders.setStart();
    std::string mz0;
    if (folders.next() == result::Ok) mz0 = utf8(folders, "REDAK");
    result_.mz0Target = mz0 + "ZOVAK.MZ0";
    return true;
}

void FormRun::useWorkFolder() {
    tables_.storage().setWorkFolder(utf8(tables_.access("APL"), "RADDIR"));
}

bool FormRun::readPayer(bool quiet) {
    TableAccess& pos = tables_.access("POS");
    pos.record().clear();
    pos.record().setInteger(pos.def().fieldIndex("REDBROJ"), rq_.payer);
    if (pos.fetch(pos.def().keyIndex("KEYREDBROJ")) != result::Ok) {
        payerMissing_ = "Greška " + std::to_string(pos.lastError().code);
        return quiet ? false : fail(payerMissing_);
    }
    payer_ = pos.record();
    payerMissing_.clear();
    return true;
}

std::string FormRun::payerType() const {
    return std::string(clipRight(payer_->text(payer_->def().fieldIndex("VRSTOBVEZNIKA"))));
}

bool FormRun::begin() {
    std::vector<TableFile*> files;
    for (const char* name : {"OSI", "A", "POS", "TBT"})
        files.push_back(tables_.access(name).file());
    if (StorageError e = tables_.storage().begin(files)) {
        fail("Greška " + std::to_string(e.code) + " (" + describeError(e) + ")");
        return false;
    }
    inTransaction_ = true;
    return true;
}

bool FormRun::deleteRowsOfForm(const std::function<bool(const Record&)>& keep) {
    TableAccess& osi = tables_.access("OSI");
    const int key = osi.def().keyIndex("KEYOBRGODMJE");
    osi.setOrder(key);
    osi.record().clear();
    osi.record().setText(osi.def().fieldIndex("IDENTIFIKATOR"), result_.formIdentifier);
    osi.record().setText(osi.def().fieldIndex("VRSUPL"), rq_.calculationType);
    osi.record().setText(osi.def().fieldIndex("KONVEZA"), result_.linkKey);
    osi.setFromSortValue(keyPrefixSortValue(osi.def(), osi.def().keys[key], osi.record(), 1));
    while (osi.next() == result::Ok) {
        if (clipRight(text(osi, "KONVEZA")) != result_.linkKey) break;
        if (keep && keep(osi.record())) continue;
        status("Brišem " + std::to_string(rq_.sequence) + " MB " + utf8(osi, "JMBG"));
        if (osi.remove() != result::Ok) return false;
    }
    return !osi.lastError() || osi.atEof();
}

bool FormRun::writeLine(TableAccess& mirror, const BuiltLine& line) {
    if (!line.ok()) return fail(line.error);
    if (std::string why = unwritableLine(line.line); !why.empty()) return fail(why);
    putMirrorRecord(mirror.record(), line.line);
    TableAccess& zovak = tables_.access("TBZOVAK");
    zovak.record().assign(line.line);
    if (mirror.add(true) != result::Ok || zovak.add(true) != result::Ok)
        return fail("Greška kod upisa " +
                    std::string(mirror.lastError() ? mirror.def().stem() : "TBZOVAK") + " " +
                    (mirror.lastError() ? mirror.lastError() : zovak.lastError()).text);
    return true;
}

bool FormRun::writeFile(PositiveSign sign) {
    // The working file and its mirror files, each opened alone and emptied.
    std::vector<TableAccess*> files;
    for (const char* name : {"TBZOVAK", "SL0", "SL3", "SL5", "SL7", "SL9"}) {
        TableAccess& t = tables_.access(name);
        const std::string stem = t.def().stem();
        t.setShareMode(ShareMode::Exclusive);
        if (t.open(true) != result::Ok) {
            for (TableAccess* f : files)
                f->close();
            t.setShareMode(ShareMode::Shared);
            return fail("Greška kod otvaranja " + stem);
        }
        files.push_back(&t);
        if (t.removeAll() != result::Ok) {
            for (TableAccess* f : files) {
                f->close();
                f->setShareMode(ShareMode::Shared);
            }
            return fail("Greška kod otvaranja " + stem);
        }
    }
    // The mirror files are closed; the working file stays held by this run
    // until its digest is taken and its copy made (releaseWorkFile), so that
    // no other run writes it in between.
    zovakHeld_ = true;
    auto closeAll = [&]() {
        bool ok = true;
        for (TableAccess* f : files) {
            if (f == files.front()) {
                if (f->flush() != result::Ok) ok = fail("Greška kod zatvaranja " + f->def().stem());
                continue;
            }
            f->close();
            f->setShareMode(ShareMode::Shared);
            if (f->lastError()) ok = fail("Greška kod zatvaranja " + f->def().stem());
        }
        return ok;
    };
    // The records in file order.
    TableAccess& apl = tables_.access("APL");
    const CivilDate sent = civilDate(rq_.sendingDate);
    SenderRecord sender;
    sender.MV0IBOO = text(apl, "JMBG");
    sender.MV0NAZO = text(apl, "NAZIV");
    sender.MV0ADOB = text(apl, "ADRESA");
    sender.MV0OSOB = text(apl, "KONOSO");
    sender.MV0TELE = text(apl, "TELEFON");
    sender.MV0MAIL = text(apl, "EMAIL");
    sender.MV0DTMN = sent;
    bool ok = writeLine(tables_.access("SL0"), buildLine(sender));

    std::string error;
    auto header = formHeaderOf(*pageA_, &error);
    if (ok && !header) ok = fail(error);
    if (ok) ok = writeLine(tables_.access("SL3"), buildLine(*header, sign));

    TableAccess& osi = tables_.access("OSI");
    const int key = osi.def().keyIndex("KEYOBRGODMJE");
    osi.setOrder(key);
    osi.record().clear();
    osi.record().setText(osi.def().fieldIndex("KONVEZA"), result_.linkKey);
    osi.setFromSortValue(keyPrefixSortValue(osi.def(), osi.def().keys[key], osi.record(), 1));
    PersonCounter persons;
    long long rows = 0;
    TableAccess& sl5 = tables_.access("SL5");
    auto number = [&](const char* field) {
        return osi.record().integer(osi.def().fieldIndex(field));
    };
    auto amount = [&](const char* field) {
        return osi.record().decimal(osi.def().fieldIndex(field));
    };
    while (ok && osi.next() == result::Ok) {
        if (clipRight(text(osi, "KONVEZA")) != result_.linkKey) break;
        ++rows;
        InsuredRecord r;
        r.MV5IBOO = text(osi, "JMBG");
        r.MV5RBRO = persons.next(r.MV5IBOO);
        r.MV5IMPR = text(osi, "PREZIME");
        r.MV5GROP = text(osi, "OPCINA");
        r.MV5OSOB = text(osi, "OSNOVA1") + text(osi, "OSNOVA3");
        r.MV5RAZD = {static_cast<int>(number("OBRRAZD1")), static_cast<int>(number("OBRRAZD2"))};
        r.MV5IBRT = amount("IZNOS7");
        r.MV5IOSN = amount("IZNOS8");
        r.MV5IST1 = amount("IZNOS9");
        r.MV5IST2 = amount("IZNOS10");
        r.MV5INET = amount("IZNOS11");
        ok = writeLine(sl5, buildLine(r, sign));
    }
    if (ok) {
        FormEndRecord end;
        end.MV7IBOO = header->MV3IBOO;
        end.MV7IDOB = rq_.sequence;
        end.MV7BRSL = rows;
        end.MV7DTRS = sent;
        ok = writeLine(tables_.access("SL7"), buildLine(end));
    }
    if (ok) {
        FileEndRecord last;
        last.MV9IBOO = sender.MV0IBOO;
        last.MV9DTMN = sent;
        last.MV9BROJ = 1;
        ok = writeLine(tables_.access("SL9"), buildLine(last));
    }
    rowsOfForm_ = rows;
    return closeAll() && ok;
}

void FormRun::updateCollectiveList() {
    TableAccess& tbt = tables_.access("TBT");
    if (rq_.mode == SendingMode::Single || rq_.job == CollectiveJob::NewFile) {
        if (tbt.removeAll() != result::Ok)
            fail("Greška. Empty TBTMPDAT " + describeError(tbt.lastError()));
    }
    Record& t = tbt.record();
    const TableDef& d = tbt.def();
    t.clear();
    t.setInteger(d.fieldIndex("FIRMA"), rq_.payer);
    t.setText(d.fieldIndex("MB01"), pageA_->text(pageA_->def().fieldIndex("JMBG")).substr(0, 12));
    t.setText(d.fieldIndex("IMEFIRME"), payer_->text(payer_->def().fieldIndex("NAZIV")));
    t.setText(d.fieldIndex("IDENTIFIKATOR"), result_.linkKey);
    t.setText(d.fieldIndex("IMEFILE"), utf8ToCp1250Lossy(result_.payerFile));
    if (tbt.add(true) != result::Ok) fail("Greška. Add TBTMPDAT " + describeError(tbt.lastError()));
}

void FormRun::releaseWorkFile() {
    if (!zovakHeld_) return;
    TableAccess& zovak = tables_.access("TBZOVAK");
    zovak.close();
    zovak.setShareMode(ShareMode::Shared);
    zovakHeld_ = false;
}

bool FormRun::complete(PositiveSign sign, const std::string& statusAfterPageA) {
    PageAInput input;
    input.form = form_;
    input.year = rq_.year;
    input.month = rq_.month;
    input.payYear = rq_.payYear;
    input.payMonth = rq_.payMonth;
    PageAResult pageA = buildPageA(tables_, *payer_, input);
    if (!pageA.built || !pageA.pageA) {
        abandon();
        return false;
    }
    pageA_ = *pageA.pageA;
    if (!statusAfterPageA.empty()) status(statusAfterPageA);

    if (!writeFile(sign)) {
        abandon();
        return false;
    }
    // The digest of the working file and the new payer file, made from the
    // same bytes while this run holds the working file.
    const std::string zovak = tables_.storage().pathOf(*findTable("TBZOVAK"));
    std::string why;
    const std::string digest = doSHAOnFile(zovak, &why);
    if (digest.empty()) {
        fail("Greška pri formiranju datoteke " + why);
        abandon();
        return false;
    }
    if (const int e = swap_.stage(zovak, result_.payerFile); e != 0) {
        const std::string problem = writeProblem(e, result_.payerFile);
        status("Greška pri formiranju datoteke " + problem);
        fail("Greška pri formiranju datoteke " + result_.payerFile + ": " + problem);
        abandon();
        return false;
    }
    releaseWorkFile();
    status("Obrada je završena i određen SHA broj");
    updateCollectiveList();

    // The control mark.
    if (storeControlMark(tables_, result_.linkKey, digest) != ControlMarkResult::Stored) {
        abandon();
        return false;
    }
    // Stopped (Ctrl-C, the window's cancel) before anything is in place.
    if (reporter_.cancelRequested()) {
        abandon();
        return false;
    }
    // The payer file takes its place, the old one kept, and only then the
    // form is committed: a run stopped in between is settled by the next.
    const std::string mark = groupedMark(digest);
    if (std::string failed = swap_.put({result_.linkKey}, mark); !failed.empty()) {
        fail("Greška pri formiranju datoteke " + result_.payerFile + ": " + failed);
        abandon();
        return false;
    }
    testPoint("form-file-in-place");
    inTransaction_ = false;
    if (StorageError e = tables_.storage().commit()) {
        swap_.rollBack();
        fail("Greška " + std::to_string(e.code) + " (" + describeError(e) + ")");
        abandon();
        return false;
    }
    testPoint("form-committed");
    swap_.committed();
    result_.controlMark = mark;
    const Record& a = *pageA_;
    result_.persons = a.integer(a.def().fieldIndex("BROJOSIG"));
    result_.sheets = a.integer(a.def().fieldIndex("BROJSTRANA"));
    result_.rows = rowsOfForm_;
    const char* totals[] = {"IZNOS7", "IZNOS8", "IZNOS9", "IZNOS10", "IZNOS11"};
    for (int i = 0; i < 5; ++i)
        result_.totals[i] = a.decimal(a.def().fieldIndex(totals[i]));
    result_.done = true;
    status("OBVEZNIK JE USPJEŠNO OBRAĐEN-" + result_.payerFile);
    closeTables();
    return true;
}

void FormRun::abandon() {
    releaseWorkFile();
    if (result_.done) {
        closeTables();
        return;
    }
    if (inTransaction_) {
        tables_.storage().rollback();
        inTransaction_ = false;
    }
    swap_.rollBack();
    closeTables();
}

} // namespace mvz
