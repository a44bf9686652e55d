#include "import/payment_check.h"

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "base/numeric.h"
#include "base/reporter.h"
#include "base/test_point.h"
#include "data/created_file.h"
#include "data/error_reporter.h"
#include "data/line_file.h"
#include "data/tables.h"
#include "data/work_copy.h"
#include "import/background_rows.h"
#include "import/control_lookups.h"
#include "import/payment_line.h"
#include "import/payment_line_checks.h"
#include "rules/identifier.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

namespace mvz {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPlaceholderId = "1111111111111";
constexpr long kProgressEvery = 1024;

// The fields of a line that a TBGRESKE row copies, in its order.
constexpr std::array<PaymentField, 20> kCopiedToFindings = {
    PaymentField::MB,        PaymentField::MB2,           PaymentField::VRSOBV,
    PaymentField::VRSTAUPLA, PaymentField::IDENTIFIKATOR, PaymentField::GODOBRA,
    PaymentField::OBRMJE,    PaymentField::OBRRAZD1,      PaymentField::OBRRAZD2,
    PaymentField::JMBG,      PaymentField::PREZIME,       PaymentField::OPCINA,
    PaymentField::CLANDN,    PaymentField::OSNOVA1,       PaymentField::OSNOVA3,
    PaymentField::IZNOS7,    PaymentField::IZNOS8,        PaymentField::IZNOS9,
    PaymentField::IZNOS10,   PaymentField::IZNOS11};

// The person's fields of a TBOSIGU2 or TBOSIGU3 row.
constexpr std::array<PaymentField, 7> kPersonFields = {
    PaymentField::RBOSOB, PaymentField::JMBG,    PaymentField::PREZIME, PaymentField::OPCINA,
    PaymentField::CLANDN, PaymentField::OSNOVA1, PaymentField::OSNOVA3};

constexpr std::array<const char*, kPaymentAmountCount> kTooLarge = {
    "Podatak IV.7 je prevelik", "Podatak IV.8 je prevelik", "Podatak IV.9 je prevelik",
    "Podatak IV.10 je prevelik", "Podatak IV.11 je prevelik"};

bool allDigits(std::string_view t) {
    if (t.empty()) return false;
    for (char c : t)
        if (c < '0' || c > '9') return false;
    return true;
}

std::string twoDigits(std::string_view type) {
    std::string_view t = trim(type);
    if (t.size() == 1 && t[0] >= '0' && t[0] <= '9') return "0" + std::string(t);
    return std::string(t);
}

std::string fiveWide(long n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%5ld", n);
    return buf;
}

// Field indexes of a result table for the fields a line fills.
struct RowLayout {
    std::array<int, 7> person{};
    std::array<int, kPaymentAmountCount> amounts{};
    int dayFrom = 0, dayTo = 0, year = 0, month = 0, type = 0;

    explicit RowLayout(const TableDef& d) {
        for (std::size_t i = 0; i < kPersonFields.size(); ++i)
            person[i] = d.fieldIndex(paymentFieldName(kPersonFields[i]));
        for (int i = 0; i < kPaymentAmountCount; ++i)
            amounts[i] = d.fieldIndex(paymentFieldName(paymentAmountField(i)));
        dayFrom = d.fieldIndex("OBRRAZD1");
        dayTo = d.fieldIndex("OBRRAZD2");
        year = d.fieldIndex("GODOBRA");
        month = d.fieldIndex("OBRMJE");
        type = d.fieldIndex("VRSUPL");
    }
};

using Amounts = std::array<Decimal, kPaymentAmountCount>;

class CheckRun {
  public:
    CheckRun(Tables& tables, const PaymentCheckRequest& rq, FindingSink* sink)
        : tables_(tables), rq_(rq), sink_(sink), reporter_(tables.errors().reporter()),
          type_(twoDigits(rq.calculationType)) {}

    PaymentCheckResult run();

