#include "payments_form_command.h"

#include <CLI/CLI.hpp>

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
#include "forming_options.h"
#include "import/finding.h"
#include "import/payment_forms.h"
#include "interrupt.h"
#include "payments_command.h"
#include "rules/identifier.h"
#include "throttled_status.h"

namespace mvz {

namespace {

struct Options {
    std::string file;
    FormingOptions form;
    bool collect = false;
};

int run(CliSession& s, const Options& o) {
    requireRegularInput(o.file);
    InterruptCancels interrupt; // Ctrl-C stops the run: the form stays as it was
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

    PaymentFormsRequest rq;
    rq.inputFile = o.file;
    if (std::string m = formingRequestFrom(o.form, tables, rq.form); !m.empty()) return refuse(m);

    FindingPrinter findings(&s.out(), nullptr, &status);
    const PaymentFormsResult r = formFromPaymentData(tables, rq, &findings);
    status.flush();
    std::ostream& out = s.out();
    out << "lines read " << r.linesRead << ", taken " << r.linesTaken << ", refused "
        << r.linesRefused << ", findings " << r.findings << '\n';
    if (!r.summaryNote.empty()) out << r.summaryNote << '\n';
    if (!r.forming.done) return kExitRefused;
    printFormingResult(out, r.forming);
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
    addFormingOptions(form, o->form, true);
    form->add_flag("--collect", o->collect,
                   "then merge the collective list into ZOVAK.MZ0, dated with --date");
    registry.add(form, [o](CliSession& s) { return run(s, *o); });
}

} // namespace mvz
