#include "rules/contributions.h"

#include <limits>
#include <stdexcept>

#include "base/picture.h"
#include "data/table_access.h"

namespace mvz {

namespace {

using Wide = __int128;

Wide pow10(int n) {
    Wide p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// n / d rounded half away from zero (d > 0).
Wide roundedDiv(Wide n, Wide d) {
    const Wide q = n / d;
    const Wide r = n % d;
    const Wide twice = (r < 0 ? -r : r) * 2;
    if (twice >= d) return n < 0 ? q - 1 : q + 1;
    return q;
}

} // namespace

Decimal pillarContribution(const Decimal& firstRate, const Decimal& secondRate,
                           const Decimal& base) {
    const Decimal rate = firstRate + secondRate;
    // rate x base has rate.scale + base.scale decimals; dividing by 100 and
    // keeping 2 decimals drops rate.scale + base.scale decimals in one step.
    // Both unit counts are below 2^63, so the product fits 127 bits.
    const Wide product = Wide(rate.units()) * Wide(base.units());
    const Wide units = roundedDiv(product, pow10(rate.scale() + base.scale()));
    if (units > std::numeric_limits<int64_t>::max() || units < -std::numeric_limits<int64_t>::max())
        throw std::overflow_error("contribution out of range");
    return Decimal::fromUnits(static_cast<int64_t>(units), 2);
}

std::optional<ContributionRates> lookupRates(TableAccess& rates, const RateChoice& choice) {
    const TableDef& def = rates.def();
    Record& r = rates.record();
    r.clear();
    r.setText(def.fieldIndex("CLANDN"), choice.membership);
    r.setText(def.fieldIndex("VRSTOBRACUNA"), choice.calculationType);
    r.setText(def.fieldIndex("VRSTAOBVEZNIKA"), choice.payerType);
    r.setText(def.fieldIndex("OSNOVOBRA"), choice.basis);
    r.setText(def.fieldIndex("STAZ"), choice.mark);
    if (rates.fetch(def.keyIndex("KEYOSNOV")) != result::Ok) return std::nullopt;
    return ContributionRates{
        r.decimal(def.fieldIndex("PRVISTUP1")), r.decimal(def.fieldIndex("PRVISTUP2")),
        r.decimal(def.fieldIndex("DRUGISTUP1")), r.decimal(def.fieldIndex("DRUGISTUP2"))};
}

Contributions computeContributions(const ContributionRates& rates, const Decimal& base) {
    Contributions c;
    c.pillar1 = pillarContribution(rates.pillar1First, rates.pillar1Second, base);
    c.pillar2 = pillarContribution(rates.pillar2First, rates.pillar2Second, base);
    c.total = c.pillar1 + c.pillar2;
    return c;
}

Contributions computedOrZero(const std::optional<ContributionRates>& rates, const Decimal& base) {
    if (!rates) {
        const Decimal zero = Decimal::fromInteger(0, 2);
        return {zero, zero, zero};
    }
    return computeContributions(*rates, base);
}

Decimal contributionTolerance() {
    return Decimal::fromUnits(3, 2);
}

namespace {

struct DifferenceText {
    const char* prefix;
    bool error;
    const char* column;
};

// The wording of each caller's reports; nullptr where the caller makes no such check.
const DifferenceText* differenceText(DifferenceCaller caller, DifferenceCheck check) {
    static const DifferenceText inputCheck[] = {
        {"Upozorenje - razlika u obračunatom doprinosu I. stupa: ", false, ""},
        {"Upozorenje - razlika u obračunatom doprinosu II stupa: ", false, ""},
    };
    static const DifferenceText paymentForms[] = {
        {"Upozorenje - razlika o obračunatom doprinosu I. stupa: ", false, ""},
        {"Upozorenje - razlika u obračunatom doprinosu II stupa: ", false, ""},
    };
    static const DifferenceText formalControl[] = {
        {"Upozorenje - razlika u obračunatom doprinosu I. stupa: ", false, "MV5IST1"},
        {"Tip sloga 5. - Postoji razlika u obračunu doprinosa :", true, "MV5IST2"},
        {"Upozorenje - razlika o ukupno obračunatom doprinosu : ", true, "MV5IST2"},
    };
    const auto index = static_cast<int>(check);
    switch (caller) {
    case DifferenceCaller::InputCheck:
        return index < 2 ? &inputCheck[index] : nullptr;
    case DifferenceCaller::PaymentForms:
        return index < 2 ? &paymentForms[index] : nullptr;
    case DifferenceCaller::FormalControl:
        return &formalControl[index];
    }
    return nullptr;
}

std::string amountText(const Decimal& value) {
    static const Picture picture = *Picture::parse("N10.2");
    return picture.format(value);
}

} // namespace

std::optional<ContributionDifference> contributionDifference(DifferenceCaller caller,
                                                             DifferenceCheck check,
                                                             const EnteredContributions& entered,
                                                             const Contributions& computed) {
    const DifferenceText* text = differenceText(caller, check);
    if (!text || entered.base.sign() <= 0) return std::nullopt;
    Decimal amount, expected;
    switch (check) {
    case DifferenceCheck::Pillar1:
        amount = entered.pillar1;
        expected = computed.pillar1;
        break;
    case DifferenceCheck::Pillar2:
        amount = entered.pillar2;
        expected = computed.pillar2;
        break;
    case DifferenceCheck::Total:
        amount = entered.pillar1 + entered.pillar2;
        expected = computed.total;
        break;
    }
    if (check != DifferenceCheck::Total && amount.sign() <= 0) return std::nullopt;
    if ((amount - expected).abs() <= contributionTolerance()) return std::nullopt;
    return ContributionDifference{check, text->error, text->column,
                                  text->prefix + amountText(amount) + "  - " +
                                      amountText(expected)};
}

std::vector<ContributionDifference> contributionDifferences(DifferenceCaller caller,
                                                            const EnteredContributions& entered,
                                                            const Contributions& computed) {
    std::vector<ContributionDifference> out;
    for (DifferenceCheck check :
         {DifferenceCheck::Pillar1, DifferenceCheck::Pillar2, DifferenceCheck::Total})
        if (auto d = contributionDifference(caller, check, entered, computed))
            out.push_back(std::move(*d));
    return out;
}

} // namespace mvz
