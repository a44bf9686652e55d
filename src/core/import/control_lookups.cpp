#include "import/control_lookups.h"

#include <string>

#include "base/fixed_text.h"
#include "data/tables.h"

namespace mvz {

namespace {

// Answers kept per kind before the memory starts afresh. A real file holds a
// handful of codes; a damaged one may hold a new code on every line.
constexpr std::size_t kKeptAnswers = 4096;

// Codes of up to eight bytes together, padded to their widths, as one key
// (each memory holds keys of one set of widths).
class Packed {
  public:
    Packed& add(std::string_view text, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i) {
            const unsigned char c = i < text.size() ? static_cast<unsigned char>(text[i]) : ' ';
            value_ = (value_ << 8) | c;
        }
        return *this;
    }
    std::uint64_t value() const { return value_; }

  private:
    std::uint64_t value_ = 0;
};

template <class Map> void bound(Map& map) {
    if (map.size() >= kKeptAnswers) map.clear();
}

} // namespace

TableLookups::TableLookups(Tables& tables, int currentYear)
    : tables_(tables), currentYear_(currentYear) {}

TableLookups::~TableLookups() {
    close();
}

bool TableLookups::open() {
    static const char* const names[] = {"VOB", "VUP", "OPC", "TBO", "STA", "VEZ", "STO1"};
    TableAccess* tables[7];
    for (int i = 0; i < 7; ++i) {
        tables[i] = &tables_.access(names[i]);
        if (tables[i]->open() != result::Ok) {
            close();
            return false;
        }
        ++opened_;
    }
    for (int i = 0; i < CodeTables; ++i)
        codeTables_[i] = tables[i];
    controlTable_ = tables[5];
    rateTable_ = tables[6];
    return true;
}

void TableLookups::close() {
    static const char* const names[] = {"VOB", "VUP", "OPC", "TBO", "STA", "VEZ", "STO1"};
    for (int i = opened_ - 1; i >= 0; --i)
        tables_.access(names[i]).close();
    opened_ = 0;
}

bool TableLookups::hasCode(CodeTable table, std::string_view code) {
    static constexpr std::size_t widths[] = {2, 2, 4, 2, 1};
    const std::uint64_t key = Packed().add(code, widths[table]).value();
    auto& memory = codes_[table];
    if (auto it = memory.find(key); it != memory.end()) return it->second;
    TableAccess& t = *codeTables_[table];
    Record& r = t.record();
    r.clear();
    r.setText(t.def().fieldIndex("SIFRA"), code);
    const bool found = t.fetch(t.def().keyIndex("KEYSIFRA")) == result::Ok;
    bound(memory);
    memory.emplace(key, found);
    return found;
}

bool TableLookups::hasPayerType(std::string_view code) {
    return hasCode(PayerTypes, code);
}
bool TableLookups::hasCalculationType(std::string_view code) {
    return hasCode(CalculationTypes, code);
}
bool TableLookups::hasMunicipality(std::string_view code) {
    return hasCode(Municipalities, code);
}
bool TableLookups::hasInsuranceBasis(std::string_view code) {
    return hasCode(Bases, code);
}
bool TableLookups::hasServiceMark(std::string_view code) {
    return hasCode(Marks, code);
}

const ControlEntry& TableLookups::controlRule(const Combination& c) {
    const std::uint64_t key = Packed().add(c.vob, 2).add(c.voi, 2).add(c.oo, 2).value();
    if (auto it = rules_.find(key); it != rules_.end()) return it->second;
    ControlEntry entry;
    if (std::optional<ControlRule> rule = readControlRule(*controlTable_, c)) {
        entry.found = true;
        entry.combination = rule->combination;
        entry.limits = evaluateRules(*rule, currentYear_);
    } else {
        entry.combination = c;
        entry.limits = noLimits();
    }
    bound(rules_);
    return rules_.emplace(key, std::move(entry)).first->second;
}

std::optional<ContributionRates> TableLookups::rates(const RateChoice& choice) {
    const std::uint64_t key = Packed()
                                  .add(choice.membership, 1)
                                  .add(choice.calculationType, 2)
                                  .add(choice.payerType, 2)
                                  .add(choice.basis, 2)
                                  .add(choice.mark, 1)
                                  .value();
    if (auto it = rates_.find(key); it != rates_.end()) return it->second;
    std::optional<ContributionRates> found = lookupRates(*rateTable_, choice);
    bound(rates_);
    rates_.emplace(key, found);
    return found;
}

} // namespace mvz
