#include "import/payment_forms.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "base/reporter.h"
#include "data/created_file.h"
#include "data/error_reporter.h"
#include "data/line_file.h"
#include "data/sort_value.h"
#include "data/tables.h"
#include "data/work_copy.h"
#include "import/payment_findings.h"
#include "import/payment_line.h"
#include "import/payment_line_checks.h"
#include "rules/identifier.h"
#include "submission/form_run.h"

namespace mvz {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPlaceholderId = "1111111111111";
constexpr const char* kAmountLabels[] = {"IV.7", "IV.8", "IV.9", "IV.10", "IV.11"};
// Lines between two progress reports and cancel requests.
constexpr long kProgressEvery = 1024;

std::string pad(long long value, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", width, value);
    return buf;
}

class PaymentFormsRun {
  public:
    PaymentFormsRun(Tables& tables, const PaymentFormsRequest& rq, FindingSink* sink)
        : tables_(tables), rq_(rq), form_(tables, rq.form, kPaymentFormsTitle),
          findings_(tables.storage().dataDir(), tables.errors(), kPaymentFormsTitle, sink) {}
    ~PaymentFormsRun() { copy_.close(); }

    PaymentFormsResult run();

  private:
    bool fail(const std::string& message) { return form_.fail(message); }
    void status(const std::string& text) { form_.status(text); }

    bool checks();
    bool takeOverFile();
    bool readLines();
    bool selected(const PaymentLine& line) const;
    PreviousAmounts remembered(const PaymentLine& line);
    void takeLine(const PaymentLine& line, const LineCheckOutcome& outcome);
    void refuse(const PaymentLine& line, std::optional<PaymentField> field,
                const std::string& message);
    PaymentFormsResult finish();

