#include "forming_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <optional>
#include <ostream>

#include "base/day_number.h"
#include "base/fixed_text.h"
#include "base/picture.h"
#include "data/tables.h"
#include "exit_codes.h"
#include "rules/identifier.h"
#include "submission/forming_batch.h"

namespace mvz {

namespace {

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

std::string amount(const Decimal& d) {
    static const auto picture = Picture::parse("@n15.2");
    return picture->format(d);
}

// The window's default sequence number: the payer's last one + 1; nothing
// when the payer is not there.
std::optional<int> nextSequence(Tables& tables, int payer) {
    TableAccess& pos = tables.access("POS");
    if (pos.open() != result::Ok) return std::nullopt;
    pos.record().clear();
    std::optional<int> next;
    if (pos.record().setInteger(pos.def().fieldIndex("REDBROJ"), payer) &&
        pos.fetch(pos.def().keyIndex("KEYREDBROJ")) == result::Ok)
        next = static_cast<int>(pos.record().integer(pos.def().fieldIndex("IDENTIFIKATOR"))) + 1;
    pos.close();
    return next;
}

} // namespace

void addFormingOptions(CLI::App* cmd, FormingOptions& o, bool yearAndMonthRequired,
                       bool severalPayers) {
    if (severalPayers)
        cmd->add_option("--payer", o.payers,
                        "the payer's number (POS:REDBROJ); several as 1,2,7, or all: every "
                        "payer, in number order, onto one collective list")
            ->required();
    else
        cmd->add_option("--payer", o.payer, "the payer's number (POS:REDBROJ)")->required();
    cmd->add_option("--type", o.type, "calculation/correction type (VOI), two characters, e.g. 01")
        ->required();
    auto* year = cmd->add_option("--year", o.year, "calculation year (default: this year)");
    auto* month = cmd->add_option("--month", o.month,
                                  "calculation month (default: this month; 00 for 03, 05, 06)");
    if (yearAndMonthRequired) {
        year->required();
        month->required();
    }
    // Unlike the window, whose empty days take only rows without days, the
    // command line takes the whole month when the days are left out.
    cmd->add_option("--from", o.from,
                    "first day of the period (default 1: without --from and --to, the whole "
                    "month)");
    cmd->add_option("--to", o.to, "last day of the period (default: the month's last)");
    cmd->add_option("--pay-year", o.payYear, "pay-out year (default: this year)");
    cmd->add_option("--pay-month", o.payMonth, "pay-out month (default: this month)");
    cmd->add_option("--seq", o.seq,
                    severalPayers ? "form sequence number, the same for every payer (default: "
                                    "each payer's last + 1)"
                                  : "form sequence number (default: the payer's last + 1)");
    cmd->add_option("--date", o.date, "sending date DD.MM.YYYY (default: today)");
    cmd->add_option("--mode", o.mode, "single or collective")
        ->required()
        ->check(CLI::IsMember({"single", "collective"}));
    cmd->add_flag("--append", o.append,
                  "collective: add to the collective list instead of starting a new one");
}

std::string commonFormingRequest(const FormingOptions& o, FormingRequest& rq) {
    const CivilDate today = civilDate(todayDayNumber());
    // A calculation type is its two characters as typed: "1" is refused by
    // the forming run's own check, not taken for "01".
    const std::string type(trim(o.type));
    const std::string year = o.year.empty() ? std::to_string(today.year) : o.year;
    const std::string month = twoDigits(o.month.empty() ? std::to_string(today.month) : o.month);
    const std::string payYear = o.payYear.empty() ? std::to_string(today.year) : o.payYear;
    const std::string payMonth =
        twoDigits(o.payMonth.empty() ? std::to_string(today.month) : o.payMonth);
    for (const std::string& m : {checkFormingYear(year), checkFormingMonth(month, type)})
        if (!m.empty()) return m;
    const int y = std::stoi(std::string(trim(year))), mo = std::stoi(month);
    const std::string from = o.from.empty() ? "1" : o.from;
    const std::string to = o.to.empty() ? std::to_string(lastDayOf(y, mo)) : o.to;
    for (const std::string& m : {checkFormingDay(from, y, mo), checkFormingDay(to, y, mo),
                                 checkPayYear(payYear), checkPayMonth(payMonth)})
        if (!m.empty()) return m;

    rq.calculationType = type;
    rq.year = y;
    rq.month = mo;
    rq.firstDay = std::stoi(std::string(trim(from)));
    rq.lastDay = std::stoi(std::string(trim(to)));
    rq.payYear = std::stoi(payYear);
    rq.payMonth = std::stoi(payMonth);
    rq.sendingDate = readSendingDate(o.date);
    rq.mode = o.mode == "single" ? SendingMode::Single : SendingMode::Collective;
    rq.job = o.append ? CollectiveJob::AddToFile : CollectiveJob::NewFile;
    if (o.seq >= 0) rq.sequence = o.seq;
    return o.seq >= 0 ? checkSequence(o.seq) : std::string();
}

std::string formingRequestFrom(const FormingOptions& o, Tables& tables, FormingRequest& rq) {
    if (std::string m = commonFormingRequest(o, rq); !m.empty()) return m;
    rq.payer = o.payer;
    if (o.seq >= 0) return {};
    const std::optional<int> next = nextSequence(tables, o.payer);
    if (!next) return missingPayerText(o.payer);
    rq.sequence = *next;
    return checkSequence(rq.sequence);
}

std::vector<int> payerList(const std::string& text) {
    const std::string_view all = trim(text);
    if (all == "all") return {};
    std::vector<int> out;
    std::string_view rest = all;
    for (;;) {
        const std::size_t comma = rest.find(',');
        const std::string_view item = trim(rest.substr(0, comma));
        int n = 0;
        bool ok = !item.empty() && item.size() <= 3;
        for (char c : item) {
            ok = ok && c >= '0' && c <= '9';
            n = n * 10 + (c - '0');
        }
        if (!ok || n < 1)
            throw UsageError("--payer " + text +
                             ": give payer numbers 1 to 999 separated by commas (1,2,7), or all");
        if (std::find(out.begin(), out.end(), n) == out.end()) out.push_back(n);
        if (comma == std::string_view::npos) break;
        rest = rest.substr(comma + 1);
    }
    return out;
}

void printFormingResult(std::ostream& out, const FormingResult& r) {
    out << "payer file:   " << r.payerFile << '\n'
        << "control mark: " << r.controlMark << '\n'
        << "form:         " << r.formIdentifier << " (link key " << r.linkKey << ")\n"
        << "persons " << r.persons << ", rows " << r.rows << ", sheets " << r.sheets << '\n';
    const char* names[] = {"gross pay   ", "base        ", "pillar I    ", "pillar II   ",
                           "net paid    "};
    for (int i = 0; i < 5; ++i)
        out << "  " << names[i] << amount(r.totals[i]) << '\n';
    out << "copy offered to: " << r.mz0Target << '\n';
}

std::int32_t readSendingDate(const std::string& text) {
    if (text.empty()) return todayDayNumber();
    auto picture = Picture::parse("@D6.");
    auto day = picture ? picture->readDate(text) : std::nullopt;
    if (!day || *day == 0) throw UsageError("--date " + text + " is not a date DD.MM.YYYY");
    return *day;
}

} // namespace mvz