  private:
    bool fail(const std::string& message) {
        MessageBox box;
        box.title = kPaymentCheckTitle;
        box.text = messageBoxText(message);
        box.icon = MessageIcon::Exclamation;
        reporter_.show(box);
        return false;
    }
    std::string text(TableAccess& t, const char* field) {
        return std::string(t.record().text(t.def().fieldIndex(field)));
    }
    bool open(const char* name, bool exclusive = false);
    void closeAll();
    bool preconditions();
    bool copyFile();
    bool readPayer();
    bool openResults();
    bool checkLines(LineFile& lines);
    bool processLine(const PaymentLine& line);
    bool addLineRow(int file, const PaymentLine& line, const Amounts& amounts);
    bool record(const PaymentLine& line, PaymentField field, const std::string& message,
                bool marksWrong);
    bool selected(const PaymentLine& line) const;
    bool writeFailed() {
        return fail("Greška kod upisa " + std::to_string(rows_->error().code) + " " +
                    describeError(rows_->error()));
    }

    Tables& tables_;
    const PaymentCheckRequest& rq_;
    FindingSink* sink_;
    Reporter& reporter_;
    std::string type_;
    PaymentCheckResult result_;
    std::vector<TableAccess*> opened_;
    std::string copyPath_;
    // The work copy, read with every line checked: only a Ctrl-Z that is the
    // file's last byte ends it.
    WorkCopy copy_{kPaymentLineLength, CtrlZRule::OnlyAsLastByte};
    int currentYear_ = 0;

    // The chosen payer.
    std::string payerMb_, payerUnit_, payerId_, payerType_;

