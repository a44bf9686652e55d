#include "import/payment_line_checks.h"

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "data/tables.h"
#include "import/control_lookups.h"
#include "rules/identifier.h"

#include <array>

namespace mvz {

namespace {

struct CallerTexts {
    const char* unknownBasis;
    const char* unknownMark;
    bool membershipRefuses;
    DifferenceCaller differences;
};

const CallerTexts& textsOf(PaymentCaller caller) {
    static const CallerTexts inputCheck{"Nepoznata šifra osnova osiguranja",
                                        "Nepoznata šifra za uvećani staž", true,
                                        DifferenceCaller::InputCheck};
    static const CallerTexts paymentForms{"Nepoznat osnov obračuna",
                                          "Nepoznata šifra uvećanog staža", false,
                                          DifferenceCaller::PaymentForms};
    return caller == PaymentCaller::InputCheck ? inputCheck : paymentForms;
}

constexpr std::array<const char*, kPaymentAmountCount> kNotNumeric = {
    "Podatak IV.7 nije numerik", "Podatak IV.8 nije numerik", "Podatak IV.9 nije numerik",
    "Podatak IV.10 nije numerik", "Podatak IV.11 nije numerik"};

} // namespace

PaymentLineChecker::PaymentLineChecker(Tables& tables, PaymentCaller caller, PaymentRunValues run)
    : tables_(&tables), caller_(caller), run_(std::move(run)) {
    if (run_.currentYear == 0) run_.currentYear = currentYearFromClock();
}

PaymentLineChecker::PaymentLineChecker(const CheckLookups& lookups, PaymentCaller caller,
                                       PaymentRunValues run)
    : lookups_(&lookups), caller_(caller), run_(std::move(run)) {}

bool PaymentLineChecker::codeExists(Code which, std::string_view code) {
    if (lookups_) {
        switch (which) {
        case Code::Basis:
            return lookups_->hasInsuranceBasis(code);
        case Code::Municipality:
            return lookups_->hasMunicipality(code);
        case Code::Mark:
            return lookups_->hasServiceMark(code);
        }
    }
    auto& known = knownCodes_[static_cast<int>(which)];
    std::string key(code);
    if (auto it = known.find(key); it != known.end()) return it->second;
    static const char* const tableOf[] = {"TBO", "OPC", "STA"};
    TableAccess& table = tables_->access(tableOf[static_cast<int>(which)]);
    Record& r = table.record();
    r.clear();
    r.setText(table.def().fieldIndex("SIFRA"), code);
    const bool exists = table.fetch(table.def().keyIndex("KEYSIFRA")) == result::Ok;
    known.emplace(std::move(key), exists);
    return exists;
}

const std::optional<ContributionRates>& PaymentLineChecker::rates(const PaymentLine& line) {
    const std::string_view membership = line.field(PaymentField::CLANDN);
    const std::string_view basis = line.field(PaymentField::OSNOVA1);
    const std::string_view mark = line.field(PaymentField::OSNOVA3);
    std::string key;
    key.reserve(8);
    key.append(membership).append(basis).append(mark);
    if (auto it = knownRates_.find(key); it != knownRates_.end()) return it->second;
    const RateChoice choice{membership, run_.calculationType, run_.payerType, basis, mark};
    auto found = lookups_ ? lookups_->rates(choice) : lookupRates(tables_->access("STO1"), choice);
    return knownRates_.emplace(std::move(key), std::move(found)).first->second;
}

const PaymentLineChecker::RuleEntry& PaymentLineChecker::rule(const Combination& c) {
    if (auto it = knownRules_.find(c.oo); it != knownRules_.end()) return it->second;
    RuleEntry entry;
    entry.limits = noLimits();
    if (lookups_) {
        if (const ControlEntry* found = lookups_->controlRule(c)) {
            entry.exists = true;
            entry.limits = found->limits;
        }
    } else if (auto found = readControlRule(tables_->access("VEZ"), c)) {
        entry.exists = true;
        entry.limits = evaluateRules(*found, run_.currentYear);
    }
    return knownRules_.emplace(c.oo, std::move(entry)).first->second;
}

void PaymentLineChecker::add(int check, PaymentField field, std::string message, bool refuses) {
    outcome_.findings.push_back(LineFinding{check, field, std::move(message), refuses});
    if (refuses) outcome_.refused = true;
}

const LineCheckOutcome& PaymentLineChecker::check(const PaymentLine& line,
                                                  const PreviousAmounts& remembered) {
    outcome_.findings.clear();
    outcome_.refused = false;
    const CallerTexts& texts = textsOf(caller_);

    // 1-5: the amounts' digits.
    for (int i = 0; i < kPaymentAmountCount; ++i)
        if (!line.amountDigitsComplete(i)) add(1 + i, paymentAmountField(i), kNotNumeric[i], true);
    // 6: the person's identifier.
    if (!CheckIdentifierLoose(line.field(PaymentField::JMBG)))
        add(6, PaymentField::JMBG, "Pogrešan Identifikacijski broj osiguranikae", true);
    // 7-9: the codes.
    const std::string_view basis = line.field(PaymentField::OSNOVA1);
    if (!codeExists(Code::Basis, basis)) add(7, PaymentField::OSNOVA1, texts.unknownBasis, true);
    if (!codeExists(Code::Municipality, line.field(PaymentField::OPCINA)))
        add(8, PaymentField::OPCINA, "Nepoznata šifra općine", true);
    if (!codeExists(Code::Mark, line.field(PaymentField::OSNOVA3)))
        add(9, PaymentField::OSNOVA3, texts.unknownMark, true);
    // 10: fund membership.
    const std::string_view member = line.field(PaymentField::CLANDN);
    if (member != "D" && member != "N")
        add(10, PaymentField::CLANDN, "Obvezno odredite da li je osoba član OMF ili nije",
            texts.membershipRefuses);

    RowValues row;
    row.month = run_.month;
    row.year = run_.year;
    row.dayFrom = line.dayFrom().value_or(0);
    row.dayTo = line.dayTo().value_or(0);
    row.gross = line.amount(0);
    row.base = line.amount(1);
    row.pillar1 = line.amount(2);
    row.pillar2 = line.amount(3);
    row.net = line.amount(4);

    if (caller_ == PaymentCaller::PaymentForms && member == "N" && row.pillar2.sign() > 0)
        add(0, PaymentField::IZNOS10, "Osiguranik nije član OMF. Nema doprinosa za II. stup", true);

    // The rate row and the computed contributions.
    outcome_.rates = rates(line);
    outcome_.computed = computedOrZero(outcome_.rates, row.base);
    if (skipsControlTable(run_.calculationType)) return outcome_;

    // 11: the control-table row.
    const Combination c{run_.payerType, run_.calculationType, std::string(basis)};
    const RuleEntry& entry = rule(c);
    if (!entry.exists) {
        if (caller_ == PaymentCaller::InputCheck)
            add(11, PaymentField::OSNOVA1,
                "Pogrešan osnov obračuna za VOB=" + cp1250ToUtf8(c.vob) +
                    " VOI=" + cp1250ToUtf8(c.voi) + " OO=" + cp1250ToUtf8(c.oo),
                false);
        else
            add(11, PaymentField::OSNOVA1, missingCombinationWarning(c), false);
    }
    const RuleLimits& limits = entry.limits;
    auto ruleCheck = [&](int number, RuleField f, PaymentField field) {
        auto finding = checkRuleValue(limits, f, row.value(f), c, remembered);
        if (!finding) return true;
        add(number, field,
            f == RuleField::Year ? std::string("Greška - obračunska godina.") : finding->message,
            true);
        return false;
    };
    ruleCheck(12, RuleField::Month, PaymentField::OBRMJE);
    ruleCheck(13, RuleField::Year, PaymentField::GODOBRA);
    ruleCheck(14, RuleField::DayFrom, PaymentField::OBRRAZD1);
    ruleCheck(15, RuleField::DayTo, PaymentField::OBRRAZD2);
    ruleCheck(16, RuleField::Gross, PaymentField::IZNOS7);
    ruleCheck(17, RuleField::Base, PaymentField::IZNOS8);
    const bool pillar1Passed = ruleCheck(18, RuleField::Pillar1, PaymentField::IZNOS9);
    const EnteredContributions entered{row.base, row.pillar1, row.pillar2};
    if (pillar1Passed)
        if (auto d = contributionDifference(texts.differences, DifferenceCheck::Pillar1, entered,
                                            outcome_.computed))
            add(19, PaymentField::IZNOS9, d->message, true);
    ruleCheck(20, RuleField::Pillar2, PaymentField::IZNOS10);
    if (pillar1Passed)
        if (auto d = contributionDifference(texts.differences, DifferenceCheck::Pillar2, entered,
                                            outcome_.computed))
            add(21, PaymentField::IZNOS10, d->message, false);
    ruleCheck(22, RuleField::Net, PaymentField::IZNOS11);
    return outcome_;
}

} // namespace mvz
