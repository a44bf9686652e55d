#pragma once
// The checks of one selected payment-data line, shared by the payment-data
// check and by forming forms from payment data. They differ only in a few
// texts and in which findings refuse the line; the caller chooses its wording.
//
// In order (the number is the check's number in the findings):
//   1-5   characters 2-15 of IV.7 .. IV.11 are 14 digits
//   6     the person's identifier passes CheckIdentifierLoose
//   7-9   the insurance basis, municipality and extended-service mark exist
//   10    the second-pillar member flag is "D" or "N"
//   (forms only, as 10) a person who is not a member with IV.10 above 0
//         then the rate row is looked up (member flag, calculation type, payer
//         type, insurance basis, extended-service mark) and the contributions
//         computed from IV.8; for calculation types "88" and "99" nothing
//         after the lookup is checked
//   11    the control-table row of the payer type, calculation type and basis
//         exists; without it 12-22 run with no limits
//   12-18 month, year (the run's), period from, period to, IV.7, IV.8, IV.9
//         within their rules (a zero amount passes where the rule wants more
//         than zero when the same person's remembered amount is above zero)
//   19    pillar I difference, only when 18 passed
//   20    IV.10 within its rule
//   21    pillar II difference, only when 18 passed
//   22    IV.11 within its rule
//
// The code tables, the rate table and the control table are either read
// while the checker runs (each lookup remembered for the checker's life: one
// run, during which the tables do not change) or taken from lookups read
// into memory before the run (the checker then never touches a table, so the
// results may be stored beside it on another thread).

#include "base/decimal.h"
#include "import/payment_line.h"
#include "rules/contributions.h"
#include "rules/control_table.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace mvz {

class CheckLookups;
class Tables;
class TableAccess;

enum class PaymentCaller {
    InputCheck,   // "Kontrola ulaznih podataka"
    PaymentForms, // "Formiranje obrazaca M-Vz na temelju preuzetih podataka"
};

// The values of the run the lines are judged against.
struct PaymentRunValues {
    std::string payerType;       // VOB of the chosen payer (CP1250, 2 characters)
    std::string calculationType; // VOI, written as two digits
    int year = 0;                // the run's accounting year and month
    int month = 0;
    int currentYear = 0; // the year rule's upper end is this + 1 (0: this year by the clock)
};

struct LineFinding {
    int check = 0;        // 1-22 as above; 0 for the forms' membership check
    PaymentField field{}; // the line's field the finding is about
    std::string message;  // UTF-8
    bool refuses = false; // marks the line as wrong (refused)
};

struct LineCheckOutcome {
    std::vector<LineFinding> findings;
    bool refused = false; // any finding marks the line as wrong
    std::optional<ContributionRates> rates;
    Contributions computed; // from the rates and IV.8; zero without a rate row
};

class PaymentLineChecker {
  public:
    // The code tables (TBOSNOBR, TBOPCINE, TBOZNSTA), TBSTOPE and VEZNATAB
    // of `tables` must be open while the checker is used.
    PaymentLineChecker(Tables& tables, PaymentCaller caller, PaymentRunValues run);
    // Looks everything up in `lookups` (which must outlive the checker).
    PaymentLineChecker(const CheckLookups& lookups, PaymentCaller caller, PaymentRunValues run);

    // Checks one selected line; `remembered` are the person's remembered
    // positive amounts. The outcome stays valid until the next call.
    const LineCheckOutcome& check(const PaymentLine& line, const PreviousAmounts& remembered);

  private:
    enum class Code { Basis, Municipality, Mark };
    bool codeExists(Code which, std::string_view code);
    const std::optional<ContributionRates>& rates(const PaymentLine& line);
    struct RuleEntry {
        bool exists = false;
        RuleLimits limits;
    };
    const RuleEntry& rule(const Combination& c);
    void add(int check, PaymentField field, std::string message, bool refuses);

    Tables* tables_ = nullptr;              // read while running, or
    const CheckLookups* lookups_ = nullptr; // read before the run
    PaymentCaller caller_;
    PaymentRunValues run_;
    std::unordered_map<std::string, bool> knownCodes_[3];
    std::unordered_map<std::string, std::optional<ContributionRates>> knownRates_;
    std::unordered_map<std::string, RuleEntry> knownRules_;
    LineCheckOutcome outcome_;
};

} // namespace mvz
