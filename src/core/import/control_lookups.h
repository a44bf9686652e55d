#pragma once
// What the checks of a submission file look up: the code tables, the control
// table's rule of a combination and the contribution rates.
//
// TableLookups reads all of them into memory before the run, so the checks
// never ask a table while they run: a million records cost a million hash
// lookups rather than a million reads, and the checks may run beside a
// thread that writes the results. The memory follows the size of those
// tables, never the size of the checked file. A code is found exactly when
// a read by the table's code key would find it.

#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "rules/contributions.h"
#include "rules/control_table.h"

namespace mvz {

class Tables;
class TableAccess;

// The control-table row of one combination, turned into limits.
struct ControlEntry {
    Combination combination; // as the row holds it
    RuleLimits limits;
};

class CheckLookups {
  public:
    virtual ~CheckLookups() = default;
    // Codes as they stand in the record (CP1250, padded as in the field).
    virtual bool hasPayerType(std::string_view code) const = 0;       // TBVRSOBV
    virtual bool hasCalculationType(std::string_view code) const = 0; // TBVRSUPL
    virtual bool hasMunicipality(std::string_view code) const = 0;    // TBOPCINE
    virtual bool hasInsuranceBasis(std::string_view code) const = 0;  // TBOSNOBR
    virtual bool hasServiceMark(std::string_view code) const = 0;     // TBOZNSTA
    // nullptr when the combination has no row.
    virtual const ControlEntry* controlRule(const Combination& c) const = 0;
    virtual std::optional<ContributionRates> rates(const RateChoice& choice) const = 0;
};

class TableLookups : public CheckLookups {
  public:
    // Reads the seven tables; false when one cannot be opened or read (the
    // table has shown its message). `currentYear` bounds the year rules
    // (see evaluateRules).
    bool load(Tables& tables, int currentYear);

    bool hasPayerType(std::string_view code) const override;
    bool hasCalculationType(std::string_view code) const override;
    bool hasMunicipality(std::string_view code) const override;
    bool hasInsuranceBasis(std::string_view code) const override;
    bool hasServiceMark(std::string_view code) const override;
    const ControlEntry* controlRule(const Combination& c) const override;
    std::optional<ContributionRates> rates(const RateChoice& choice) const override;

  private:
    enum CodeTable { PayerTypes, CalculationTypes, Municipalities, Bases, Marks, CodeTables };
    bool loadCodes(TableAccess& table, CodeTable which);
    bool loadRules(TableAccess& table, int currentYear);
    bool loadRates(TableAccess& table);

    std::unordered_set<std::uint64_t> codes_[CodeTables];
    std::unordered_map<std::uint64_t, ControlEntry> rules_;
    std::unordered_map<std::uint64_t, ContributionRates> rates_;
};

} // namespace mvz
