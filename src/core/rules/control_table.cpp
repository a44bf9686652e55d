#include "rules/control_table.h"

#include <ctime>
#include <stdexcept>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "data/table_access.h"

namespace mvz {

namespace {

constexpr std::array<std::string_view, kRuleFieldCount> kFieldNames = {
    "OBRMJE", "GODINA", "PLAGOD", "PLAMJE",  "DANOD",  "DANDO",
    "IZNOS7", "IZNOS8", "IZNOS9", "IZNOS10", "IZNOS11"};

int index(RuleField f) {
    return static_cast<int>(f);
}

void setKey(Record& r, const Combination& c) {
    const TableDef& def = r.def();
    r.setText(def.fieldIndex("VOB"), c.vob);
    r.setText(def.fieldIndex("VOI"), c.voi);
    r.setText(def.fieldIndex("OO"), c.oo);
}

} // namespace

std::string_view ruleFieldName(RuleField field) {
    return kFieldNames[index(field)];
}

bool isAmount(RuleField field) {
    return index(field) >= index(RuleField::Gross);
}

bool isRuleCode(std::string_view code) {
    const std::string padded = fixed(code, 4);
    return code.size() <= 4 &&
           (padded == kRuleZero || padded == kRuleZeroOrMore || padded == kRuleAboveZero);
}

std::optional<ControlRule> readControlRule(TableAccess& controlTable, const Combination& c) {
    Record& r = controlTable.record();
    r.clear();
    setKey(r, c);
    if (controlTable.fetch(controlTable.def().keyIndex("KEYVOB_VOI")) != result::Ok)
        return std::nullopt;
    return ruleFromRecord(controlTable);
}

ControlRule ruleFromRecord(const TableAccess& controlTable) {
    const Record& r = controlTable.record();
    const TableDef& def = controlTable.def();
    ControlRule rule;
    rule.combination = {std::string(r.text(def.fieldIndex("VOB"))),
                        std::string(r.text(def.fieldIndex("VOI"))),
                        std::string(r.text(def.fieldIndex("OO")))};
    for (int f = 0; f < kRuleFieldCount; ++f)
        rule.codes[f] = std::string(r.text(def.fieldIndex(kFieldNames[f])));
    return rule;
}

std::string missingCombinationWarning(const Combination& c) {
    return "Upozorenje. Navedena kombinacija VOB=" + cp1250ToUtf8(c.vob) +
           " VOI=" + cp1250ToUtf8(c.voi) + " OO=" + cp1250ToUtf8(c.oo) +
           " nije uvedena u kontrolnu tablicu";
}

int currentYearFromClock() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

RuleLimits noLimits() {
    return {};
}

RuleLimits evaluateRules(const ControlRule& rule, int currentYear) {
    RuleLimits out;
    const Decimal zero = Decimal::fromInteger(0, 2);
    const Decimal amountTop = Decimal::fromInteger(999999999999999, 2);
    for (int f = 0; f < kRuleFieldCount; ++f) {
        const auto field = static_cast<RuleField>(f);
        const std::string code = fixed(rule.codes[f], 4);
        out.codes[f] = std::string(clipRight(rule.codes[f]));
        const int kind = code == kRuleZero         ? 0
                         : code == kRuleZeroOrMore ? 1
                         : code == kRuleAboveZero  ? 2
                                                   : -1;
        if (kind < 0) continue; // no limits: the value is not compared
        if (kind == 0) {
            out.limits[f] = Limit{zero, zero};
            continue;
        }
        const bool above = kind == 2;
        switch (field) {
        case RuleField::Month:
        case RuleField::PaymentMonth:
            out.limits[f] = Limit{Decimal::fromInteger(above ? 1 : 0), Decimal::fromInteger(12)};
            break;
        case RuleField::Year:
        case RuleField::PaymentYear:
            out.limits[f] =
                Limit{Decimal::fromInteger(2004), Decimal::fromInteger(currentYear + 1)};
            break;
        case RuleField::DayFrom:
        case RuleField::DayTo:
            out.limits[f] = Limit{Decimal::fromInteger(above ? 1 : 0), Decimal::fromInteger(31)};
            break;
        default:
            out.limits[f] = Limit{above ? Decimal::fromUnits(1, 2) : zero, amountTop};
            break;
        }
    }
    return out;
}

Decimal RowValues::value(RuleField f) const {
    switch (f) {
    case RuleField::Month:
        return Decimal::fromInteger(month);
    case RuleField::Year:
        return Decimal::fromInteger(year);
    case RuleField::PaymentYear:
        return Decimal::fromInteger(paymentYear);
    case RuleField::PaymentMonth:
        return Decimal::fromInteger(paymentMonth);
    case RuleField::DayFrom:
        return Decimal::fromInteger(dayFrom);
    case RuleField::DayTo:
        return Decimal::fromInteger(dayTo);
    case RuleField::Gross:
        return gross;
    case RuleField::Base:
        return base;
    case RuleField::Pillar1:
        return pillar1;
    case RuleField::Pillar2:
        return pillar2;
    case RuleField::Net:
        return net;
    }
    return {};
}

Decimal PreviousAmounts::value(RuleField f) const {
    switch (f) {
    case RuleField::Gross:
        return gross;
    case RuleField::Base:
        return base;
    case RuleField::Pillar1:
        return pillar1;
    case RuleField::Pillar2:
        return pillar2;
    case RuleField::Net:
        return net;
    default:
        return {};
    }
}

void PreviousAmounts::takePositive(const RowValues& row) {
    for (auto [mine, theirs] : {std::pair{&gross, &row.gross}, std::pair{&base, &row.base},
                                std::pair{&pillar1, &row.pillar1},
                                std::pair{&pillar2, &row.pillar2}, std::pair{&net, &row.net}})
        if (theirs->sign() > 0) *mine = *theirs;
}

std::string composeRuleMessage(std::string_view prefix, RuleField field, std::string_view code,
                               const Combination& c) {
    return std::string(prefix) + std::string(code) + (field == RuleField::Month ? " " : ". ") +
           "Provjerite kontrolnu tablicu za VOB=" + cp1250ToUtf8(c.vob) +
           " VOI=" + cp1250ToUtf8(c.voi) + " OO=" + cp1250ToUtf8(c.oo);
}

std::string ruleMessage(RuleField field, std::string_view code, const Combination& c) {
    switch (field) {
    case RuleField::Month:
        return composeRuleMessage("Greška - obračunski mjesec mora biti ", field, code, c);
    case RuleField::Year:
        // The year's message names no code.
        return composeRuleMessage("Greška - obračunska godina", field, "", c);
    case RuleField::DayFrom:
        return composeRuleMessage("Greška - razdoblje od mora biti ", field, code, c);
    case RuleField::DayTo:
        return composeRuleMessage("Greška - razdoblje do mora biti ", field, code, c);
    case RuleField::Gross:
        return composeRuleMessage("Greška - Iznos obračunane plaće mora biti ", field, code, c);
    case RuleField::Base:
        return composeRuleMessage("Greška - Osnovica za doprinose mora biti ", field, code, c);
    case RuleField::Pillar1:
        return composeRuleMessage("Greška - Iznos doprinosa za I. stup mora biti ", field, code, c);
    case RuleField::Pillar2:
        return composeRuleMessage("Greška - Iznos doprinosa za II.stup mora biti ", field, code, c);
    case RuleField::Net:
        return composeRuleMessage("Greška - Iznos ispaćene plaće mora biti ", field, code, c);
    case RuleField::PaymentYear:
    case RuleField::PaymentMonth:
        break;
    }
    return {};
}

std::optional<RuleFinding> checkRuleValue(const RuleLimits& limits, RuleField field,
                                          const Decimal& value, const Combination& c,
                                          const PreviousAmounts& previous) {
    const std::optional<Limit>& limit = limits.of(field);
    if (!limit) return std::nullopt;
    if (value >= limit->lower && value <= limit->upper) return std::nullopt;
    // A zero amount where more than zero is required stands when the same
    // person's earlier record of the period paid a positive amount.
    if (isAmount(field) && limit->lower.sign() > 0 && value.isZero() &&
        previous.value(field).sign() > 0)
        return std::nullopt;
    const std::string& code = limits.code(field);
    return RuleFinding{field, code, ruleMessage(field, code, c)};
}

std::optional<RuleFinding> firstRuleFinding(const RuleLimits& limits, const RowValues& row,
                                            const Combination& c, const PreviousAmounts& previous,
                                            std::span<const RuleField> order) {
    for (RuleField f : order)
        if (auto finding = checkRuleValue(limits, f, row.value(f), c, previous)) return finding;
    return std::nullopt;
}

std::vector<RuleFinding> ruleFindings(const RuleLimits& limits, const RowValues& row,
                                      const Combination& c, const PreviousAmounts& previous,
                                      std::span<const RuleField> order) {
    std::vector<RuleFinding> out;
    for (RuleField f : order)
        if (auto finding = checkRuleValue(limits, f, row.value(f), c, previous))
            out.push_back(std::move(*finding));
    return out;
}

bool skipsControlTable(std::string_view calculationType) {
    const std::string_view code = clipRight(calculationType);
    return code == "88" || code == "99";
}

} // namespace mvz
