#include "payments_form_command.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <memory>
#include <ostream>
#include <string>

#include "base/day_number.h"
#include "base/fixed_text.h"
#include "base/picture.h"
#include "cli_command.h"
#include "cli_session.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "exit_codes.h"
#include "import/finding.h"
#include "import/payment_forms.h"
#include "payments_command.h"
#include "rules/identifier.h"
#include "throttled_status.h"

namespace mvz {

namespace {

struct Options {
    std::string file;
    int payer = 0;
    std::string type, year, month, from, to, payYear, payMonth, date, mode;
    int seq = -1;
    bool append = false;
    bool collect = false;
};

std::string twoDigits(const std::string& s) {
    std::string_view t = trim(s);
    return t.size() == 1 && t[0] >= '0' && t[0] <= '9' ? "0" + std::string(t) : std::string(t);
}

int lastDayOf(int year, int month) {
    if (month < 1 || month > 12) return 31;
    int day = 31;
    while (day > 28 && !CheckDayOfMonth(year, month, day))
        --day;
    return day;
}

std::int32_t readDate(const std::string& text) {
    if (text.empty()) return todayDayNumber();
    auto picture = Picture::parse("@D6.");
    auto day = picture ? picture->readDate(text) : std::nullopt;
    if (!day || *day == 0) throw UsageError("--date " + text + " is not a date DD.MM.YYYY");
    return *day;
}

std::string amount(const Decimal& d) {
    static const auto picture = Picture::parse("@n15.2");
    return picture->format(d);
}

int run(CliSession& s, const Options& o) {
    if (std::string why = s.checkDataDir(); !why.empty()) return s.refuse(why);
    ThrottledStatus status(s.reporter(), &s.out());
    ErrorReporter errors(status);
    errors.addMessages(standardMessages());
    Tables tables(s.dataDir(), errors);
    auto refuse = [&](const std::string& message) {
        MessageBox box;
        box.title = kPaymentFormsTitle;
        box.text = message;
        status.show(box);
        return kExitRefused;
    };

    // The window's field checks, in the order its fields are accepted.
    const CivilDate today = civilDate(todayDayNumber());
    const std::string month = twoDigits(o.month);
    const std::string payYear = o.payYear.empty() ? std::to_string(today.year) : o.payYear;
    const std::string payMonth =
        twoDigits(o.payMonth.empty() ? std::to_string(today.month) : o.payMonth);
    for (const std::string& m :
         {checkFormingYear(o.year), checkFormingMonth(month, twoDigits(o.type))})
        if (!m.empty()) return refuse(m);
    const int y = std::stoi(std::string(trim(o.year))), mo = std::stoi(month);
    const std::string from = o.from.empty() ? "1" : o.from;
    const std::string to = o.to.empty() ? std::to_string(lastDayOf(y, mo)) : o.to;
    for (const std::string& m : {checkFormingDay(from, y, mo), checkFormingDay(to, y, mo),
                                 checkPayYear(payYear), checkPayMonth(payMonth)})
        if (!m.empty()) return refuse(m);

    PaymentFormsRequest rq;
    rq.inputFile = o.file;
    FormingRequest& f = rq.form;
    f.payer = o.payer;
    f.calculationType = twoDigits(o.type);
    f.year = y;
    f.month = mo;
    f.firstDay = std::stoi(std::string(trim(from)));
    f.lastDay = std::stoi(std::string(trim(to)));
    f.payYear = std::stoi(payYear);
    f.payMonth = std::stoi(payMonth);
    f.sendingDate = readDate(o.date);
    f.mode = o.mode == "single" ? SendingMode::Single : SendingMode::Collective;
    f.job = o.append ? CollectiveJob::AddToFile : CollectiveJob::NewFile;
    if (o.seq >= 0) {
        f.sequence = o.seq;
    } else {
        // The window's default: the payer's last number + 1.
        TableAccess& pos = tables.access("POS");
        if (pos.open() != result::Ok) return kExitRefused;
        pos.record().clear();
        pos.record().setInteger(pos.def().fieldIndex("REDBROJ"), o.payer);
        if (pos.fetch(pos.def().keyIndex("KEYREDBROJ")) == result::Ok)
            f.sequence =
                static_cast<int>(pos.record().integer(pos.def().fieldIndex("IDENTIFIKATOR"))) + 1;
        pos.close();
    }
    if (std::string m = checkSequence(f.sequence); !m.empty()) return refuse(m);

    FindingPrinter findings(&s.out(), nullptr, &status);
    const PaymentFormsResult r = formFromPaymentData(tables, rq, &findings);
    status.flush();
    std::ostream& out = s.out();
    out << "lines read " << r.linesRead << ", taken " << r.linesTaken << ", refused "
        << r.linesRefused << ", findings " << r.findings << '\n';
    if (!r.summaryNote.empty()) out << r.summaryNote << '\n';
    if (!r.forming.done) return kExitRefused;
    const FormingResult& fr = r.forming;
    out << "payer file:   " << fr.payerFile << '\n'
        << "control mark: " << fr.controlMark << '\n'
        << "form:         " << fr.formIdentifier << " (link key " << fr.linkKey << ")\n"
        << "persons " << fr.persons << ", rows " << fr.rows << ", sheets " << fr.sheets << '\n';
    const char* names[] = {"gross pay   ", "base        ", "pillar I    ", "pillar II   ",
                           "net paid    "};
    for (int i = 0; i < 5; ++i)
        out << "  " << names[i] << amount(fr.totals[i]) << '\n';
    out << "copy offered to: " << fr.mz0Target << '\n';
    if (o.collect) {
        // The collective file of this window carries this window's sending date.
        const CollectiveResult c = paymentFormsCollective(tables, rq);
        status.flush();
        if (!c.done) return kExitRefused;
        out << "collective file: " << c.file << '\n'
            << "control mark:    " << c.controlMark << '\n'
            << "files " << c.files << ", forms " << c.forms << '\n';
    }
    return kExitOk;
}

} // namespace

void registerPaymentsFormCommand(CLI::App& app, CommandRegistry& registry) {
    auto o = std::make_shared<Options>();
    CLI::App* form = paymentsCommand(app)->add_subcommand(
        "form", "form one payer's submission file from a payment-data file "
                "(\"Formiranje obrazaca M-Vz na temelju preuzetih podataka\")");
    form->add_option("FILE", o->file, "the payment-data file (194-character lines)")->required();
    form->add_option("--payer", o->payer, "the payer's number (POS:REDBROJ)")->required();
    form->add_option("--type", o->type, "calculation/correction type (VOI), e.g. 01")->required();
    form->add_option("--year", o->year, "calculation year (YYYY)")->required();
    form->add_option("--month", o->month, "calculation month (MM; 00 for types 03, 05, 06)")
        ->required();
    form->add_option("--from", o->from, "first day of the period (default 1)");
    form->add_option("--to", o->to, "last day of the period (default: the month's last)");
    form->add_option("--pay-year", o->payYear, "pay-out year (default: this year)");
    form->add_option("--pay-month", o->payMonth, "pay-out month (default: this month)");
    form->add_option("--seq", o->seq, "form sequence number (default: the payer's last + 1)");
    form->add_option("--date", o->date, "sending date DD.MM.YYYY (default: today)");
    form->add_option("--mode", o->mode, "single or collective")
        ->required()
        ->check(CLI::IsMember({"single", "collective"}));
    form->add_flag("--append", o->append,
                   "collective: add to the collective list instead of starting a new one");
    form->add_flag("--collect", o->collect,
                   "then merge the collective list into ZOVAK.MZ0, dated with --date");
    registry.add(form, [o](CliSession& s) { return run(s, *o); });
}

} // namespace mvz