    Tables& tables_;
    const PaymentFormsRequest& rq_;
    FormRun form_;
    PaymentFindings findings_;
    PaymentFormsResult result_;
    std::string payerId_; // POS:JMBG without trailing blanks
    // Only a Ctrl-Z that is the file's last byte ends it, as in the check.
    WorkCopy copy_{kPaymentLineLength, CtrlZRule::OnlyAsLastByte};
    std::string copyPath_;
    bool writeFailureShown_ = false;
};

// 1-7: a check that stops the run leaves every table as it was (the findings
// table is emptied only inside its own transaction).
bool PaymentFormsRun::checks() {
    const FormingRequest& f = rq_.form;
    // 1: the authorised person.
    const std::string id = form_.authorisedPerson();
    if (clipRight(id) == kPlaceholderId)
        return fail("Obavezno ispravite podatke o ovlaštenoj osobi. | Izmjenu izvršite kroz "
                    "Servisi/Aplikacijski parametri");
    if (!CheckIdentifierLoose(id))
        return fail("Obavezno ispravite podatke o Identifikacijskom broju ovlaštene osobe");
    // 2: the findings table, emptied within the findings' own transaction.
    findings_.start();
    // 3: year and month.
    if (f.year < 2005) return fail("Greška. Godina mora biti veća od 2004");
    if (f.year > 9999) return fail("Greška. Godina mora biti 4-znamenkasta");
    if (f.month < 0 || f.month > 12) return fail("Pogrešna oznaka mjeseca");
    // 4: the sequence number within the payer type's range.
    const bool havePayer = form_.readPayer(true);
    if (havePayer) {
        const std::string payerType = form_.payerType();
        if (payerType == "30" && f.sequence >= 50)
            return fail("Za VOB=30 red. broj unutar indetifikatora mora biti < 50");
        if (payerType == "31" && f.sequence < 50)
            return fail("Za VOB=31 red. broj unutar indetifikatora mora biti >=50");
    }
    // 5: the sending mode; the window's type and numbers must make a form.
    if (f.mode == SendingMode::Unset) return fail("Obavezno izaberite način slanja podataka");
    if (!form_.checkFormValues()) return false;
    // 6: the form's names and the work copy of the file.
    if (!form_.nameForm()) return false;
    form_.useWorkFolder();
    if (!takeOverFile()) return false;
    // 7: the payer.
    if (!havePayer) return fail(form_.payerMissing());
    const Record& payer = form_.payer();
    if (!CheckIdentifierLoose(payer.text(payer.def().fieldIndex("JMBG"))))
        return fail("Ispravite Identifikacijski broj obveznika");
    payerId_ = std::string(clipRight(payer.text(payer.def().fieldIndex("JMBG"))));
    return true;
}

// The chosen file is copied over the work copy TBUPLATE.DAT, which is then
// read, held by this run until its last line (another run's copy never
// takes its place meanwhile). A copy that fails leaves the old work copy as
// it was; the work copy itself chosen is read as it is.
bool PaymentFormsRun::takeOverFile() {
    copyPath_ = tables_.storage().pathOf(*findTable("OSI1"));
    if (copy_.take(rq_.inputFile, copyPath_, tables_.storage().fileMode())) return true;
    switch (copy_.failure()) {
    case WorkCopy::Failure::Open:
        return fail("Greška. Open TBUPLATE " + describeError(copy_.error()));
    case WorkCopy::Failure::Copy:
        return fail("Greška kod preuzimanja podataka " + rq_.inputFile + ": " + copy_.problem());
    default:
        return fail("Greška kod preuzimanja podataka " + rq_.inputFile);
    }
}

bool PaymentFormsRun::selected(const PaymentLine& line) const {
    const FormingRequest& f = rq_.form;
    const std::optional<int> from = line.dayFrom(), to = line.dayTo();
    return line.text(PaymentField::MB2) == payerId_ && line.year() == f.year &&
           line.month() == f.month && from && *from >= f.firstDay && *from <= f.lastDay && to &&
           *to >= f.firstDay && *to <= f.lastDay &&
           line.field(PaymentField::VRSTAUPLA) == clipRight(f.calculationType);
}

// The amounts the amount rules remember: every page-B row already stored for
// the person with the same year and month, in any form, in the order of the
// identifier key; each amount above 0 replaces the one remembered.
PreviousAmounts PaymentFormsRun::remembered(const PaymentLine& line) {
    PreviousAmounts amounts;
    TableAccess& rows = tables_.access("RAD2");
    const TableDef& d = rows.def();
    const int key = d.keyIndex("KEYJMBG");
    const std::string_view person = line.field(PaymentField::JMBG);
    rows.setOrder(key);
    rows.record().clear();
    rows.record().setText(d.fieldIndex("JMBG"), person);
    rows.setFromSortValue(keyPrefixSortValue(d, d.keys[key], rows.record(), 1));
    static const char* const columns[] = {"IZNOS7", "IZNOS8", "IZNOS9", "IZNOS10", "IZNOS11"};
    while (rows.next() == result::Ok) {
        const Record& r = rows.record();
        if (clipRight(r.text(d.fieldIndex("JMBG"))) != clipRight(person)) break;
        if (r.integer(d.fieldIndex("GODOBRA")) != rq_.form.year ||
            r.integer(d.fieldIndex("OBRMJE")) != rq_.form.month)
            continue;
        RowValues v;
        Decimal* to[] = {&v.gross, &v.base, &v.pillar1, &v.pillar2, &v.net};
        for (int i = 0; i < 5; ++i)
            *to[i] = r.decimal(d.fieldIndex(columns[i]));
        amounts.takePositive(v);
    }
    return amounts;
}

void PaymentFormsRun::refuse(const PaymentLine& line, std::optional<PaymentField> field,
                             const std::string& message) {
    findings_.add(result_.linesRead, line, field, 'F', message);
    result_.selectedRefused = true;
    ++result_.linesRefused;
}

// One page-B row of the form from an accepted line.
void PaymentFormsRun::takeLine(const PaymentLine& line, const LineCheckOutcome& outcome) {
    TableAccess& osi = tables_.access("OSI");
    Record& o = osi.record();
    const TableDef& d = osi.def();
    const FormingRequest& f = rq_.form;
    o.clear();
    o.setText(d.fieldIndex("RBOSOB"), pad((result_.linesTaken + 1) % 100000, 5));
    for (PaymentField field : {PaymentField::JMBG, PaymentField::PREZIME, PaymentField::OPCINA,
                               PaymentField::CLANDN, PaymentField::OSNOVA1, PaymentField::OSNOVA3})
        o.setText(d.fieldIndex(paymentFieldName(field)), line.field(field));
    o.setInteger(d.fieldIndex("OBRRAZD1"), line.dayFrom().value_or(0));
    o.setInteger(d.fieldIndex("OBRRAZD2"), line.dayTo().value_or(0));
    for (int i = 0; i < kPaymentAmountCount; ++i) {
        const PaymentField field = paymentAmountField(i);
        // The line holds 12 integer digits, the page-B row 11.
        if (!o.setDecimal(d.fieldIndex(paymentFieldName(field)), line.amount(i)))
            return refuse(line, field,
                          std::string("Podatak ") + kAmountLabels[i] + " je prevelik za obrazac");
    }
    o.setInteger(d.fieldIndex("GODOBRA"), f.year);
    o.setInteger(d.fieldIndex("OBRMJE"), f.month);
    o.setText(d.fieldIndex("IDENTIFIKATOR"), form_.result().formIdentifier);
    o.setText(d.fieldIndex("VRSUPL"), f.calculationType);
    o.setText(d.fieldIndex("KONVEZA"), form_.result().linkKey);
    if (const auto& rates = outcome.rates) {
        o.setDecimal(d.fieldIndex("STOPA1"), rates->pillar1First);
        o.setDecimal(d.fieldIndex("STOPA2"), rates->pillar2First);
        o.setDecimal(d.fieldIndex("STOPA11"), rates->pillar1Second);
        o.setDecimal(d.fieldIndex("STOPA22"), rates->pillar2Second);
    }
    if (osi.add(true) != result::Ok) {
        // A row that cannot be written refuses its line: the form is formed
        // whole or not at all.
        // A value the field checks refused has been named by their message.
        if (!osi.lastError()) return refuse(line, std::nullopt, "Greška kod upisa");
        const std::string message = "Greška kod upisa " + std::to_string(osi.lastError().code);
        if (!writeFailureShown_) fail(message + " (" + describeError(osi.lastError()) + ")");
        writeFailureShown_ = true;
        return refuse(line, std::nullopt, message);
    }
    ++result_.linesTaken;
}

// 9: every line of the work copy, in file order.
bool PaymentFormsRun::readLines() {
    PaymentRunValues values;
    values.payerType = form_.payerType();
    values.calculationType = std::string(clipRight(rq_.form.calculationType));
    values.year = rq_.form.year;
    values.month = rq_.form.month;
    values.currentYear = rq_.currentYear;
    PaymentLineChecker checker(tables_, PaymentCaller::PaymentForms, values);

    Reporter& reporter = tables_.errors().reporter();
    std::error_code ec;
    const std::uint64_t size = fs::file_size(copyPath_, ec);
    PaymentLine line;
    for (;;) {
        const std::string_view record = copy_.lines().next();
        if (record.empty()) break;
        const long n = ++result_.linesRead;
        line.assign(record);
        if (n % kProgressEvery == 0) {
            reporter.progress(copy_.lines().position(), ec ? 0 : size);
            if (reporter.cancelRequested()) {
                result_.cancelled = true;
                return false;
            }
        }
        if (!CheckIdentifierLoose(line.field(PaymentField::MB2))) {
            // Not a line of this payer: refused, but no reason to stop the form.
            findings_.add(n, line, PaymentField::MB2, 'F',
                          "Identifikacijski broj obveznika nije korektan");
            ++result_.linesRefused;
            continue;
        }
        if (!selected(line)) {
            findings_.add(n, line, std::nullopt, 'U', "Redak nije preuzet.");
            ++result_.linesRefused;
            continue;
        }
        if (n < 100)
            status(std::to_string(n) +
                   ". Formalna kontrola za = " + cp1250ToUtf8(line.text(PaymentField::PREZIME)));
        if (n % 100 == 0) status("Obrađeno redaka " + std::to_string(n));

        const LineCheckOutcome& outcome = checker.check(line, remembered(line));
        for (const LineFinding& finding : outcome.findings)
            findings_.add(n, line, finding.field, finding.refuses ? 'F' : 'U', finding.message);
        if (outcome.refused) {
            result_.selectedRefused = true;
            ++result_.linesRefused;
            continue;
        }
        takeLine(line, outcome);
    }
    if (copy_.lines().errorCode() != err::RecordNotAvailable)
        return fail("Greška kod preuzimanja podataka " + rq_.inputFile);
    return true;
}

PaymentFormsResult PaymentFormsRun::finish() {
    result_.forming = form_.result();
    result_.findings = findings_.count();
    return result_;
}

PaymentFormsResult PaymentFormsRun::run() {
    if (!form_.openTables({"RAD2", "TBO", "OPC", "STA", "STO1", "VEZ"}) || !checks()) {
        form_.abandon();
        findings_.discard();
        return finish();
    }
    // 8: the form's old page-B rows go, inside the form's transaction; a
    // type-99 form loses only its type-99 rows.
    const bool only99 = clipRight(rq_.form.calculationType) == "99";
    auto keep = [&](const Record& row) {
        return only99 && clipRight(row.text(row.def().fieldIndex("VRSUPL"))) != "99";
    };
    if (!form_.begin() || !form_.deleteRowsOfForm(keep)) {
        form_.abandon();
        findings_.discard();
        return finish();
    }
    const bool read = readLines();
    copy_.close();
    if (result_.cancelled) {
        // A cancelled run changes nothing: the form and the findings stay.
        form_.abandon();
        findings_.discard();
        return finish();
    }
    findings_.keep();
    // 10: the summary.
    status("Pročitano=" + std::to_string(result_.linesRead) +
           " Preuzeto=" + std::to_string(result_.linesTaken));
    if (result_.linesRefused > 0) result_.summaryNote = "Nakon obrade pregledajte popis grešaka ";
    // 11: a form is made of every selected line or not at all.
    if (!read || result_.linesTaken == 0 || result_.selectedRefused) {
        status("Obrada je prekinuta, provjerite popis grešaka i upozorenja.");
        form_.abandon();
        return finish();
    }
    // 12-13: page A, the file with "+" for amounts of zero and above.
    if (form_.complete(PositiveSign::Plus, "1. dio obrade završena. Formiram SHA broj"))
        status("OBVEZNIK JE USPJEŠNO OBRAĐEN");
    else
        status("GREŠKA. OBVEZNIK NIJE USPJEŠNO OBRAĐEN");
    return finish();
}

} // namespace

PaymentFormsResult formFromPaymentData(Tables& tables, const PaymentFormsRequest& request,
                                       FindingSink* findings) {
    return PaymentFormsRun(tables, request, findings).run();
}

CollectiveResult paymentFormsCollective(Tables& tables, const PaymentFormsRequest& request) {
    return CollectiveHash(tables, request.form.sendingDate);
}

} // namespace mvz
