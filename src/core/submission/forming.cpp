#include "submission/forming.h"

#include <cstdio>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "base/numeric.h"
#include "base/reporter.h"
#include "data/error_reporter.h"
#include "data/sort_value.h"
#include "data/tables.h"
#include "rules/identifier.h"
#include "submission/form_run.h"
#include "submission/person_counter.h"
#include "submission/record_format.h"

namespace mvz {

namespace {

constexpr const char* kPlaceholderId = "1111111111111";
constexpr long long kCancelEvery = 1024; // employee rows between two questions whether to stop

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

// One payer processing: the window's checks and the page-B rows from the
// payer's employee rows; the rest is the shared run.
class PayerRun {
  public:
    PayerRun(Tables& tables, const FormingRequest& rq)
        : run_(tables, rq, kFormingTitle), tables_(tables), rq_(rq) {}

    FormingResult run();

  private:
    bool fail(const std::string& message) { return run_.fail(message); }
    std::string text(TableAccess& t, const char* field) {
        return std::string(t.record().text(t.def().fieldIndex(field)));
    }
    std::int64_t number(TableAccess& t, const char* field) {
        return t.record().integer(t.def().fieldIndex(field));
    }

    bool checks();
    bool rebuildRows();

    FormRun run_;
    Tables& tables_;
    const FormingRequest& rq_;
};

bool PayerRun::checks() {
    const std::string id = run_.authorisedPerson();
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
    if (!run_.checkFormValues()) return false;
    // 5: names of the form and its files.
    if (!run_.nameForm()) return false;
    // 6: the payer.
    if (!run_.readPayer()) return false;
    const std::string payerType = run_.payerType();
    if (payerType == "30" && rq_.sequence >= 50)
        return fail("Za VOB=30 red. broj unutar indetifikatora mora biti <50");
    if (payerType == "31" && rq_.sequence < 50)
        return fail("Za VOB=31 red. broj unutar indetifikatora mora biti >=50");
    if (!CheckIdentifierLoose(run_.payer().text(run_.payer().def().fieldIndex("JMBG"))))
        return fail("Ispravite Identifikacijski broj obveznika");
    return true;
}

bool PayerRun::rebuildRows() {
    TableAccess& rad = tables_.access("RAD");
    TableAccess& osi = tables_.access("OSI");
    const std::string& formIdentifier = run_.result().formIdentifier;
    const std::string& linkKey = run_.result().linkKey;
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
    Reporter& reporter = tables_.errors().reporter();
    while (rad.next() == result::Ok) {
        // Stopped (Ctrl-C, the window's cancel): the form stays as it was.
        if (++read % kCancelEvery == 0 && reporter.cancelRequested()) return false;
        const long long person = persons.next(text(rad, "JMBG"));
        const int odDana = static_cast<int>(number(rad, "ODDANA"));
        const int doDana = static_cast<int>(number(rad, "DODANA"));
        if (number(rad, "REDBROJ") != rq_.payer || number(rad, "GODOBRA") != rq_.year ||
            number(rad, "MJEOBRA") != rq_.month || odDana < rq_.firstDay || odDana > rq_.lastDay ||
            doDana < rq_.firstDay || doDana > rq_.lastDay ||
            clipRight(text(rad, "VRSTAUPLA")) != clipRight(rq_.calculationType))
            continue;
        ++taken;
        run_.status(cp1250ToUtf8(clipRight(text(rad, "PREZIME"))));
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
        o.setText(od.fieldIndex("IDENTIFIKATOR"), formIdentifier);
        o.setText(od.fieldIndex("KONVEZA"), linkKey);
        if (osi.add(true) != result::Ok) {
            // The form is rebuilt whole or not at all. A value the field
            // checks refused has been named by their message.
            if (!osi.lastError()) return false;
            return fail("Greška kod upisa " + std::to_string(osi.lastError().code) + " (" +
                        osi.lastError().text + ")");
        }
    }
    if (rad.lastError() && !rad.atEof()) return false;
    if (taken == 0) {
        run_.status("Obrada prekinuta. Pročitano=" + std::to_string(read) +
                    " Preuzeto=" + std::to_string(taken));
        return false;
    }
    return true;
}

FormingResult PayerRun::run() {
    if (!run_.openTables({"RAD"}) || !checks()) {
        run_.abandon();
        return run_.result();
    }
    run_.useWorkFolder();
    // 7-9 and 13-14 are one transaction over the tables the form touches.
    run_.status("Radim. Strpite se..");
    if (!run_.begin() || !run_.deleteRowsOfForm() || !rebuildRows()) {
        run_.abandon();
        return run_.result();
    }
    run_.complete(PositiveSign::Zero);
    return run_.result();
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
