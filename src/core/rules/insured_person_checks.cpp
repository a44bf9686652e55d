#include "rules/insured_person_checks.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "base/numeric.h"
#include "data/tables.h"
#include "rules/contributions.h"
#include "rules/control_table.h"
#include "rules/identifier.h"

namespace mvz {

namespace {

int field(const Record& row, const char* name) {
    return row.def().fieldIndex(name);
}

std::string_view text(const Record& row, const char* name) {
    return row.text(field(row, name));
}

int integer(const Record& row, const char* name) {
    return static_cast<int>(row.integer(field(row, name)));
}

Decimal amount(const Record& row, const char* name) {
    return row.decimal(field(row, name));
}

// The value of a typed number; a text that is not numeric counts as 0.
int numericValue(std::string_view typed) {
    if (auto whole = parseInteger(typed))
        return static_cast<int>(std::clamp<long long>(*whole, INT_MIN, INT_MAX));
    if (!isNumeric(typed)) return 0;
    const double value = std::strtod(std::string(trim(typed)).c_str(), nullptr);
    if (!(value > INT_MIN && value < INT_MAX)) return value > 0 ? INT_MAX : INT_MIN;
    return static_cast<int>(value);
}

// Ends the reaction or the save; an empty message stands for one the table
// layer has shown already.
EntryOutcome stop(EntryOutcome out, std::string message, PersonField focus) {
    if (!message.empty()) out.messages.push_back(std::move(message));
    out.focus = focus;
    out.proceed = false;
    return out;
}

EntryOutcome refused(std::string message, PersonField focus) {
    return stop({}, std::move(message), focus);
}

PersonField focusOf(RuleField f) {
    switch (f) {
    case RuleField::Month:
        return PersonField::Month;
    case RuleField::Year:
        return PersonField::Year;
    case RuleField::DayFrom:
        return PersonField::DayFrom;
    case RuleField::DayTo:
        return PersonField::DayTo;
    case RuleField::Gross:
        return PersonField::Gross;
    case RuleField::Base:
        return PersonField::Base;
    case RuleField::Pillar1:
        return PersonField::Pillar1;
    case RuleField::Pillar2:
        return PersonField::Pillar2;
    case RuleField::Net:
        return PersonField::Net;
    default:
        return PersonField::None;
    }
}

bool isMember(const Record& row) {
    return clipRight(text(row, "CLANDN")) == "D";
}

bool isNonMember(const Record& row) {
    return clipRight(text(row, "CLANDN")) == "N";
}

// The person's positive amounts from the other records of the same
// calculation year and month; the record being changed is left out.
bool gatherPrevious(TableAccess& others, const Record& row, int year, int month,
                    std::int64_t storedPosition, PreviousAmounts& previous) {
    Record& r = others.record();
    // Stored records hold the identifier's stored form.
    const IdentifierResult checked = CheckIdentifier(text(row, "JMBG"));
    const std::string id =
        checked.valid ? fixed(checked.stored, 13) : std::string(text(row, "JMBG"));
    r.clear();
    r.setText(field(r, "JMBG"), id);
    others.setOrder(others.def().keyIndex("KEYOSOBA"));
    others.setFromBuffer();
    int status;
    while ((status = others.next()) == result::Ok) {
        if (text(r, "JMBG") != id) break;
        if (storedPosition != 0 && others.position() == storedPosition) continue;
        if (integer(r, "GODOBRA") != year || integer(r, "MJEOBRA") != month) continue;
        previous.takePositive({.gross = amount(r, "IZNOS7"),
                               .base = amount(r, "IZNOS8"),
                               .pillar1 = amount(r, "IZNOS9"),
                               .pillar2 = amount(r, "IZNOS10"),
                               .net = amount(r, "IZNOS11")});
    }
    return status == result::Ok || others.atEof();
}

// Opens a table for the time of one check.
class OpenTable {
  public:
    explicit OpenTable(TableAccess& t) : table_(t), ok_(t.open() == result::Ok) {}
    ~OpenTable() {
        if (ok_) table_.close();
    }
    bool ok() const { return ok_; }

