#pragma once
// The control table VEZNATAB: for each combination of payer type (VOB),
// calculation type (VOI) and insurance basis (OO), a rule per row value
// saying it must be zero ("= 0 "), zero or more (">=0 ") or above zero
// (">0  "). A rule becomes a pair of limits; a row's values are compared with
// them in a fixed order, and the first value outside its limits names the
// control-table row in its message.
//
// A field whose rule is none of the three codes (a missing row, blanks, or a
// code such as "<=>0" brought in by an import) has no limits: its value is
// not compared. Limits are made afresh for every evaluation.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/decimal.h"

namespace mvz {

class TableAccess;
class Tables;

// The eleven rule fields, in the order a rule row holds and evaluates them.
enum class RuleField {
    Month,        // OBRMJE, calculation month
    Year,         // GODINA, calculation year
    PaymentYear,  // PLAGOD, year the salary was paid
    PaymentMonth, // PLAMJE, month the salary was paid
    DayFrom,      // DANOD, period from (day)
    DayTo,        // DANDO, period to (day)
    Gross,        // IZNOS7, gross salary, compensation or income
    Base,         // IZNOS8, contribution base
    Pillar1,      // IZNOS9, pillar I contribution
    Pillar2,      // IZNOS10, pillar II contribution
    Net,          // IZNOS11, net amount paid
};
inline constexpr int kRuleFieldCount = 11;

// The VEZNATAB field of a rule ("OBRMJE", ..., "IZNOS11").
std::string_view ruleFieldName(RuleField field);
bool isAmount(RuleField field); // Gross to Net

// The order in which a row's values are compared (the payment year and month
// are compared only by callers that have them).
inline constexpr std::array<RuleField, 9> kRowCheckOrder = {
    RuleField::Month, RuleField::Year,    RuleField::DayFrom, RuleField::DayTo, RuleField::Gross,
    RuleField::Base,  RuleField::Pillar1, RuleField::Pillar2, RuleField::Net};

// The three rule codes, as stored (4 characters).
inline constexpr std::string_view kRuleZero = "= 0 ";
inline constexpr std::string_view kRuleZeroOrMore = ">=0 ";
inline constexpr std::string_view kRuleAboveZero = ">0  ";
// True for the three codes, with or without their trailing blanks.
bool isRuleCode(std::string_view code);

// VOB, VOI and OO as the row holds them (CP1250, 2 characters each).
struct Combination {
    std::string vob;
    std::string voi;
    std::string oo;
    bool operator==(const Combination&) const = default;
};

// One VEZNATAB row.
struct ControlRule {
    Combination combination;
    std::array<std::string, kRuleFieldCount> codes; // by RuleField, as stored
    const std::string& code(RuleField f) const { return codes[static_cast<int>(f)]; }
    std::string& code(RuleField f) { return codes[static_cast<int>(f)]; }
};

// Reads the rule of a combination by VEZ:KEYVOB_VOI from the open VEZNATAB
// table (its buffer changes); nullopt when the combination has no row.
std::optional<ControlRule> readControlRule(TableAccess& controlTable, const Combination& c);
// The rule in VEZNATAB's buffer.
ControlRule ruleFromRecord(const TableAccess& controlTable);

// "Upozorenje. Navedena kombinacija VOB=.. VOI=.. OO=.. nije uvedena u kontrolnu tablicu"
std::string missingCombinationWarning(const Combination& c);

// The year of the computer's date (local time).
int currentYearFromClock();

struct Limit {
    Decimal lower;
    Decimal upper;
};

// The limits of one evaluation; a field without limits is not compared.
struct RuleLimits {
    std::array<std::optional<Limit>, kRuleFieldCount> limits;
    std::array<std::string, kRuleFieldCount> codes; // the codes without trailing blanks
    const std::optional<Limit>& of(RuleField f) const { return limits[static_cast<int>(f)]; }
    const std::string& code(RuleField f) const { return codes[static_cast<int>(f)]; }
};

// Turns a rule into limits. Years run from 2004 to `currentYear` + 1; the
// amounts' upper limit is 999999999999999. A rule code other than the three
// leaves its field without limits.
RuleLimits evaluateRules(const ControlRule& rule, int currentYear);
// No row for the combination: no field has limits.
RuleLimits noLimits();

// The values of a row that the rules judge.
struct RowValues {
    int month = 0;
    int year = 0;
    int dayFrom = 0;
    int dayTo = 0;
    int paymentYear = 0;
    int paymentMonth = 0;
    Decimal gross{};
    Decimal base{};
    Decimal pillar1{};
    Decimal pillar2{};
    Decimal net{};

