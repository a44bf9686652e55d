// The rule window's service: adding, changing and deleting control-table
// rules together with the labels of the control-table tree.

#include <stdexcept>

#include "data/error_reporter.h"
#include "data/table_work.h"
#include "data/tables.h"
#include "rules/control_table.h"

namespace mvz {

namespace {

void setText(Record& r, const char* field, std::string_view value) {
    r.setText(r.def().fieldIndex(field), value);
}

void setCombination(Record& r, const Combination& c, bool withBasis = true) {
    setText(r, "VOB", c.vob);
    setText(r, "VOI", c.voi);
    if (withBasis) setText(r, "OO", c.oo);
}

bool notFound(const TableAccess& t) {
    return t.lastError().code == err::RecordNotFound;
}

// The long description of a code (OPIS), blank when the code is not in its table.
std::string describe(TableAccess& codes, std::string_view code) {
    Record& r = codes.record();
    r.clear();
    setText(r, "SIFRA", code);
    if (codes.fetch(codes.def().keyIndex("KEYSIFRA")) != result::Ok) return {};
    return std::string(r.text(codes.def().fieldIndex("OPIS")));
}

// Rewrites the label with the key the buffer's `fill` sets, or adds it.
template <typename Fill>
int writeLabel(TableAccess& labels, const char* key, Fill fill, std::string_view text) {
    Record& r = labels.record();
    r.clear();
    fill(r);
    if (labels.fetch(labels.def().keyIndex(key)) == result::Ok) {
        setText(r, "NAZIV", text);
        return labels.change();
    }
    if (!notFound(labels)) return result::Failed;
    r.clear();
    fill(r);
    setText(r, "NAZIV", text);
    return labels.add();
}

int writeLabels(TableAccess& level2, TableAccess& level3, const Combination& c,
                std::string_view typeText, std::string_view basisText) {
    int r = writeLabel(
        level2, "KEYVOB_VOI", [&](Record& rec) { setCombination(rec, c, false); }, typeText);
    if (r != result::Ok) return r;
    return writeLabel(
        level3, "KEYOO", [&](Record& rec) { setCombination(rec, c); }, basisText);
}

// Deletes the level-3 label of a combination when there is one.
int removeLabel(TableAccess& level3, const Combination& c, bool& found) {
    Record& r = level3.record();
    r.clear();
    setCombination(r, c);
    found = false;
    if (level3.fetch(level3.def().keyIndex("KEYOO")) != result::Ok)
        return notFound(level3) ? result::Ok : result::Failed;
    found = true;
    return level3.remove();
}

void setRule(Record& r, const ControlRule& rule) {
    setCombination(r, rule.combination);
    for (int f = 0; f < kRuleFieldCount; ++f)
        setText(r, std::string(ruleFieldName(static_cast<RuleField>(f))).c_str(), rule.codes[f]);
}

void requireRuleCodes(const ControlRule& rule) {
    for (int f = 0; f < kRuleFieldCount; ++f)
        if (!isRuleCode(rule.codes[f]))
            throw std::invalid_argument("not a control-table rule code: \"" + rule.codes[f] +
                                        "\" for " +
                                        std::string(ruleFieldName(static_cast<RuleField>(f))));
}

bool fetchRule(TableAccess& rules, const Combination& c) {
    Record& r = rules.record();
    r.clear();
    setCombination(r, c);
    return rules.fetch(rules.def().keyIndex("KEYVOB_VOI")) == result::Ok;
}

} // namespace

ControlTableMaintenance::ControlTableMaintenance(Tables& tables) : tables_(tables) {}

std::optional<ControlRule> ControlTableMaintenance::read(const Combination& c) {
    TableAccess& rules = tables_.access("VEZ");
    TableWork work(tables_);
    if (!work.open(rules)) return std::nullopt;
    return readControlRule(rules, c);
}

struct ControlTableMaintenance::RuleWrite {
    explicit RuleWrite(Tables& tables);
    TableWork work;
    TableAccess &rules, &level2, &level3;
    std::string typeText, basisText;
};

ControlTableMaintenance::RuleWrite::RuleWrite(Tables& tables)
    : work(tables), rules(tables.access("VEZ")), level2(tables.access("STA2")),
      level3(tables.access("STA3")) {}

bool ControlTableMaintenance::beginRuleWrite(RuleWrite& w, const Combination& c) {
    TableAccess& types = tables_.access("VUP");
    TableAccess& bases = tables_.access("TBO");
    for (TableAccess* t : {&w.rules, &w.level2, &w.level3, &types, &bases})
        if (!w.work.open(*t)) return false;
    w.typeText = describe(types, c.voi);
    w.basisText = describe(bases, c.oo);
    return w.work.begin({&w.rules, &w.level2, &w.level3});
}

int ControlTableMaintenance::insert(const ControlRule& rule) {
    requireRuleCodes(rule);
    RuleWrite w(tables_);
    if (!beginRuleWrite(w, rule.combination)) return result::Failed;
    TableWork& work = w.work;
    TableAccess& rules = w.rules;
    if (int r = writeLabels(w.level2, w.level3, rule.combination, w.typeText, w.basisText))
        return r;
    // A combination that has a rule already gets its rule rewritten in place.
    int r;
    if (fetchRule(rules, rule.combination)) {
        setRule(rules.record(), rule);
        r = rules.change();
    } else {
        if (!notFound(rules)) return result::Failed;
        rules.record().clear();
        setRule(rules.record(), rule);
        r = rules.add();
    }
    if (r != result::Ok) return r;
    return work.commit(rules, 25);
}

int ControlTableMaintenance::change(const Combination& original, const ControlRule& rule) {
    requireRuleCodes(rule);
    RuleWrite w(tables_);
    if (!beginRuleWrite(w, rule.combination)) return result::Failed;
    TableWork& work = w.work;
    TableAccess& rules = w.rules;
    if (!fetchRule(rules, original)) {
        if (notFound(rules)) work.report(rules, rules.lastError(), 1);
        return result::Failed;
    }
    if (int r = writeLabels(w.level2, w.level3, rule.combination, w.typeText, w.basisText))
        return r;
    if (!(original == rule.combination)) {
        bool found;
        if (int r = removeLabel(w.level3, original, found)) return r;
    }
    // The buffer still holds the stored rule: the change replaces its values.
    setRule(rules.record(), rule);
    if (int r = rules.change()) return r;
    return work.commit(rules, 25);
}

int ControlTableMaintenance::remove(const Combination& c) {
    TableAccess& rules = tables_.access("VEZ");
    TableAccess& level3 = tables_.access("STA3");
    TableWork work(tables_);
    for (TableAccess* t : {&rules, &level3})
        if (!work.open(*t)) return result::Failed;
    if (!work.begin({&rules, &level3})) return result::Failed;
    const bool hasRule = fetchRule(rules, c);
    if (!hasRule && !notFound(rules)) return result::Failed;
    if (hasRule)
        if (int r = rules.remove()) return r;
    bool hadLabel;
    if (int r = removeLabel(level3, c, hadLabel)) return r;
    if (!hasRule && !hadLabel) {
        work.report(rules, StorageError::of(err::RecordNotFound, rules.def().fileName), 1);
        return result::Failed;
    }
    return work.commit(rules, 11);
}

} // namespace mvz
