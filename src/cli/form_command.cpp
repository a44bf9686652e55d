#include "form_command.h"

#include <CLI/CLI.hpp>

#include <map>
#include <memory>
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
#include "submission/collective.h"
#include "submission/forming.h"
#include "throttled_status.h"

namespace mvz {

namespace {

int runForm(CliSession& s, const FormingOptions& o) {
    if (std::string why = s.checkDataDir(); !why.empty()) return s.refuse(why);
    ThrottledStatus echo(s.reporter(), &s.out());
    ErrorReporter errors(echo);
    errors.addMessages(standardMessages());
    Tables tables(s.dataDir(), errors);
    FormingRequest rq;
    if (std::string m = formingRequestFrom(o, PeriodDefault::Zero, tables, rq); !m.empty()) {
        MessageBox box;
        box.title = kFormingTitle;
        box.text = m;
        echo.show(box);
        return kExitRefused;
    }
    const FormingResult r = formPayer(tables, rq);
    echo.flush();
    if (!r.done) return kExitRefused;
    printFormingResult(s.out(), r);
    return kExitOk;
}

int runCollect(CliSession& s, const std::string& date) {
    if (std::string why = s.checkDataDir(); !why.empty()) return s.refuse(why);
    const std::int32_t day = readSendingDate(date);
    const CollectiveResult r = CollectiveHash(s.tables(), day);
    std::ostream& out = s.out();
    if (!r.done) return kExitRefused;
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
    return kExitOk;
}

int runListCollective(CliSession& s) {
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
        out << r.display(d.fieldIndex("FIRMA")) << " | " << r.display(d.fieldIndex("IDENTIFIKATOR"))
            << " | " << r.display(d.fieldIndex("IMEFIRME")) << " | "
            << r.display(d.fieldIndex("IMEFILE")) << '\n';
    }
    tbt.close();
    return kExitOk;
}

} // namespace

void registerFormCommands(CLI::App& app, CommandRegistry& registry) {
    auto o = std::make_shared<FormingOptions>();
    CLI::App* form = app.add_subcommand(
        "form", "form the submission file of one payer and month (\"&Obrada obveznika\")");
    addFormingOptions(form, *o, false, PeriodDefault::Zero);
    registry.add(form, [o](CliSession& s) { return runForm(s, *o); });

    auto date = std::make_shared<std::string>();
    CLI::App* collect = app.add_subcommand(
        "collect",
        "merge the payer files of the collective list into ZOVAK.MZ0 (\"&Odredi zbirni HASH\")");
    collect->add_option("--date", *date, "sending date DD.MM.YYYY (default: today)");
    registry.add(collect, [date](CliSession& s) { return runCollect(s, *date); });

    CLI::App* list = app.add_subcommand("list-collective", "show the collective list");
    registry.add(list, [](CliSession& s) { return runListCollective(s); });
}

} // namespace mvz