    Decimal value(RuleField f) const;
};

// Positive amounts of the same person and period from earlier records: an
// amount of exactly 0 whose rule demands more than 0 is accepted when the
// same column held a positive amount earlier.
struct PreviousAmounts {
    Decimal gross;
    Decimal base;
    Decimal pillar1;
    Decimal pillar2;
    Decimal net;

    Decimal value(RuleField f) const; // 0 for the fields that are not amounts
    // Each amount of `row` above 0 replaces the remembered one.
    void takePositive(const RowValues& row);
};

struct RuleFinding {
    RuleField field;
    std::string code;    // the rule's code without trailing blanks
    std::string message; // the insured-person window's text (empty for the payment year and month)
};

// Whether one value lies within its limits (with the previous-payment
// exemption for the amounts); nullopt when it does or when the field has no limits.
std::optional<RuleFinding> checkRuleValue(const RuleLimits& limits, RuleField field,
                                          const Decimal& value, const Combination& c,
                                          const PreviousAmounts& previous = {});

// Compares the fields in the given order; the first value outside its limits.
std::optional<RuleFinding> firstRuleFinding(const RuleLimits& limits, const RowValues& row,
                                            const Combination& c, const PreviousAmounts& previous,
                                            std::span<const RuleField> order = kRowCheckOrder);
// Every value outside its limits, in the given order (batch callers go on after a finding).
std::vector<RuleFinding> ruleFindings(const RuleLimits& limits, const RowValues& row,
                                      const Combination& c, const PreviousAmounts& previous,
                                      std::span<const RuleField> order = kRowCheckOrder);

// A rule message as callers word it: `prefix` + code + the reference to the
// control-table row (" Provjerite kontrolnu tablicu za VOB=.. VOI=.. OO=.." after
// the month's code, ". Provjerite ..." after the others).
std::string composeRuleMessage(std::string_view prefix, RuleField field, std::string_view code,
                               const Combination& c);
// The insured-person window's text for a field (empty for the payment year and month).
std::string ruleMessage(RuleField field, std::string_view code, const Combination& c);

// Calculation types whose rows are not checked against the control table.
bool skipsControlTable(std::string_view calculationType);

// The service behind the rule window: every change keeps the tree labels
// (STABLO02 per VOB and VOI, STABLO03 per VOB, VOI and OO) in step with
// VEZNATAB, inside one transaction with the row. Failures are reported
// through the table layer's messages; the result is result::Ok or another
// result code, and on failure nothing is changed.
class ControlTableMaintenance {
  public:
    explicit ControlTableMaintenance(Tables& tables);

    // The rule of a combination (the rule window on opening).
    std::optional<ControlRule> read(const Combination& c);
    // Adds a rule; an existing rule of the same combination is rewritten in
    // place. The STABLO02 label becomes the calculation type's description
    // and the STABLO03 label the insurance basis's description.
    int insert(const ControlRule& rule);
    // Changes the rule read for `original`; when the combination itself
    // changes, the original's STABLO03 label goes with it.
    int change(const Combination& original, const ControlRule& rule);
    // Deletes the rule and its STABLO03 label; the STABLO02 label stays.
    int remove(const Combination& c);

  private:
    // The rule table and its two label levels, open and inside one
    // transaction, with the label texts of the rule's combination.
    struct RuleWrite;
    bool beginRuleWrite(RuleWrite& w, const Combination& c);

    Tables& tables_;
};

} // namespace mvz
