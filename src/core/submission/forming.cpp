#include "submission/forming.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <system_error>

#include "base/cp1250.h"
#include "base/day_number.h"
#include "base/fixed_text.h"
#include "base/numeric.h"
#include "base/reporter.h"
#include "data/error_reporter.h"
#include "data/sort_value.h"
#include "data/tables.h"
#include "rules/identifier.h"
#include "submission/digest.h"
#include "submission/form_id.h"
#include "submission/page_a.h"
#include "submission/person_counter.h"
#include "submission/record_format.h"

namespace mvz {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPlaceholderId = "1111111111111";
constexpr std::size_t kMaxPayerFileName = 120;

std::string digitsOnly(const std::string& text) {
    std::string_view t = trim(text);
    return std::string(t);
}

bool allDigits(std::string_view t) {
    if (t.empty()) return false;
    for (char c : t)
        if (c < '0' || c > '9') return false;
    return true;
}

std::string pad(long long value, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", width, value);
    return buf;
}

// The record buffers and positions of one payer processing.
class PayerRun {
  public:
    PayerRun(Tables& tables, const FormingRequest& rq)
        : tables_(tables), rq_(rq), reporter_(tables.errors().reporter()) {}

    FormingResult run();

  private:
    bool fail(const std::string& message) {
        MessageBox box;
        box.title = kFormingTitle;
        box.text = messageBoxText(message);
        box.icon = MessageIcon::Information;
        reporter_.show(box);
        return false;
    }
    void status(const std::string& text) { reporter_.status(text); }
    std::string text(TableAccess& t, const char* field) {
        return std::string(t.record().text(t.def().fieldIndex(field)));
    }
    std::string utf8(TableAccess& t, const char* field) {
        return cp1250ToUtf8(clipRight(text(t, field)));
    }
    std::int64_t number(TableAccess& t, const char* field) {
        return t.record().integer(t.def().fieldIndex(field));
    }
    Decimal amount(TableAccess& t, const char* field) {
        return t.record().decimal(t.def().fieldIndex(field));
    }

    bool checks();
    bool openTables();
    void closeTables();
    bool deleteOldRows();
    bool rebuildRows();
    bool writeFile();
    bool writeLine(TableAccess& mirror, const BuiltLine& line);
    bool updateCollectiveList();

    Tables& tables_;
    const FormingRequest& rq_;
    Reporter& reporter_;
    FormingResult result_;
    FormId form_;
    std::string outputDir_;
    std::optional<Record> payer_;
    std::optional<Record> pageA_;
    long long rowsOfForm_ = 0;
    std::string digest_;
    std::vector<TableAccess*> opened_;
};

bool PayerRun::checks() {
    TableAccess& apl = tables_.access("APL");
    apl.setOrder(0);
    apl.setStart();
    if (apl.next() != result::Ok) apl.record().clear();
    const std::string id = text(apl, "JMBG");
    // 1-2: the authorised person.
    if (clipRight(id) == kPlaceholderId)
        return fail("Obavezno ispravite podatke o ovlaštenoj osobi. | Izmjenu izvršite kroz "
                    "Servisi/Aplikacijski parametri");
    if (!CheckIdentifierLoose(id))
        return fail("Obavezno ispravite ID ovlaštene osobe. | Izmjenu izvršite kroz "
                    "Servisi/Aplikacijski parametri");
    // 3: year and month again.
    if (std::string m = checkFormingYear(std::to_string(rq_.year)); !m.empty()) return fail(m);
    if (std::string m = checkFormingMonth(pad(rq_.month, 2), ""); !m.empty()) return fail(m);
    // 4: the sending mode, the calculation type, the sequence number.
    if (rq_.mode == SendingMode::Unset) return fail("Obavezno izaberite način slanja podataka");
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
    // 5: names of the form and its files.
    form_ = FormId{rq_.payer, rq_.sequence, rq_.calculationType};
    result_.formIdentifier = form_.identifier();
    result_.linkKey = form_.linkKey();
    outputDir_ = utf8(apl, "IZLAZDIR");
    if (outputDir_.empty()) outputDir_ = tables_.storage().dataDir() + "/";
    result_.payerFile = outputDir_ + "F" + pad(rq_.payer, 3) + pad(rq_.sequence, 4) + ".TXT";
    if (result_.payerFile.size() > kMaxPayerFileName)
        return fail("Naziv datoteke " + result_.payerFile + " je duži od 120 znakova");
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

    // 6: the payer.
    TableAccess& pos = tables_.access("POS");
    pos.record().clear();
    pos.record().setInteger(pos.def().fieldIndex("REDBROJ"), rq_.payer);
    if (pos.fetch(pos.def().keyIndex("KEYREDBROJ")) != result::Ok)
        return fail("Greška " + std::to_string(pos.lastError().code));
    payer_ = pos.record();
    const std::string payerType(clipRight(text(pos, "VRSTOBVEZNIKA")));
    if (payerType == "30" && rq_.sequence >= 50)
        return fail("Za VOB=30 red. broj unutar indetifikatora mora biti <50");
    if (payerType == "31" && rq_.sequence < 50)
        return fail("Za VOB=31 red. broj unutar indetifikatora mora biti >=50");
    if (!CheckIdentifierLoose(text(pos, "JMBG")))
        return fail("Ispravite Identifikacijski broj obveznika");
    return true;
}

bool PayerRun::openTables() {
    for (const char* name : {"APL", "IZLF", "VUP", "POS", "RAD", "OSI", "A", "TBT"}) {
        TableAccess& t = tables_.access(name);
        if (t.open() != result::Ok) return false;
        opened_.push_back(&t);
    }
    return true;
}

void PayerRun::closeTables() {
    for (auto it = opened_.rbegin(); it != opened_.rend(); ++it)
        (*it)->close();
    opened_.clear();
}

bool PayerRun::deleteOldRows() {
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
        status("Brišem " + std::to_string(rq_.sequence) + " MB " + utf8(osi, "JMBG"));
        if (osi.remove() != result::Ok) return false;
    }
    return !osi.lastError() || osi.atEof();
}

