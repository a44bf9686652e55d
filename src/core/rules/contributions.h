#pragma once
// Pension contribution rates and the two contributions computed from them.
//
// The rate table TBSTOPE holds, per calculation type, payer type, insurance
// basis, extended-service mark and fund membership, two rates for pillar I
// and two for pillar II, in percent. The two rates of a pillar are always
// added:
//   pillar I  = (PRVISTUP1 + PRVISTUP2) x base / 100
//   pillar II = (DRUGISTUP1 + DRUGISTUP2) x base / 100
// computed exactly and rounded to 2 decimals, half away from zero.

#include <optional>
#include <string_view>

#include "base/decimal.h"

namespace mvz {

class TableAccess;

// The five values that choose a rate row (codes as stored, CP1250).
struct RateChoice {
    std::string_view membership;      // "D" member of the mandatory fund, "N" not
    std::string_view calculationType; // VOI, TBVRSUPL
    std::string_view payerType;       // VOB, TBVRSOBV
    std::string_view basis;           // OO, TBOSNOBR
    std::string_view mark;            // extended-service mark, TBOZNSTA
};

struct ContributionRates {
    Decimal pillar1First;  // PRVISTUP1
    Decimal pillar1Second; // PRVISTUP2
    Decimal pillar2First;  // DRUGISTUP1
    Decimal pillar2Second; // DRUGISTUP2
};

struct Contributions {
    Decimal pillar1; // 2 decimals
    Decimal pillar2; // 2 decimals
    Decimal total;   // pillar1 + pillar2
};

// Reads the one TBSTOPE row with exactly these five values by STO1:KEYOSNOV;
// there is no fallback, so nullopt when no row matches. `rates` is the open
// TBSTOPE table; its buffer changes.
std::optional<ContributionRates> lookupRates(TableAccess& rates, const RateChoice& choice);

Contributions computeContributions(const ContributionRates& rates, const Decimal& base);

} // namespace mvz
