#include "import/control_lookups.h"

#include <string>
#include <vector>

#include "base/fixed_text.h"
#include "data/tables.h"

namespace mvz {

namespace {

constexpr std::size_t kCodeWidths[] = {2, 2, 4, 2, 1}; // by CodeTable

// Codes of up to eight bytes together, each padded to its width, as one key.
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

std::uint64_t rateKey(const RateChoice& c) {
    return Packed()
        .add(c.membership, 1)
        .add(c.calculationType, 2)
        .add(c.payerType, 2)
        .add(c.basis, 2)
        .add(c.mark, 1)
        .value();
}

std::uint64_t ruleKey(const Combination& c) {
    return Packed().add(c.vob, 2).add(c.voi, 2).add(c.oo, 2).value();
}

// Opens the table, reads every row in stored order and closes it again;
// false when it cannot be opened or a read fails.
template <class Row> bool eachRow(TableAccess& table, Row row) {
    if (table.open() != result::Ok) return false;
    table.setOrder(-1);
    table.setStart();
    bool ok = true;
    while (ok && table.next() == result::Ok)
        ok = row(table);
    ok = ok && table.atEof();
    table.close();
    return ok;
}

std::string_view text(const TableAccess& t, const char* field) {
    return t.record().text(t.def().fieldIndex(field));
}

} // namespace

bool TableLookups::loadCodes(TableAccess& table, CodeTable which) {
    return eachRow(table, [&](TableAccess& t) {
        const std::string_view code = text(t, "SIFRA");
        // A blank code is not in the code key, so no read finds it.
        if (!isBlank(code)) codes_[which].insert(Packed().add(code, kCodeWidths[which]).value());
        return true;
    });
}

bool TableLookups::loadRules(TableAccess& table, int currentYear) {
    return eachRow(table, [&](TableAccess& t) {
        ControlRule rule = ruleFromRecord(t);
        const Combination& c = rule.combination;
        if (isBlank(c.vob) && isBlank(c.voi) && isBlank(c.oo)) return true;
        rules_[ruleKey(c)] = ControlEntry{c, evaluateRules(rule, currentYear)};
        return true;
    });
}

bool TableLookups::loadRates(TableAccess& table) {
    struct Choice {
        std::string membership, calculationType, payerType, basis, mark;
    };
    std::vector<Choice> choices;
    if (!eachRow(table, [&](TableAccess& t) {
            choices.push_back({std::string(text(t, "CLANDN")), std::string(text(t, "VRSTOBRACUNA")),
                               std::string(text(t, "VRSTAOBVEZNIKA")),
                               std::string(text(t, "OSNOVOBRA")), std::string(text(t, "STAZ"))});
            return true;
        }))
        return false;
    if (table.open() != result::Ok) return false;
    for (const Choice& c : choices) {
        const RateChoice choice{c.membership, c.calculationType, c.payerType, c.basis, c.mark};
        if (std::optional<ContributionRates> found = lookupRates(table, choice))
            rates_[rateKey(choice)] = *found;
    }
    table.close();
    return true;
}

bool TableLookups::load(Tables& tables, int currentYear) {
    static const char* const codeTables[] = {"VOB", "VUP", "OPC", "TBO", "STA"};
    for (int i = 0; i < CodeTables; ++i)
        if (!loadCodes(tables.access(codeTables[i]), static_cast<CodeTable>(i))) return false;
    return loadRules(tables.access("VEZ"), currentYear) && loadRates(tables.access("STO1"));
}

bool TableLookups::hasPayerType(std::string_view code) const {
    return codes_[PayerTypes].count(Packed().add(code, kCodeWidths[PayerTypes]).value()) > 0;
}
bool TableLookups::hasCalculationType(std::string_view code) const {
    return codes_[CalculationTypes].count(
               Packed().add(code, kCodeWidths[CalculationTypes]).value()) > 0;
}
bool TableLookups::hasMunicipality(std::string_view code) const {
    return codes_[Municipalities].count(Packed().add(code, kCodeWidths[Municipalities]).value()) >
           0;
}
bool TableLookups::hasInsuranceBasis(std::string_view code) const {
    return codes_[Bases].count(Packed().add(code, kCodeWidths[Bases]).value()) > 0;
}
bool TableLookups::hasServiceMark(std::string_view code) const {
    return codes_[Marks].count(Packed().add(code, kCodeWidths[Marks]).value()) > 0;
}

const ControlEntry* TableLookups::controlRule(const Combination& c) const {
    const auto it = rules_.find(ruleKey(c));
    return it == rules_.end() ? nullptr : &it->second;
}

std::optional<ContributionRates> TableLookups::rates(const RateChoice& choice) const {
    const auto it = rates_.find(rateKey(choice));
    if (it == rates_.end()) return std::nullopt;
    return it->second;
}

} // namespace mvz
