#include "rules/contributions.h"

#include <algorithm>

#include "data/table_access.h"

namespace mvz {

namespace {

// (first + second) x base / 100, exact until the one rounding to 2 decimals.
Decimal pillar(const Decimal& first, const Decimal& second, const Decimal& base) {
    const Decimal rate = first + second;
    const Decimal product =
        mul(rate, base, std::min(rate.scale() + base.scale(), Decimal::kMaxScale));
    return div(product, Decimal::fromInteger(100), 2);
}

} // namespace

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
    c.pillar1 = pillar(rates.pillar1First, rates.pillar1Second, base);
    c.pillar2 = pillar(rates.pillar2First, rates.pillar2Second, base);
    c.total = c.pillar1 + c.pillar2;
    return c;
}

} // namespace mvz
