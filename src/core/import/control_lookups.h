#pragma once
// What the checks of a submission file look up: the code tables, the control
// table's rule of a combination and the contribution rates. TableLookups
// reads them from the open tables and remembers recent answers, so that a file
// of a million records does not ask the tables a million times; the memory is
// bounded by the number of answers kept, never by the file.

#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "rules/contributions.h"
#include "rules/control_table.h"

namespace mvz {

class Tables;
class TableAccess;

// The rule of one combination, turned into limits.
struct ControlEntry {
    bool found = false;
    Combination combination; // the row's values; the searched ones when not found
    RuleLimits limits;       // no limits when not found
};

class CheckLookups {
  public:
    virtual ~CheckLookups() = default;
    // Codes as they stand in the record (CP1250, padded as in the field).
    virtual bool hasPayerType(std::string_view code) = 0;       // TBVRSOBV
    virtual bool hasCalculationType(std::string_view code) = 0; // TBVRSUPL
    virtual bool hasMunicipality(std::string_view code) = 0;    // TBOPCINE
    virtual bool hasInsuranceBasis(std::string_view code) = 0;  // TBOSNOBR
    virtual bool hasServiceMark(std::string_view code) = 0;     // TBOZNSTA
    virtual const ControlEntry& controlRule(const Combination& c) = 0;
    virtual std::optional<ContributionRates> rates(const RateChoice& choice) = 0;
};

class TableLookups : public CheckLookups {
  public:
    // `currentYear` bounds the year rules (see evaluateRules).
    TableLookups(Tables& tables, int currentYear);
    ~TableLookups() override;

    // Opens the seven tables; false (the table has shown its message) when one
    // cannot be opened. Those opened are closed again by close().
    bool open();
    void close();

    bool hasPayerType(std::string_view code) override;
    bool hasCalculationType(std::string_view code) override;
    bool hasMunicipality(std::string_view code) override;
    bool hasInsuranceBasis(std::string_view code) override;
    bool hasServiceMark(std::string_view code) override;
    const ControlEntry& controlRule(const Combination& c) override;
    std::optional<ContributionRates> rates(const RateChoice& choice) override;

  private:
    enum CodeTable { PayerTypes, CalculationTypes, Municipalities, Bases, Marks, CodeTables };
    bool hasCode(CodeTable table, std::string_view code);

    Tables& tables_;
    int currentYear_;
    TableAccess* codeTables_[CodeTables] = {};
    TableAccess* controlTable_ = nullptr;
    TableAccess* rateTable_ = nullptr;
    int opened_ = 0;
    std::unordered_map<std::uint64_t, bool> codes_[CodeTables];
    std::unordered_map<std::uint64_t, ControlEntry> rules_;
    std::unordered_map<std::uint64_t, std::optional<ContributionRates>> rates_;
};

} // namespace mvz