    // Run state.
    TableLookups lookups_;
    std::optional<PaymentLineChecker> checker_;
    // The rows go to the tables on a thread of their own: TBOSIGU3, TBOSIGU2, TBGRESKE.
    enum RowFile { AllLines, CorrectLines, Findings };
    std::optional<BackgroundRows> rows_;
    long findingNumber_ = 0;
    int findingNumberField_ = 0;
    std::optional<RowLayout> allLines_, correctLines_;
    TableAccess* findings_ = nullptr;
    TableAccess* correct_ = nullptr;
    TableAccess* all_ = nullptr;
    std::array<int, kCopiedToFindings.size()> findingFields_{};
    int findingMessage_ = 0;
    long lineNumber_ = 0;
    std::string personName_;
    std::string previousPerson_;
    PreviousAmounts remembered_;
};

bool CheckRun::open(const char* name, bool exclusive) {
    TableAccess& t = tables_.access(name);
    t.setShareMode(exclusive ? ShareMode::Exclusive : ShareMode::Shared);
    if (t.open(true) != result::Ok) {
        t.setShareMode(ShareMode::Shared);
        return false;
    }
    opened_.push_back(&t);
    return true;
}

void CheckRun::closeAll() {
    copy_.close();
    for (auto it = opened_.rbegin(); it != opened_.rend(); ++it) {
        (*it)->close();
        (*it)->setShareMode(ShareMode::Shared);
    }
    opened_.clear();
}

bool CheckRun::preconditions() {
    for (const char* name : {"APL", "POS", "VUP"})
        if (!open(name)) return fail("Greška " + describeError(tables_.access(name).lastError()));
    TableAccess& apl = tables_.access("APL");
    apl.setOrder(0);
    apl.setStart();
    if (apl.next() != result::Ok) apl.record().clear();
    // 1: the authorised person.
    const std::string id = text(apl, "JMBG");
    if (clipRight(id) == kPlaceholderId)
        return fail("Ispravite podatke o ovlaštenoj osobi.| Ispravak izvršite kroz "
                    "Servisi/Aplikacijski parametri");
    if (!CheckIdentifierLoose(id))
        return fail("Pogrešan ID broj. Ispravite podatke o ovlaštenoj osobi.| Ispravak izvršite "
                    "kroz Servisi/Aplikacijski parametri");
    // 3: year, month and period once more.
    if (rq_.year > 9999) return fail("Greška. Godina mora biti 4-znamenkasta");
    if (rq_.year < 2005) return fail("Greška. Godina mora biti veća od 2004");
    if (rq_.month < 0 || rq_.month > 12) return fail("Pogrešna oznaka mjeseca");
    if (std::string m = checkPaymentMonth(std::to_string(rq_.month), type_); !m.empty())
        return fail(m);
    for (int day : {rq_.firstDay, rq_.lastDay})
        if (std::string m = checkPaymentDay(std::to_string(day), rq_.year, rq_.month); !m.empty())
            return fail(m);
    // The payment type comes from the drop list of calculation types.
    TableAccess& vup = tables_.access("VUP");
    vup.record().clear();
    vup.record().setText(vup.def().fieldIndex("SIFRA"), type_);
    if (type_.size() != 2 || vup.fetch(vup.def().keyIndex("KEYSIFRA")) != result::Ok)
        return fail("Vrsta obračuna/ispravka " + type_ + " ne postoji u šifarniku vrsta obračuna");
    result_.selection.calculationType = cp1250ToUtf8(type_);
    result_.selection.calculationTypeName = cp1250ToUtf8(clipRight(text(vup, "OPIS")));
    result_.selection.year = rq_.year;
    result_.selection.month = rq_.month;
    result_.selection.firstDay = rq_.firstDay;
    result_.selection.lastDay = rq_.lastDay;
    return true;
}

// 4: the chosen file over the working folder's TBUPLATE.DAT, held by this
// run until its last line is read (another run's copy never takes its
// place meanwhile). A copy that fails leaves the old work copy as it was.
bool CheckRun::copyFile() {
    tables_.storage().setWorkFolder(cp1250ToUtf8(clipRight(text(tables_.access("APL"), "RADDIR"))));
    copyPath_ = tables_.storage().pathOf(*findTable("OSI1"));
    if (rq_.file.empty()) return fail("Greška kod preuzimanja podataka " + rq_.file);
    if (copy_.take(rq_.file, copyPath_, tables_.storage().fileMode())) return true;
    switch (copy_.failure()) {
    case WorkCopy::Failure::Open:
        return fail("Greška. Open TBUPLATE " + describeError(copy_.error()));
    case WorkCopy::Failure::Copy:
        return fail("Greška kod preuzimanja podataka " + rq_.file + ": " + copy_.problem());
    default:
        return fail("Greška kod preuzimanja podataka " + rq_.file);
    }
}

// 5: the chosen payer.
bool CheckRun::readPayer() {
    TableAccess& pos = tables_.access("POS");
    pos.record().clear();
    pos.record().setInteger(pos.def().fieldIndex("REDBROJ"), rq_.payer);
    if (pos.fetch(pos.def().keyIndex("KEYREDBROJ")) != result::Ok)
        return fail("Greška " + std::to_string(pos.lastError().code));
    payerMb_ = text(pos, "MB01");
    payerUnit_ = text(pos, "MB02");
    payerId_ = text(pos, "JMBG");
    payerType_ = text(pos, "VRSTOBVEZNIKA");
    result_.selection.payerIdentifier = cp1250ToUtf8(clipRight(payerId_));
    result_.selection.payerName = cp1250ToUtf8(clipRight(text(pos, "NAZIV")));
    if (!CheckIdentifierLoose(payerId_)) return fail("ID broj obveznika je pogrešan ");
    return true;
}

// 2 and 6: the result tables, each alone, and the tables the checks read.
bool CheckRun::openResults() {
    if (!open("GRE", true))
        return fail("Greška pri otvaranju TBGRESKE " +
                    describeError(tables_.access("GRE").lastError()));
    if (!open("OSI3", true)) return fail("Greška pri otvaranju TBOSIGU2.DAT");
    if (!open("OSI4", true)) return fail("Greška pri otvaranju TBOSIGU3.DAT");
    // The code tables, the control table and the rates, read into memory.
    return lookups_.load(tables_, currentYear_);
}

bool CheckRun::selected(const PaymentLine& line) const {
    if (line.businessNumber() != payerMb_ || line.unit() != payerUnit_) return false;
    if (!equalIgnoringTrailingBlanks(line.field(PaymentField::MB2), payerId_)) return false;
    if (line.year() != rq_.year || line.month() != rq_.month) return false;
    for (std::optional<int> day : {line.dayFrom(), line.dayTo()})
        if (!day || *day < rq_.firstDay || *day > rq_.lastDay) return false;
    return line.field(PaymentField::VRSTAUPLA) == type_;
}

bool CheckRun::record(const PaymentLine& line, PaymentField field, const std::string& message,
                      bool marksWrong) {
    ++result_.findings;
    result_.anyFinding = true;
    if (sink_) {
        const PaymentFieldSpan& span = paymentFieldSpan(field);
        Finding f;
        f.line = lineNumber_;
        f.field = std::string(paymentFieldName(field));
        f.kind = marksWrong ? 'F' : 'U';
        f.name = personName_;
        f.message = message;
        f.start = span.start();
        f.end = span.end();
        f.value = cp1250ToUtf8(line.text(field));
        sink_->add(f);
    }
    // The run numbers its findings from 1 in the emptied table; the running
    // number holds 32767 of them.
    Record& r = findings_->record();
    r.clear();
    if (!r.setInteger(findingNumberField_, findingNumber_ + 1)) {
        ++result_.findingsNotStored;
        return true;
    }
    ++findingNumber_;
    r.setText(findingMessage_, utf8ToCp1250Lossy(message));
    for (std::size_t i = 0; i < kCopiedToFindings.size(); ++i)
        r.setText(findingFields_[i], line.field(kCopiedToFindings[i]));
    return rows_->add(Findings, r.bytes()) || writeFailed();
}

bool CheckRun::addLineRow(int file, const PaymentLine& line, const Amounts& amounts) {
    // Every line goes to TBOSIGU3 as read; a correct line of the selection
    // goes to TBOSIGU2 with four-decimal amounts and the chosen type.
    const bool correct = file == CorrectLines;
    Record& r = (correct ? correct_ : all_)->record();
    const RowLayout& l = correct ? *correctLines_ : *allLines_;
    r.clear();
    for (std::size_t i = 0; i < kPersonFields.size(); ++i)
        r.setText(l.person[i], line.field(kPersonFields[i]));
    r.setInteger(l.dayFrom, line.dayFrom().value_or(0));
    r.setInteger(l.dayTo, line.dayTo().value_or(0));
    // An amount too large for the row stays 0 here; a selected line gets a finding for it.
    for (int i = 0; i < kPaymentAmountCount; ++i)
        r.setDecimal(l.amounts[i], correct ? amounts[i].rescale(4) : amounts[i]);
    r.setInteger(l.year, rq_.year);
    r.setInteger(l.month, rq_.month);
    r.setText(l.type, correct ? std::string_view(type_) : line.field(PaymentField::VRSTAUPLA));
    return rows_->add(file, r.bytes()) || writeFailed();
}

bool CheckRun::processLine(const PaymentLine& line) {
    ++result_.linesRead;
    ++lineNumber_;
    const Amounts& amounts = line.amounts();
    if (!addLineRow(AllLines, line, amounts)) return false;

    // The same person's remembered amounts, over all lines.
    const std::string_view person = line.field(PaymentField::JMBG);
    if (person != previousPerson_) {
        remembered_ = PreviousAmounts{};
        previousPerson_.assign(person);
    }
    RowValues row;
    row.gross = amounts[0];
    row.base = amounts[1];
    row.pillar1 = amounts[2];
    row.pillar2 = amounts[3];
    row.net = amounts[4];
    remembered_.takePositive(row);

    personName_.clear();
    if (!CheckIdentifierLoose(line.field(PaymentField::MB2))) {
        personName_ = cp1250ToUtf8(line.text(PaymentField::PREZIME));
        if (!record(line, PaymentField::MB2, "ID broj obveznika nije korektan", true)) return false;
    }
    if (!selected(line)) return true;

    if (personName_.empty()) personName_ = cp1250ToUtf8(line.text(PaymentField::PREZIME));
    reporter_.status("Formalna kontrola za = " + personName_);
    const LineCheckOutcome& outcome = checker_->check(line, remembered_);
    bool wrong = outcome.refused;
    for (const LineFinding& f : outcome.findings)
        if (!record(line, f.field, f.message, f.refuses)) return false;
    // Amounts beyond what the result tables hold (11 whole digits).
    static const Decimal kLargest = Decimal::fromUnits(9999999999999, 2);
    for (int i = 0; i < kPaymentAmountCount; ++i) {
        if (amounts[i].abs() <= kLargest) continue;
        wrong = true;
        if (!record(line, paymentAmountField(i), kTooLarge[i], true)) return false;
    }
    if (wrong) {
        ++result_.selectedWrong;
        return true;
    }
    if (!addLineRow(CorrectLines, line, amounts)) return false;
    ++result_.selectedCorrect;
    return true;
}

bool CheckRun::checkLines(LineFile& lines) {
    std::error_code ec;
    const std::uint64_t size = fs::file_size(copyPath_, ec);
    PaymentLine line;
    for (;;) {
        const std::string_view next = lines.next();
        if (next.empty()) break;
        line.assign(next);
        if (!processLine(line)) return false;
        if (result_.linesRead % kProgressEvery == 0) {
            reporter_.progress(lines.position(), ec ? 0 : size);
            if (reporter_.cancelRequested()) {
                result_.cancelled = true;
                return false;
            }
        }
    }
    if (lines.errorCode() != err::RecordNotAvailable)
        return fail("Greška kod preuzimanja podataka " + rq_.file);
    return true;
}

PaymentCheckResult CheckRun::run() {
    if (!preconditions() || !copyFile()) {
        closeAll();
        return result_;
    }
    testPoint("payments-check-copied");
    LineFile& lines = copy_.lines();
    if (!readPayer()) {
        closeAll();
        return result_;
    }
    reporter_.status("Malo strpljenja. Radim...");
    currentYear_ = rq_.currentYear ? rq_.currentYear : currentYearFromClock();
    if (!openResults()) {
        closeAll();
        return result_;
    }
    TableAccess& gre = tables_.access("GRE");
    TableAccess& correct = tables_.access("OSI3");
    TableAccess& all = tables_.access("OSI4");
    if (StorageError e = tables_.storage().begin({gre.file(), correct.file(), all.file()})) {
        fail("Greška " + std::to_string(e.code) + " (" + describeError(e) + ")");
        closeAll();
        return result_;
    }
    auto stop = [&]() {
        if (rows_) rows_->abandon();
        rows_.reset();
        tables_.storage().rollback();
        closeAll();
        result_.done = false;
        return result_;
    };
    if (gre.removeAll() != result::Ok) {
        fail("Greška pri pražnjenju TBGRESKE " + describeError(gre.lastError()));
        return stop();
    }
    if (correct.removeAll() != result::Ok) {
        fail("Greška pri pražnjenju TBOSIGU2.DAT");
        return stop();
    }
    if (all.removeAll() != result::Ok) {
        fail("Greška pri pražnjenju TBOSIGU3.DAT");
        return stop();
    }

    checker_.emplace(lookups_, PaymentCaller::InputCheck,
                     PaymentRunValues{payerType_, type_, rq_.year, rq_.month, currentYear_});
    findings_ = &gre;
    correct_ = &correct;
    all_ = &all;
    allLines_.emplace(all.def());
    correctLines_.emplace(correct.def());
    findingMessage_ = gre.def().fieldIndex("OPIS");
    findingNumberField_ = gre.def().fieldIndex("RB");
    for (std::size_t i = 0; i < kCopiedToFindings.size(); ++i)
        findingFields_[i] = gre.def().fieldIndex(paymentFieldName(kCopiedToFindings[i]));
    // Every row of a run has the run's year: the field checks of the two
    // tables judge it once, here (showing their message when it fails).
    for (TableAccess* t : {all_, correct_}) {
        t->record().clear();
        t->record().setInteger(t->def().fieldIndex("GODOBRA"), rq_.year);
        if (t->validateRecord() != result::Ok) return stop();
    }

    rows_.emplace(std::vector<TableFile*>{all.file(), correct.file(), gre.file()});
    if (!checkLines(lines)) return stop();
    lines.close();
    if (!rows_->finish()) {
        writeFailed();
        return stop();
    }
    rows_.reset();
    if (StorageError e = tables_.storage().commit()) {
        fail("Greška " + std::to_string(e.code) + " (" + describeError(e) + ")");
        closeAll();
        return result_;
    }
    closeAll();
    result_.done = true;
    reporter_.status("Ukupno obrađeno=" + fiveWide(result_.linesRead));
    if (result_.findingsNotStored > 0)
        fail("Tablica grešaka TBGRESKE je puna; nije upisano grešaka: " +
             std::to_string(result_.findingsNotStored));
    return result_;
}

} // namespace

