#include "check_command.h"

#include <CLI/CLI.hpp>

#include <fstream>
#include <memory>
#include <ostream>
#include <string>

#include "cli_command.h"
#include "cli_session.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "exit_codes.h"
#include "import/finding.h"
#include "import/findings_csv.h"
#include "import/formal_control.h"
#include "import/transcript.h"
#include "interrupt.h"
#include "throttled_status.h"

namespace mvz {

namespace {

struct CheckOptions {
    std::string file;
    std::string findingsCsv;
    bool transcript = false;
    bool quiet = false;
};

bool readable(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char c;
    return in && (in.read(&c, 1) || in.eof());
}

int runCheck(CliSession& s, const CheckOptions& o) {
    requireRegularInput(o.file);
    InterruptCancels interrupt; // Ctrl-C stops the check as its Cancel does
    if (std::string why = s.checkDataDir(); !why.empty()) return s.refuse(why);
    ThrottledStatus reporter(s.reporter());
    ErrorReporter errors(reporter);
    errors.addMessages(standardMessages());
    Tables tables(s.dataDir(), errors);

    FindingsCsv csv;
    if (!o.findingsCsv.empty() && !csv.open(o.findingsCsv))
        throw UsageError("cannot write " + o.findingsCsv + ": " + csv.error());
    FindingPrinter printer(o.quiet ? nullptr : &s.out(), o.findingsCsv.empty() ? nullptr : &csv);
    FormalControlOptions options;
    options.sink = &printer;
    const FormalControlResult r = runFormalControl(tables, o.file, options);
    reporter.flush();
    if (!r.done()) {
        csv.abandon();
        if (r.outcome == ControlOutcome::NotCopied && !readable(o.file)) return kExitUsage;
        return kExitRefused;
    }
    if (!o.findingsCsv.empty() && !csv.finish())
        return s.refuse("cannot write " + o.findingsCsv + ": " + csv.error());

    std::ostream& out = s.out();
    const auto& n = r.linesOfType;
    out << "lines read:   " << r.lines << " (type 0: " << n[0] << ", type 3: " << n[1]
        << ", type 5: " << n[2] << ", type 7: " << n[3] << ", type 9: " << n[4]
        << ", other: " << n[5] << ")\n"
        << "errors F:     " << r.errors << '\n'
        << "warnings U:   " << r.warnings << '\n';
    out << "control mark: " << (r.controlMark.empty() ? "?" : r.controlMark) << '\n';
    if (!o.findingsCsv.empty()) out << "findings CSV: " << o.findingsCsv << '\n';
    out.flush();
    if (o.transcript && !writeTranscript(tables, reporter)) return kExitRefused;
    return r.errors > 0 ? kExitRefused : kExitOk;
}

} // namespace

void registerCheckCommand(CLI::App& app, CommandRegistry& registry) {
    auto o = std::make_shared<CheckOptions>();
    CLI::App* check = app.add_subcommand(
        "check", "formal control of a submission file (\"&Kontrola datoteke\"); exit 0 without "
                 "errors F, 1 with at least one, 2 when FILE cannot be read");
    check->add_option("FILE", o->file, "the submission file to check")->required();
    check->add_option("--findings-csv", o->findingsCsv,
                      "also write the findings to this CSV file (UTF-8)");
    check->add_flag("--transcript", o->transcript,
                    "also write the transcript TBIZLAZ2.TXT in the working folder");
    check->add_flag("--quiet", o->quiet, "print only the summary, not each finding");
    registry.add(check, [o](CliSession& s) { return runCheck(s, *o); });
}

} // namespace mvz
