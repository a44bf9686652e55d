#pragma once
// The checks of the formal control, line by line: each record of a
// submission file is split into the fields of its type and every field and
// every total that ties the types together is checked, in a fixed order. A
// failed check becomes a Finding: the field code, error ('F') or warning
// ('U'), the name column and the message, and the columns of the line it is
// about.
//
// The checker carries the state of one run from line to line: the count of
// type-3 records, the type-5 records since the last type-3 record, that
// record's fields and totals, the sums of the type-5 amounts and the
// same-person memory. A type-5 record takes its payer type, calculation type
// and period from the most recent type-3 record; nothing else ties records
// together, and the order of the types is not checked.
//
// The name column is the record label ("Slog tipa 0", ...) for the checks of
// the reserved field and the identifier, and for the type-0 and type-3 checks
// that name no person; the payer name for the other type-3 checks; the
// person's identifier and name for type 5 (the label, once its ordinal number
// or identifier failed); the last type-3 payer name for types 7 and 9 (the
// label, once their reserved field or identifier failed).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/decimal.h"
#include "import/finding.h"
#include "rules/control_table.h"

namespace mvz {

class CheckLookups;
struct RecordField;

class SubmissionChecker {
  public:
    // `today` (a day number) is the last sending date accepted.
    SubmissionChecker(const CheckLookups& lookups, std::int32_t today);

    // Checks one line: `record` is its 250-character record (CP1250), whose
    // last character is the record type. A type other than 0, 3, 5, 7 and 9
    // is not checked. Every finding goes to `out`, in check order; returns
    // their number.
    int check(long line, std::string_view record, FindingSink& out);

    long long formsRead() const { return type3Count_; }

  private:
    void checkSender();
    void checkFormHeader();
    void checkInsured();
    void checkFormEnd();
    void checkFileEnd();

    std::string_view at(const RecordField* f) const;
    // Hands one finding on; `field` names the columns of the line it is about
    // (nullptr: not one field of this line).
    void add(std::string_view code, char kind, std::string message, const RecordField* field);
    void ruleFinding(std::string_view code, std::string_view prefix, RuleField rule,
                     std::string_view ruleCode, const Combination& c, const RecordField* field);

    const CheckLookups& lookups_;
    std::int32_t today_;

    // The line being checked.
    long line_ = 0;
    std::string_view record_;
    FindingSink* out_ = nullptr;
    int found_ = 0;
    std::string name_; // the name column, CP1250
    Finding finding_;

    // Run state.
    long long type3Count_ = 0;
    long long type5Count_ = 0; // since the last type-3 record
    std::string payerType_;    // MV3VROB of the last type-3 record
    std::string calculationType_;
    std::string period_; // MV3MMGG
    std::string payerName_;
    std::string formNumber_;               // MV3IDOB
    std::array<std::int64_t, 5> totals_{}; // III.1 .. III.5 in hundredths
    std::array<__int128, 5> sums_{};       // of IV.7 .. IV.11 in hundredths
    std::string previousPerson_;           // MV5IBOO of the previous type-5 record
    PreviousAmounts remembered_;           // same-person memory
};

} // namespace mvz