std::string checkPaymentYear(const std::string& text) {
    const std::string_view t = trim(text);
    if (!isNumeric(t)) return "Greška. Godina mora biti numerik";
    if (!allDigits(t) || t.size() != 4) return "Greška. Godina mora biti 4-znamenkasta";
    return {};
}

std::string checkPaymentMonth(const std::string& text, const std::string& calculationType) {
    const std::string_view t = trim(text);
    if (!allDigits(t)) return "Mjesec mora biti numerik";
    const auto month = parseInteger(t);
    if (!month || *month > 12) return "Pogrešna oznaka mjeseca";
    const std::string type = twoDigits(calculationType);
    if ((type == "03" || type == "05" || type == "06") && *month > 0)
        return "Za uplate 03 05 i 06 mjesec mora biti = 00";
    return {};
}

std::string checkPaymentDay(const std::string& text, int year, int month) {
    const std::string_view t = trim(text);
    if (!allDigits(t) || t.size() > 2) return "Greška. Dozvoljene su samo brojke";
    if (month > 0 && !CheckDayOfMonth(year, month, static_cast<int>(*parseInteger(t))))
        return "Pogrešan dan";
    return {};
}

PaymentCheckResult checkPaymentData(Tables& tables, const PaymentCheckRequest& request,
                                    FindingSink* sink) {
    return CheckRun(tables, request, sink).run();
}

std::vector<std::string> paymentCheckSummary(const PaymentCheckResult& r) {
    const PaymentCheckSelection& s = r.selection;
    char period[64];
    std::snprintf(period, sizeof period, "%d - %d", s.firstDay, s.lastDay);
    char month[8];
    std::snprintf(month, sizeof month, "%02d", s.month);
    return {"REZULTAT OBRADE",
            "Podaci sa upozorenjima: " + std::to_string(r.selectedWrong),
            "Ukupno obrađeno redaka: " + std::to_string(r.linesRead),
            "Retci koji zadovoljavaju kontrolama: " + std::to_string(r.selectedCorrect),
            "KRITERIJ ZA PRETRAŽIVANJE",
            "Identifikacijski broj firme: " + s.payerIdentifier,
            "Obračunska godina: " + std::to_string(s.year) + " mjesec: " + month,
            "Vrsta uplate: " + s.calculationType + " " + s.calculationTypeName,
            "Vremensko razdoblje: " + std::string(period)};
}

} // namespace mvz
