#include "form_command.h"

#include <CLI/CLI.hpp>

#include <chrono>
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
#include "submission/collective.h"
#include "submission/forming.h"
#include "throttled_status.h"

namespace mvz {

namespace {

struct FormOptions {
    int payer = 0;
    std::string type, year, month, from = "0", to = "0", payYear, payMonth, date, mode;
    int seq = -1;
    bool append = false;
};

std::string twoDigits(std::string s) {
    std::string_view t = trim(s);
    return t.size() == 1 && t[0] >= '0' && t[0] <= '9' ? "0" + std::string(t) : std::string(t);
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

int runForm(CliSession& s, const FormOptions& o) {
    if (std::string why = s.checkDataDir(); !why.empty()) return s.refuse(why);
    ThrottledStatus echo(s.reporter(), &s.out());
    ErrorReporter errors(echo);
    errors.addMessages(standardMessages());
    Tables tables(s.dataDir(), errors);

    auto refuse = [&](const std::string& message) {
        MessageBox box;
        box.title = kFormingTitle;
        box.text = message;
        echo.show(box);
        return kExitRefused;
    };
    const CivilDate today = civilDate(todayDayNumber());
    const std::string year = o.year.empty() ? std::to_string(today.year) : o.year;
    const std::string month = twoDigits(o.month.empty() ? std::to_string(today.month) : o.month);
    const std::string payYear = o.payYear.empty() ? std::to_string(today.year) : o.payYear;
    const std::string payMonth =
        twoDigits(o.payMonth.empty() ? std::to_string(today.month) : o.payMonth);
    // The window's field checks, in the order its fields are accepted.
    for (const std::string& m : {checkFormingYear(year), checkFormingMonth(month, o.type)})
        if (!m.empty()) return refuse(m);
    const int y = std::stoi(year), mo = std::stoi(month);
    for (const std::string& m : {checkFormingDay(o.from, y, mo), checkFormingDay(o.to, y, mo),
                                 checkPayYear(payYear), checkPayMonth(payMonth)})
        if (!m.empty()) return refuse(m);

    FormingRequest rq;
    rq.payer = o.payer;
    rq.calculationType = o.type;
    rq.year = y;
    rq.month = mo;
    rq.firstDay = std::stoi(std::string(trim(o.from)));
    rq.lastDay = std::stoi(std::string(trim(o.to)));
    rq.payYear = std::stoi(payYear);
    rq.payMonth = std::stoi(payMonth);
    rq.sendingDate = readDate(o.date);
    rq.mode = o.mode == "single" ? SendingMode::Single : SendingMode::Collective;
    rq.job = o.append ? CollectiveJob::AddToFile : CollectiveJob::NewFile;
    if (o.seq >= 0) {
        rq.sequence = o.seq;
    } else {
        // The window's default: the payer's last number + 1.
        TableAccess& pos = tables.access("POS");
        if (pos.open() != result::Ok) return kExitRefused;
        pos.record().clear();
        pos.record().setInteger(pos.def().fieldIndex("REDBROJ"), o.payer);
        if (pos.fetch(pos.def().keyIndex("KEYREDBROJ")) == result::Ok)
            rq.sequence =
                static_cast<int>(pos.record().integer(pos.def().fieldIndex("IDENTIFIKATOR"))) + 1;
        pos.close();
    }
    if (std::string m = checkSequence(rq.sequence); !m.empty()) return refuse(m);

    const FormingResult r = formPayer(tables, rq);
    echo.flush();
    if (!r.done) return kExitRefused;
    std::ostream& out = s.out();
    out << "payer file:   " << r.payerFile << '\n'
        << "control mark: " << r.controlMark << '\n'
        << "form:         " << r.formIdentifier << " (link key " << r.linkKey << ")\n"
        << "persons " << r.persons << ", rows " << r.rows << ", sheets " << r.sheets << '\n';
    const char* names[] = {"gross pay   ", "base        ", "pillar I    ", "pillar II   ",
                           "net paid    "};
    for (int i = 0; i < 5; ++i)
        out << "  " << names[i] << amount(r.totals[i]) << '\n';
    out << "copy offered to: " << r.mz0Target << '\n';
    return kExitOk;
}

int runCollect(CliSession& s, const std::string& date) {
    if (std::string why = s.checkDataDir(); !why.empty()) return s.refuse(why);
    const std::int32_t day = readDate(date);
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
    auto o = std::make_shared<FormOptions>();
    CLI::App* form = app.add_subcommand(
        "form", "form the submission file of one payer and month (\"&Obrada obveznika\")");
    form->add_option("--payer", o->payer, "the payer's number (POS:REDBROJ)")->required();
    form->add_option("--type", o->type, "calculation/correction type (VOI), e.g. 01")->required();
    form->add_option("--year", o->year, "calculation year (default: this year)");
    form->add_option("--month", o->month, "calculation month (default: this month)");
    form->add_option("--from", o->from, "first day of the period (default 0)");
    form->add_option("--to", o->to, "last day of the period (default 0)");
    form->add_option("--pay-year", o->payYear, "pay-out year (default: this year)");
    form->add_option("--pay-month", o->payMonth, "pay-out month (default: this month)");
    form->add_option("--seq", o->seq, "form sequence number (default: the payer's last + 1)");
    form->add_option("--date", o->date, "sending date DD.MM.YYYY (default: today)");
    form->add_option("--mode", o->mode, "single or collective")
        ->required()
        ->check(CLI::IsMember({"single", "collective"}));
    form->add_flag("--append", o->append,
                   "collective: add to the collective list instead of starting a new one");
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
