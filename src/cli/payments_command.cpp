#include "payments_command.h"

#include <CLI/CLI.hpp>

#include <fstream>
#include <memory>
#include <ostream>
#include <string>

#include "base/fixed_text.h"
#include "cli_command.h"
#include "cli_session.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "exit_codes.h"
#include "import/findings_csv.h"
#include "import/payment_check.h"
#include "interrupt.h"
#include "rules/identifier.h"
#include "throttled_status.h"

namespace mvz {

namespace {

struct PaymentsCheckOptions {
    std::string file;
    int payer = 0;
    std::string type, year, month, from, to, findingsCsv;
};

int lastDayOf(int year, int month) {
    if (month < 1 || month > 12) return 31;
    int day = 31;
    while (day > 28 && !CheckDayOfMonth(year, month, day))
        --day;
    return day;
}

int runPaymentsCheck(CliSession& s, const PaymentsCheckOptions& o) {
    requireRegularInput(o.file);
    InterruptCancels interrupt; // Ctrl-C stops the check as its Cancel does
    if (std::string why = s.checkDataDir(); !why.empty()) return s.refuse(why);
    // The window's field checks, in the order its fields are left.
    if (std::string m = checkPaymentYear(o.year); !m.empty()) return s.refuse(m);
    if (std::string m = checkPaymentMonth(o.month, o.type); !m.empty()) return s.refuse(m);
    const int year = std::stoi(std::string(trim(o.year)));
    const int month = std::stoi(std::string(trim(o.month)));
    const std::string from = o.from.empty() ? "1" : o.from;
    const std::string to = o.to.empty() ? std::to_string(lastDayOf(year, month)) : o.to;
    for (const std::string& day : {from, to})
        if (std::string m = checkPaymentDay(day, year, month); !m.empty()) return s.refuse(m);

    FindingsCsv csv;
    if (!o.findingsCsv.empty() && !csv.open(o.findingsCsv))
        throw UsageError("cannot write " + o.findingsCsv + ": " + csv.error());
    ThrottledStatus reporter(s.reporter());
    ErrorReporter errors(reporter);
    errors.addMessages(standardMessages());
    Tables tables(s.dataDir(), errors);

    PaymentCheckRequest rq;
    rq.payer = o.payer;
    rq.calculationType = o.type;
    rq.year = year;
    rq.month = month;
    rq.firstDay = std::stoi(std::string(trim(from)));
    rq.lastDay = std::stoi(std::string(trim(to)));
    rq.file = o.file;
    FindingPrinter printer(&s.out(), o.findingsCsv.empty() ? nullptr : &csv, &reporter);
    const PaymentCheckResult r = checkPaymentData(tables, rq, &printer);
    reporter.flush();
    if (!r.done) {
        csv.abandon();
        if (!r.cancelled && !std::ifstream(o.file, std::ios::binary)) return kExitUsage;
        return kExitRefused;
    }
    if (!o.findingsCsv.empty() && !csv.finish())
        return s.refuse("cannot write " + o.findingsCsv + ": " + csv.error());
    for (const std::string& line : paymentCheckSummary(r))
        s.out() << line << '\n';
    if (r.findingsNotStored > 0)
        s.out() << "findings not stored in TBGRESKE: " << r.findingsNotStored << '\n';
    s.out().flush();
    return r.selectedWrong > 0 ? kExitRefused : kExitOk;
}

} // namespace

CLI::App* paymentsCommand(CLI::App& app) {
    try {
        return app.get_subcommand("payments");
    } catch (const CLI::OptionNotFound&) {
        CLI::App* payments = app.add_subcommand(
            "payments", "payment-data files made by the employers' own payroll programs");
        payments->require_subcommand(1);
        return payments;
    }
}

void registerPaymentsCheckCommand(CLI::App& app, CommandRegistry& registry) {
    auto o = std::make_shared<PaymentsCheckOptions>();
    CLI::App* check = paymentsCommand(app)->add_subcommand(
        "check", "check a payment-data file for one payer, payment type and period "
                 "(\"Kontrola ulaznih podataka\")");
    check->add_option("FILE", o->file, "the payment-data file (194-character lines)")->required();
    check->add_option("--payer", o->payer, "the payer's number (POS:REDBROJ)")->required();
    check->add_option("--type", o->type, "payment type (VOI), e.g. 01")->required();
    check->add_option("--year", o->year, "accounting year (YYYY)")->required();
    check->add_option("--month", o->month, "accounting month (MM; 00 for types 03, 05, 06)")
        ->required();
    check->add_option("--from", o->from, "first day of the period (default 1)");
    check->add_option("--to", o->to, "last day of the period (default: the month's last)");
    check->add_option("--findings-csv", o->findingsCsv,
                      "also write the findings to this CSV file (UTF-8)");
    registry.add(check, [o](CliSession& s) { return runPaymentsCheck(s, *o); });
}

} // namespace mvz
