#pragma once
// Pension contribution rates and the two contributions computed from them.
//
// The rate table TBSTOPE holds, per calculation type, payer type, insurance
// basis, extended-service mark and fund membership, two rates for pillar I
// and two for pillar II, in percent. The two rates of a pillar are always
// added:
//   pillar I  = (PRVISTUP1 + PRVISTUP2) x base / 100
//   pillar II = (DRUGISTUP1 + DRUGISTUP2) x base / 100
// computed exactly and rounded once to 2 decimals, half away from zero.
//
// Width: the product is formed in 128 bits and only the rounded result must
// fit Decimal's 64-bit units. The widest inputs the tables hold (rates of 5
// digits, so a pillar rate below 2000.00; bases of 15 digits, below 10^13)
// give contributions below 2 * 10^14, that is below 2 * 10^16 units of 0.01,
// far inside 64 bits. Values built in code beyond that throw
// std::overflow_error rather than wrap.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// (first + second) x base / 100 with 2 decimals, rounded once, half away from zero.
Decimal pillarContribution(const Decimal& firstRate, const Decimal& secondRate,
                           const Decimal& base);

// What the batch checks compare with: the computed contributions, or all
// zero when no rate row was found.
Contributions computedOrZero(const std::optional<ContributionRates>& rates, const Decimal& base);

// ---- Differences between entered and computed contributions ----

// An entered contribution may differ from the computed one by this much
// before a difference is reported.
Decimal contributionTolerance(); // 0.03

// The batch runs that compare contributions; each words its reports its own way.
enum class DifferenceCaller {
    InputCheck,    // checking input data
    PaymentForms,  // forming forms from taken-over payment data
    FormalControl, // formal control of a submission file
};

enum class DifferenceCheck { Pillar1, Pillar2, Total };

struct ContributionDifference {
    DifferenceCheck check;
    bool error = false;  // an error rather than a warning
    std::string column;  // the field code the formal control files it under; else empty
    std::string message; // prefix, entered "N10.2", "  - ", computed "N10.2"
};

// The entered amounts of one row.
struct EnteredContributions {
    Decimal base;    // IZNOS8
    Decimal pillar1; // IZNOS9
    Decimal pillar2; // IZNOS10
};

// One check for one row: nullopt when the check finds no difference or does
// not apply (a base of 0 or less; for the pillars an entered amount of 0 or
// less; the total is compared for the formal control only).
std::optional<ContributionDifference> contributionDifference(DifferenceCaller caller,
                                                             DifferenceCheck check,
                                                             const EnteredContributions& entered,
                                                             const Contributions& computed);

// Every difference of one row, in the order pillar I, pillar II, total.
std::vector<ContributionDifference> contributionDifferences(DifferenceCaller caller,
                                                            const EnteredContributions& entered,
                                                            const Contributions& computed);

} // namespace mvz
