#include "form_command.h"

#include <CLI/CLI.hpp>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>

#include "base/cp1250.h"
#include "base/day_number.h"
#include "base/fixed_text.h"
#include "base/picture.h"
#include "cli_command.h"
#include "cli_session.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "exit_codes.h"
#include "forming_options.h"
#include "interrupt.h"
#include "pdf_output.h"
#include "print/page_a_print.h"
#include "submission/collective.h"
#include "submission/file_copy.h"
#include "submission/forming.h"
#include "submission/forming_batch.h"
#include "submission/output_files.h"
#include "throttled_status.h"

namespace mvz {

namespace {

// --copy [PATH] and --pdf FILE of form and collect.
struct Handing {
    CLI::Option* copy = nullptr; // given: copy the file
    std::string copyTo;          // "" for the MZ0 folder + ZOVAK.MZ0
    std::string pdf;
    bool copyAsked() const { return copy && copy->count() > 0; }
};

struct FormOptions {
    FormingOptions form;
    Handing hand;
    bool collect = false;
};

void tell(Reporter& reporter, const std::string& title, const std::string& text) {
    MessageBox box;
    box.title = title;
    box.text = text;
    box.icon = MessageIcon::Exclamation;
    reporter.show(box);
}

// Copies a formed file as the copy window does: to `to`, or to the MZ0
// folder + "ZOVAK.MZ0". False when nothing was copied (the user was told why).
bool copyFile(CliSession& s, Reporter& reporter, const std::string& source, const std::string& to,
              const std::string& mz0Target) {
    const std::string destination = to.empty() ? mz0Target : to;
    if (copySubmissionFile(source, destination, reporter) != CopyResult::Copied) return false;
    s.out() << "copied to:       " << destination << '\n';
    return true;
}

// Page A of every form on the collective list, as "&Ispis A stranica" prints
// after forming.
bool printPagesA(CliSession& s, Tables& tables, Reporter& reporter, const std::string& pdf) {
    const ReportResult pages = printPagesAOfRun(tables, PageAMode::WithControlCode, reporter);
    if (pages.status != ReportStatus::Done) {
        s.err() << "mvz: no page A to print; " << pdf << " was not written\n";
        return false;
    }
    if (std::string why = writePdfFile(pages.pages, pdf); !why.empty()) {
        s.err() << "mvz: " << why << '\n';
        return false;
    }
    s.out() << pdf << ": " << pages.pages.pages.size()
            << (pages.pages.pages.size() == 1 ? " page A\n" : " pages A\n");
    return true;
}

void printCollective(std::ostream& out, const CollectiveResult& r) {
    out << "collective file: " << r.file << '\n'
        << "control mark:    " << r.controlMark << '\n'
        << "files " << r.files << ", forms " << r.forms << "\n\n";
    out << "payer         | link key  | persons | rows  |  gross pay | base | pillar I | pillar II "
           "| net\n";
    std::array<Decimal, 5> sums{};
    for (auto& d : sums)
        d = Decimal::fromInteger(0, 2);
    long long persons = 0, rows = 0;
    std::map<std::string, std::set<std::string>> formsOfPerson;
    for (const MergedForm& f : r.merged) {
        out << cp1250ToUtf8(f.payerId) << " | " << f.listedAs << " | " << f.persons << " | "
            << f.rows;
        for (int i = 0; i < 5; ++i) {
            out << " | " << f.totals[i].toString();
            sums[i] += f.totals[i];
        }
        out << "  " << f.payerName << '\n';
        persons += f.persons;
        rows += f.rows;
        for (const std::string& id : f.insured)
            formsOfPerson[id].insert(f.listedAs);
    }
    out << "all forms     | " << r.forms << " forms | " << persons << " | " << rows;
    for (const Decimal& d : sums)
        out << " | " << d.toString();
    out << '\n';
    bool heading = false;
    for (const auto& [id, forms] : formsOfPerson) {
        if (forms.size() < 2) continue;
        if (!heading) out << "\ninsured persons in more than one merged form:\n";
        heading = true;
        out << "  " << cp1250ToUtf8(id) << ':';
        for (const std::string& f : forms)
            out << ' ' << f;
        out << '\n';
    }
}

// Merges the collective list; after a failure tells that the collective file
// on disk is the earlier one (or that there is none).
std::optional<CollectiveResult> collect(CliSession& s, Tables& tables, Reporter& reporter,
                                        std::int32_t sendingDate) {
    const CollectiveResult r = CollectiveHash(tables, sendingDate);
    if (!r.done) {
        if (std::string previous = previousCollectiveText(r.file); !previous.empty())
            tell(reporter, kFormingTitle, previous);
        return std::nullopt;
    }
    printCollective(s.out(), r);
    return r;
}

void printSummary(std::ostream& out, const BatchFormingResult& batch) {
    out << "\npayer | result        | name / message\n";
    for (const PayerFormingResult& p : batch.payers) {
        std::string result = payerOutcomeText(p.outcome);
        // Padded by characters, not bytes: "obrađen" has a two-byte letter.
        for (std::size_t n = utf8ToCp1250Lossy(result).size(); n < 13; ++n)
            result += ' ';
        std::string number = std::to_string(p.payer);
        while (number.size() < 5)
            number.insert(number.begin(), ' ');
        out << number << " | " << result << " | " << p.payerName
            << (p.payerName.empty() ? "" : ": ") << p.message << '\n';
    }
}

int runForm(CliSession& s, const FormOptions& o) {
    const std::vector<int> payers = payerList(o.form.payers);
    const bool several = payers.size() != 1;
    if (several && o.form.mode == "single")
        throw UsageError("several payers are formed onto one collective list: use --mode "
                         "collective (and --collect to merge them)");
    if (several && o.hand.copyAsked() && !o.collect)
        throw UsageError("--copy copies one file: with several payers, merge them with --collect "
                         "and the collective file is copied");
    if (std::string why = s.checkDataDir(); !why.empty()) return s.refuse(why);
    InterruptCancels interrupt; // Ctrl-C stops the run: a payer not yet formed stays as it was

    ThrottledStatus echo(s.reporter(), &s.out());
    ErrorReporter errors(echo);
    errors.addMessages(standardMessages());
    Tables tables(s.dataDir(), errors);
    BatchFormingRequest rq;
    rq.payers = payers;
    rq.sequenceGiven = o.form.seq >= 0;
    if (std::string m = commonFormingRequest(o.form, rq.form); !m.empty()) {
        tell(echo, kFormingTitle, m);
        return kExitRefused;
    }
    const BatchFormingResult batch = formPayers(tables, rq);
    echo.flush();

    // With all, a payer without rows for the month has nothing to hand in;
    // a payer named on the command line was meant to be formed.
    const bool everyPayer = payers.empty();
    bool ok = true;
    const PayerFormingResult* last = nullptr;
    for (const PayerFormingResult& p : batch.payers) {
        if (p.outcome == PayerOutcome::Formed) {
            if (several) s.out() << "\npayer " << p.payer << " (" << p.payerName << "):\n";
            printFormingResult(s.out(), p.forming);
            last = &p;
        } else if (p.outcome == PayerOutcome::Refused || !everyPayer) {
            ok = false;
        }
    }
    if (several) printSummary(s.out(), batch);
    if (!last) return kExitRefused;

    std::optional<CollectiveResult> merged;
    if (o.collect) {
        if (batch.anyRefused()) {
            const std::string previous = previousCollectiveText(collectiveFilePath(tables));
            tell(echo, kFormingTitle,
                 "Zbirna datoteka nije formirana jer nisu obrađeni svi obveznici." +
                     (previous.empty() ? "" : " " + previous));
            ok = false;
        } else {
            merged = collect(s, tables, echo, rq.form.sendingDate);
            ok = merged.has_value() && ok;
        }
    }
    if (o.hand.copyAsked() && (merged || !o.collect)) {
        const std::string source = merged ? merged->file : last->forming.payerFile;
        ok = copyFile(s, echo, source, o.hand.copyTo, last->forming.mz0Target) && ok;
    }
    if (!o.hand.pdf.empty()) ok = printPagesA(s, tables, echo, o.hand.pdf) && ok;
    return ok ? kExitOk : kExitRefused;
}

int runCollect(CliSession& s, const std::string& date, const Handing& hand) {
    if (std::string why = s.checkDataDir(); !why.empty()) return s.refuse(why);
    InterruptCancels interrupt; // Ctrl-C stops the run: the collective file stays as it was
    const std::int32_t day = readSendingDate(date);
    Reporter& reporter = s.reporter();
    const std::optional<CollectiveResult> r = collect(s, s.tables(), reporter, day);
    if (!r) return kExitRefused;
    bool ok = true;
    if (hand.copyAsked())
        ok = copyFile(s, reporter, r->file, hand.copyTo, mz0CopyTarget(s.tables()));
    if (!hand.pdf.empty()) ok = printPagesA(s, s.tables(), reporter, hand.pdf) && ok;
    return ok ? kExitOk : kExitRefused;
}

int runCopy(CliSession& s, const std::string& file, const std::string& to) {
    requireRegularInput(file);
    std::string destination = to;
    if (destination.empty()) {
        if (std::string why = s.checkDataDir(); !why.empty()) return s.refuse(why);
        destination = mz0CopyTarget(s.tables());
    }
    return copyFile(s, s.reporter(), file, destination, destination) ? kExitOk : kExitRefused;
}

void addHandingOptions(CLI::App* cmd, Handing& hand, const char* copied) {
    hand.copy = cmd->add_option("--copy", hand.copyTo,
                                std::string("then copy ") + copied +
                                    " to PATH, or without PATH to the MZ0 folder + ZOVAK.MZ0 "
                                    "(as the copy window's \"Kopiraj datoteku\")")
                    ->expected(0, 1)
                    ->type_name("[PATH]");
    cmd->add_option("--pdf", hand.pdf,
                    "then write page A of every form on the collective list to this PDF file "
                    "(\"&Ispis A stranica\")");
}

} // namespace

void registerFormCommands(CLI::App& app, CommandRegistry& registry) {
    auto o = std::make_shared<FormOptions>();
    CLI::App* form =
        app.add_subcommand("form", "form the submission files of one or more payers for a month "
                                   "(\"&Obrada obveznika\")");
    addFormingOptions(form, o->form, false, true);
    form->add_flag("--collect", o->collect,
                   "then merge the collective list into ZOVAK.MZ0 (\"&Odredi zbirni HASH\"), "
                   "dated with --date; not when a payer was refused");
    addHandingOptions(form, o->hand, "the payer file (with --collect: the collective file)");
    form->footer("Each payer is formed all or nothing on its own; several payers (1,2,7 or all) "
                 "go onto one\ncollective list, and the summary names each with its result. "
                 "Exit 0 when every payer\nnamed was formed (with all: every payer that has "
                 "rows for the month), 1 otherwise.");
    registry.add(form, [o](CliSession& s) { return runForm(s, *o); });

    auto date = std::make_shared<std::string>();
    auto hand = std::make_shared<Handing>();
    CLI::App* collect = app.add_subcommand(
        "collect",
        "merge the payer files of the collective list into ZOVAK.MZ0 (\"&Odredi zbirni HASH\")");
    collect->add_option("--date", *date, "sending date DD.MM.YYYY (default: today)");
    addHandingOptions(collect, *hand, "the collective file");
    registry.add(collect, [date, hand](CliSession& s) { return runCollect(s, *date, *hand); });

    auto file = std::make_shared<std::string>();
    auto to = std::make_shared<std::string>();
    CLI::App* copy = app.add_subcommand(
        "copy", "copy a formed file, by default to the MZ0 folder as ZOVAK.MZ0 (\"Kopiraj "
                "datoteku\")");
    copy->add_option("FILE", *file, "the payer file or collective file")->required();
    copy->add_option("--to", *to,
                     "the destination (default: the MZ0 folder of the application parameters + "
                     "ZOVAK.MZ0); a copy onto the file itself deletes nothing");
    registry.add(copy, [file, to](CliSession& s) { return runCopy(s, *file, *to); });

    CLI::App* list = app.add_subcommand("list-collective", "show the collective list");
    registry.add(list, [](CliSession& s) {
        if (std::string why = s.checkDataDir(); !why.empty()) return s.refuse(why);
        TableAccess& tbt = s.tables().access("TBT");
        if (tbt.open() != result::Ok) return kExitRefused;
        tbt.setOrder(-1);
        tbt.setStart();
        std::ostream& out = s.out();
        out << "FIRMA | IDENTIFIKATOR | IMEFIRME | IMEFILE\n";
        const TableDef& d = tbt.def();
        while (tbt.next() == result::Ok) {
            const Record& r = tbt.record();
            out << r.display(d.fieldIndex("FIRMA")) << " | "
                << r.display(d.fieldIndex("IDENTIFIKATOR")) << " | "
                << r.display(d.fieldIndex("IMEFIRME")) << " | "
                << r.display(d.fieldIndex("IMEFILE")) << '\n';
        }
        tbt.close();
        return kExitOk;
    });
}

} // namespace mvz