bool PayerRun::rebuildRows() {
    TableAccess& rad = tables_.access("RAD");
    TableAccess& osi = tables_.access("OSI");
    const int key = rad.def().keyIndex("KEYRBRFIRME");
    rad.setOrder(key);
    rad.record().clear();
    rad.record().setInteger(rad.def().fieldIndex("REDBROJ"), rq_.payer);
    rad.setFromSortValue(keyPrefixSortValue(rad.def(), rad.def().keys[key], rad.record(), 1));
    long long read = 0, taken = 0;
    PersonCounter persons;
    static const char* const copied[] = {"JMBG",    "PREZIME", "OPCINA", "CLANDN",
                                         "OSNOVA1", "OSNOVA3", "IZNOS7", "IZNOS8",
                                         "IZNOS9",  "IZNOS10", "IZNOS11"};
    Record& o = osi.record();
    const TableDef& od = osi.def();
    while (rad.next() == result::Ok) {
        ++read;
        const long long person = persons.next(text(rad, "JMBG"));
        const int odDana = static_cast<int>(number(rad, "ODDANA"));
        const int doDana = static_cast<int>(number(rad, "DODANA"));
        if (number(rad, "REDBROJ") != rq_.payer || number(rad, "GODOBRA") != rq_.year ||
            number(rad, "MJEOBRA") != rq_.month || odDana < rq_.firstDay || odDana > rq_.lastDay ||
            doDana < rq_.firstDay || doDana > rq_.lastDay ||
            clipRight(text(rad, "VRSTAUPLA")) != clipRight(rq_.calculationType))
            continue;
        ++taken;
        status(utf8(rad, "PREZIME"));
        o.clear();
        o.setText(od.fieldIndex("RBOSOB"), pad(person % 100000, 5));
        o.setText(od.fieldIndex("VRSUPL"), text(rad, "VRSTAUPLA"));
        for (const char* f : copied) {
            const int from = rad.def().fieldIndex(f), to = od.fieldIndex(f);
            if (od.fields[to].isText())
                o.setText(to, rad.record().text(from));
            else
                o.setDecimal(to, rad.record().decimal(from));
        }
        o.setInteger(od.fieldIndex("OBRRAZD1"), odDana);
        o.setInteger(od.fieldIndex("OBRRAZD2"), doDana);
        o.setInteger(od.fieldIndex("GODOBRA"), rq_.year);
        o.setInteger(od.fieldIndex("OBRMJE"), rq_.month);
        o.setText(od.fieldIndex("IDENTIFIKATOR"), result_.formIdentifier);
        o.setText(od.fieldIndex("KONVEZA"), result_.linkKey);
        if (osi.add(true) != result::Ok) {
            // The form is rebuilt whole or not at all.
            return fail("Greška kod upisa " + std::to_string(osi.lastError().code) + " (" +
                        osi.lastError().text + ")");
        }
    }
    if (rad.lastError() && !rad.atEof()) return false;
    if (taken == 0) {
        status("Obrada prekinuta. Pročitano=" + std::to_string(read) +
               " Preuzeto=" + std::to_string(taken));
        return false;
    }
    return true;
}