  private:
    TableAccess& table_;
    bool ok_;
};

// Step 7: the control-table rules with the two membership checks before the net amount.
EntryOutcome checkControlTable(Tables& tables, const Record& row, int year, int month,
                               const SaveRequest& request, EntryOutcome out) {
    TableAccess& rules = tables.access("VEZ");
    OpenTable openRules(rules);
    if (!openRules.ok()) return stop(std::move(out), {}, PersonField::None);
    const Combination combination{std::string(text(row, "VRSOBV")),
                                  std::string(text(row, "VRSTAUPLA")),
                                  std::string(text(row, "OSNOVA1"))};
    const std::optional<ControlRule> rule = readControlRule(rules, combination);
    if (!rule && rules.lastError().code != err::RecordNotFound)
        return stop(std::move(out), {}, PersonField::None); // the table showed why
    if (!rule) out.messages.push_back(missingCombinationWarning(combination));
    const RuleLimits limits = rule ? evaluateRules(*rule, request.currentYear) : noLimits();

    const RowValues values{.month = month,
                           .year = year,
                           .dayFrom = integer(row, "ODDANA"),
                           .dayTo = integer(row, "DODANA"),
                           .gross = amount(row, "IZNOS7"),
                           .base = amount(row, "IZNOS8"),
                           .pillar1 = amount(row, "IZNOS9"),
                           .pillar2 = amount(row, "IZNOS10"),
                           .net = amount(row, "IZNOS11")};
    auto fail = [&](const RuleFinding& f) {
        return stop(std::move(out), f.message, focusOf(f.field));
    };
    static constexpr RuleField period[] = {RuleField::Month, RuleField::Year, RuleField::DayFrom,
                                           RuleField::DayTo};
    if (auto f = firstRuleFinding(limits, values, combination, {}, period)) return fail(*f);

    PreviousAmounts previous;
    TableAccess& others = tables.access("RAD1");
    OpenTable openOthers(others);
    if (!openOthers.ok() ||
        !gatherPrevious(others, row, year, month, request.storedPosition, previous))
        return stop(std::move(out), {}, PersonField::None);

    static constexpr RuleField amounts[] = {RuleField::Gross, RuleField::Base, RuleField::Pillar1,
                                            RuleField::Pillar2};
    if (auto f = firstRuleFinding(limits, values, combination, previous, amounts)) return fail(*f);
    if (values.pillar2.sign() > 0 && isNonMember(row))
        return stop(std::move(out), "Greška - Osoba nije član II.stupa", PersonField::Pillar2);
    if (values.pillar2.isZero() && isMember(row) && values.base.sign() > 0)
        return stop(std::move(out), "Greška - Osoba je član II.stupa, osnovica veća od 0",
                    PersonField::Pillar2);
    static constexpr RuleField net[] = {RuleField::Net};
    if (auto f = firstRuleFinding(limits, values, combination, previous, net)) return fail(*f);
    return out;
}

} // namespace

EntryOutcome identifierLeft(Record& row) {
    const IdentifierResult id = CheckIdentifier(text(row, "JMBG"));
    if (!id.valid)
        return refused("Provjerite identifikacijski broj osiguranika ", PersonField::Identifier);
    row.setText(field(row, "JMBG"), id.stored);
    return {};
}

EntryOutcome yearLeft(std::string_view yearText) {
    EntryOutcome out;
    if (!isNumeric(yearText)) out.messages.push_back("Greška. Godina mora biti numerik");
    if (trim(yearText).size() < 4) out.messages.push_back("Greška. Godina mora biti 4-znamenkasta");
    if (numericValue(yearText) < 2005)
        out.messages.push_back("Greška. Godina mora biti veća od 2004 a manja ili jednaka tekućoj");
    if (!out.messages.empty()) {
        out.focus = PersonField::Year;
        out.proceed = false;
    }
    return out;
}

EntryOutcome monthLeft(std::string_view monthText) {
    if (!isNumeric(monthText)) return refused("Mjesec mora biti numerik", PersonField::Month);
    if (numericValue(monthText) > 12) return refused("Pogrešna oznaka mjeseca", PersonField::Month);
    return {};
}

EntryOutcome dayLeft(const Record& row, PersonField which) {
    const int month = integer(row, "MJEOBRA");
    if (month <= 0) return {};
    const int day = integer(row, which == PersonField::DayTo ? "DODANA" : "ODDANA");
    if (!CheckDayOfMonth(integer(row, "GODOBRA"), month, day))
        return refused("Pogrešan dan", which);
    return {};
}

EntryOutcome pillar2Left(const Record& row) {
    if (isNonMember(row) && amount(row, "IZNOS10").sign() > 0)
        return refused("Greška. Osiguranik nije član OMF. Nema doprinosa za II. stup",
                       PersonField::Pillar2);
    return {};
}

bool takeMunicipalityByName(TableAccess& municipalities, Record& row, std::string_view nameUtf8) {
    const std::optional<std::string> name = utf8ToCp1250(nameUtf8);
    if (!name) return false;
    Record& r = municipalities.record();
    r.clear();
    r.setText(field(r, "NAZIV"), *name);
    if (municipalities.fetch(municipalities.def().keyIndex("KEYNAZIV")) != result::Ok) return false;
    row.setText(field(row, "OPCINA"), text(r, "SIFRA"));
    return true;
}

std::string shortDescription(TableAccess& codes, std::string_view code) {
    Record& r = codes.record();
    r.clear();
    r.setText(field(r, "SIFRA"), code);
    if (codes.fetch(codes.def().keyIndex("KEYSIFRA")) != result::Ok) return {};
    return cp1250ToUtf8(clipRight(text(r, "SKROPIS")));
}

bool proposeContribution(TableAccess& rates, Record& row, Pillar pillar) {
    const std::optional<ContributionRates> found =
        lookupRates(rates, {text(row, "CLANDN"), text(row, "VRSTAUPLA"), text(row, "VRSOBV"),
                            text(row, "OSNOVA1"), text(row, "OSNOVA3")});
    if (!found) return false;
    const bool one = pillar == Pillar::One;
    const Decimal& first = one ? found->pillar1First : found->pillar2First;
    const Decimal& second = one ? found->pillar1Second : found->pillar2Second;
    const Decimal proposed = pillarContribution(first, second, amount(row, "IZNOS8"));
    // A contribution the field cannot hold leaves the record as it is.
    Record changed = row;
    if (!changed.setDecimal(field(row, one ? "IZNOS9" : "IZNOS10"), proposed) ||
        !changed.setDecimal(field(row, one ? "PRVISTUP1" : "DRUGISTUP1"), first) ||
        !changed.setDecimal(field(row, one ? "PRVISTUP2" : "DRUGISTUP2"), second))
        return false;
    row = changed;
    return true;
}

EntryOutcome checkBeforeSave(Tables& tables, Record& row, const SaveRequest& request) {
    EntryOutcome out;
    const std::string yearText = request.yearText.value_or(row.display(field(row, "GODOBRA")));
    const std::string monthText = request.monthText.value_or(row.display(field(row, "MJEOBRA")));
    const int year = numericValue(yearText);
    const int month = numericValue(monthText);

    // 1-3: the year; the first two are warnings.
    if (!isNumeric(yearText)) {
        out.messages.push_back("Godina mora biti numerik");
        out.focus = PersonField::Year;
    }
    if (trim(yearText).size() < 4) {
        out.messages.push_back("Godina mora biti 4-znamenkasta");
        out.focus = PersonField::Year;
    }
    if (year < 2005 || year > request.currentYear + 1)
        return stop(std::move(out),
                    "Godina mora biti veća od 2004 i manja ili jednaka tekućoj godini",
                    PersonField::Year);
    // 4: membership.
    if (!isMember(row) && !isNonMember(row))
        return stop(std::move(out), "Obvezno odredite da li je osoba član OMF ili nije",
                    PersonField::Membership);
    // 5-6: the month; 0 passes here and is left to the control table.
    if (!isNumeric(monthText))
        return stop(std::move(out), "Mjesec mora biti numerik sa vodećom nulom",
                    PersonField::Month);
    if (month > 12) return stop(std::move(out), "Pogrešna oznaka mjeseca", PersonField::Month);
    // The period's days must exist in the month (also when typed without
    // leaving their fields).
    if (month >= 1) {
        if (!CheckDayOfMonth(year, month, integer(row, "ODDANA")))
            return stop(std::move(out), "Pogrešan dan", PersonField::DayFrom);
        if (!CheckDayOfMonth(year, month, integer(row, "DODANA")))
            return stop(std::move(out), "Pogrešan dan", PersonField::DayTo);
    }
    // 7: the control table, unless the calculation type is exempt.
    if (!skipsControlTable(text(row, "VRSTAUPLA"))) {
        out = checkControlTable(tables, row, year, month, request, std::move(out));
        if (!out.proceed) return out;
    }
    // 8: the identifier, kept in its stored form.
    const IdentifierResult id = CheckIdentifier(text(row, "JMBG"));
    if (!id.valid)
        return stop(std::move(out), "Provjerite identifikacijski broj osiguranika",
                    PersonField::Identifier);
    row.setText(field(row, "JMBG"), id.stored);
    out.focus = PersonField::None;
    return out;
}

} // namespace mvz