bool PayerRun::writeLine(TableAccess& mirror, const BuiltLine& line) {
    if (!line.ok()) return fail(line.error);
    putMirrorRecord(mirror.record(), line.line);
    TableAccess& zovak = tables_.access("TBZOVAK");
    zovak.record().assign(line.line);
    if (mirror.add(true) != result::Ok || zovak.add(true) != result::Ok)
        return fail("Greška kod upisa " +
                    std::string(mirror.lastError() ? mirror.def().stem() : "TBZOVAK") + " " +
                    (mirror.lastError() ? mirror.lastError() : zovak.lastError()).text);
    return true;
}

bool PayerRun::writeFile() {
    // 10: the working file and its mirror files, each opened alone and emptied.
    std::vector<TableAccess*> files;
    for (const char* name : {"TBZOVAK", "SL0", "SL3", "SL5", "SL7", "SL9"}) {
        TableAccess& t = tables_.access(name);
        const std::string stem = t.def().stem();
        t.setShareMode(ShareMode::Exclusive);
        if (t.open(true) != result::Ok) {
            for (TableAccess* f : files)
                f->close();
            return fail("Greška kod otvaranja " + stem);
        }
        files.push_back(&t);
        if (t.removeAll() != result::Ok) {
            for (TableAccess* f : files)
                f->close();
            return fail("Greška kod otvaranja " + stem);
        }
    }
    auto closeAll = [&]() {
        bool ok = true;
        for (TableAccess* f : files) {
            f->close();
            f->setShareMode(ShareMode::Shared);
            if (f->lastError()) ok = fail("Greška kod zatvaranja " + f->def().stem());
        }
        return ok;
    };
    // 11: the records in file order; amounts of zero and above carry "0".
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
    if (ok) ok = writeLine(tables_.access("SL3"), buildLine(*header, PositiveSign::Zero));

    TableAccess& osi = tables_.access("OSI");
    const int key = osi.def().keyIndex("KEYOBRGODMJE");
    osi.setOrder(key);
    osi.record().clear();
    osi.record().setText(osi.def().fieldIndex("KONVEZA"), result_.linkKey);
    osi.setFromSortValue(keyPrefixSortValue(osi.def(), osi.def().keys[key], osi.record(), 1));
    PersonCounter persons;
    long long rows = 0;
    TableAccess& sl5 = tables_.access("SL5");
    while (ok && osi.next() == result::Ok) {
        if (clipRight(text(osi, "KONVEZA")) != result_.linkKey) break;
        ++rows;
        InsuredRecord r;
        r.MV5IBOO = text(osi, "JMBG");
        r.MV5RBRO = persons.next(r.MV5IBOO);
        r.MV5IMPR = text(osi, "PREZIME");
        r.MV5GROP = text(osi, "OPCINA");
        r.MV5OSOB = text(osi, "OSNOVA1") + text(osi, "OSNOVA3");
        r.MV5RAZD = {static_cast<int>(number(osi, "OBRRAZD1")),
                     static_cast<int>(number(osi, "OBRRAZD2"))};
        r.MV5IBRT = amount(osi, "IZNOS7");
        r.MV5IOSN = amount(osi, "IZNOS8");
        r.MV5IST1 = amount(osi, "IZNOS9");
        r.MV5IST2 = amount(osi, "IZNOS10");
        r.MV5INET = amount(osi, "IZNOS11");
        ok = writeLine(sl5, buildLine(r, PositiveSign::Zero));
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

bool PayerRun::updateCollectiveList() {
    TableAccess& tbt = tables_.access("TBT");
    if (rq_.mode == SendingMode::Single || rq_.job == CollectiveJob::NewFile) {
        if (tbt.removeAll() != result::Ok) fail("Greška. Empty TBTMPDAT " + tbt.lastError().text);
    }
    Record& t = tbt.record();
    const TableDef& d = tbt.def();
    t.clear();
    t.setInteger(d.fieldIndex("FIRMA"), rq_.payer);
    t.setText(d.fieldIndex("MB01"), pageA_->text(pageA_->def().fieldIndex("JMBG")).substr(0, 12));
    t.setText(d.fieldIndex("IMEFIRME"), payer_->text(payer_->def().fieldIndex("NAZIV")));
    t.setText(d.fieldIndex("IDENTIFIKATOR"), result_.linkKey);
    t.setText(d.fieldIndex("IMEFILE"), utf8ToCp1250Lossy(result_.payerFile));
    if (tbt.add(true) != result::Ok) fail("Greška. Add TBTMPDAT " + tbt.lastError().text);
    return true;
}

FormingResult PayerRun::run() {
    if (!openTables()) {
        closeTables();
        return result_;
    }
    if (!checks()) {
        closeTables();
        return result_;
    }
    // The working folder of the application parameters holds the work files.
    tables_.storage().setWorkFolder(utf8(tables_.access("APL"), "RADDIR"));

    // 7-9 and 13-14 are one transaction over the tables the form touches.
    status("Radim. Strpite se..");
    std::vector<TableFile*> files;
    for (const char* name : {"OSI", "A", "POS", "TBT"})
        files.push_back(tables_.access(name).file());
    if (StorageError e = tables_.storage().begin(files)) {
        fail("Greška " + std::to_string(e.code) + " (" + e.text + ")");
        closeTables();
        return result_;
    }
    const std::string fresh = result_.payerFile + ".new";
    std::error_code ec;
    auto stop = [&]() {
        tables_.storage().rollback();
        fs::remove(fresh, ec);
        closeTables();
        result_.done = false;
        return result_;
    };
    if (!deleteOldRows() || !rebuildRows()) return stop();

    PageAInput input;
    input.form = form_;
    input.year = rq_.year;
    input.month = rq_.month;
    input.payYear = rq_.payYear;
    input.payMonth = rq_.payMonth;
    PageAResult pageA = buildPageA(tables_, *payer_, input);
    if (!pageA.built || !pageA.pageA) return stop();
    pageA_ = *pageA.pageA;

    if (!writeFile()) return stop();

    // 12: the digest of the working file, and its copy under a new name.
    const std::string zovak = tables_.storage().pathOf(*findTable("TBZOVAK"));
    std::string why;
    digest_ = doSHAOnFile(zovak, &why);
    if (digest_.empty()) {
        fail("Greška pri formiranju datoteke " + why);
        return stop();
    }
    fs::remove(fresh, ec);
    if (!fs::copy_file(zovak, fresh, fs::copy_options::overwrite_existing, ec)) {
        status("Greška pri formiranju datoteke " + ec.message());
        fail("Greška pri formiranju datoteke " + result_.payerFile + ": " + ec.message());
        return stop();
    }
    status("Obrada je završena i određen SHA broj");
    updateCollectiveList();

    // 14: the control mark.
    if (storeControlMark(tables_, result_.linkKey, digest_) != ControlMarkResult::Stored)
        return stop();
    if (StorageError e = tables_.storage().commit()) {
        fail("Greška " + std::to_string(e.code) + " (" + e.text + ")");
        fs::remove(fresh, ec);
        closeTables();
        return result_;
    }
    fs::rename(fresh, result_.payerFile, ec);
    if (ec) {
        fail("Greška pri formiranju datoteke " + result_.payerFile + ": " + ec.message());
        fs::remove(fresh, ec);
        closeTables();
        return result_;
    }
    result_.controlMark = groupedMark(digest_);
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
    return result_;
}

} // namespace

std::string checkFormingYear(const std::string& text) {
    const std::string t = digitsOnly(text);
    if (!isNumeric(t)) return "Greška. Godina mora biti numerik";
    if (!allDigits(t) || t.size() != 4) return "Greška. Godina mora biti 4-znamenkasta";
    if (std::stoi(t) < 2005) return "Greška. Godina mora biti veća od 2004";
    return {};
}

std::string checkFormingMonth(const std::string& text, const std::string& calculationType) {
    const std::string t = digitsOnly(text);
    if (!isNumeric(t)) return "Mjesec mora biti numerik";
    if (!allDigits(t) || t.size() != 2) return "Mjesec je 2-znamenkasti broj";
    const int month = std::stoi(t);
    if (month > 12) return "Pogrešna oznaka mjeseca";
    if ((calculationType == "03" || calculationType == "05" || calculationType == "06") &&
        month != 0)
        return "Za uplate 03 05 i 06 mjesec mora biti = 00";
    return {};
}

std::string checkFormingDay(const std::string& text, int year, int month) {
    const std::string t = digitsOnly(text);
    if (!allDigits(t)) return "Greška. Dozvoljene su samo brojke";
    if (month > 0 && !CheckDayOfMonth(year, month, std::stoi(t))) return "Pogrešan dan";
    return {};
}

std::string checkPayYear(const std::string& text) {
    const std::string t = digitsOnly(text);
    if (!allDigits(t)) return "Greška. Godina mora biti numerik";
    return {};
}

std::string checkPayMonth(const std::string& text) {
    const std::string t = digitsOnly(text);
    if (!allDigits(t)) return "Greška. Mjesec mora biti numerik";
    if (t.size() != 2) return "Greška. Mjesec mora biti 2-znamenkasta";
    if (std::stoi(t) > 12) return "Pogrešna oznaka mjeseca";
    return {};
}

std::string checkSequence(int sequence) {
    if (sequence > 9899) return "Broj mora biti <=9899";
    return {};
}

FormingResult formPayer(Tables& tables, const FormingRequest& request) {
    return PayerRun(tables, request).run();
}

} // namespace mvz
