#include <gtest/gtest.h>

#include <stdexcept>

#include "data/csv_table_load.h"
#include "rules/control_table.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

Decimal d(const char* text) {
    return *Decimal::parse(text, 2);
}

Decimal n(int value) {
    return Decimal::fromInteger(value);
}

const Combination kCombo{"31", "01", "01"};

// A rule with every field set to `code`.
ControlRule ruleOf(std::string_view code, Combination c = kCombo) {
    ControlRule r;
    r.combination = std::move(c);
    r.codes.fill(std::string(code));
    return r;
}

bool passes(const RuleLimits& limits, RuleField f, const Decimal& value,
            const PreviousAmounts& previous = {}) {
    return !checkRuleValue(limits, f, value, kCombo, previous);
}

TEST(ControlRules, EachCodeGivesItsLimits) {
    constexpr int year = 2010;
    const RuleLimits zero = evaluateRules(ruleOf("= 0 "), year);
    const RuleLimits zeroOrMore = evaluateRules(ruleOf(">=0 "), year);
    const RuleLimits above = evaluateRules(ruleOf(">0  "), year);
    const struct {
        RuleField field;
        const RuleLimits* limits;
        const char *lower, *upper;
    } cases[] = {
        {RuleField::Month, &zero, "0", "0"},
        {RuleField::Month, &zeroOrMore, "0", "12"},
        {RuleField::Month, &above, "1", "12"},
        {RuleField::PaymentMonth, &above, "1", "12"},
        {RuleField::Year, &zero, "0", "0"},
        {RuleField::Year, &zeroOrMore, "2004", "2011"},
        {RuleField::PaymentYear, &above, "2004", "2011"},
        {RuleField::DayFrom, &zeroOrMore, "0", "31"},
        {RuleField::DayTo, &above, "1", "31"},
        {RuleField::Gross, &zero, "0.00", "0.00"},
        {RuleField::Base, &zeroOrMore, "0.00", "999999999999999.00"},
        {RuleField::Net, &above, "0.01", "999999999999999.00"},
    };
    for (const auto& c : cases) {
        const auto& limit = c.limits->of(c.field);
        ASSERT_TRUE(limit) << ruleFieldName(c.field);
        EXPECT_EQ(limit->lower, *Decimal::parse(c.lower, 2)) << ruleFieldName(c.field);
        EXPECT_EQ(limit->upper, *Decimal::parse(c.upper, 2)) << ruleFieldName(c.field);
    }
    EXPECT_EQ(above.code(RuleField::Net), ">0");
    EXPECT_EQ(zero.code(RuleField::Net), "= 0");
}

TEST(ControlRules, BoundariesOfTheLimits) {
    const RuleLimits above = evaluateRules(ruleOf(">0  "), 2010);
    EXPECT_FALSE(passes(above, RuleField::Month, n(0)));
    EXPECT_TRUE(passes(above, RuleField::Month, n(1)));
    EXPECT_TRUE(passes(above, RuleField::Month, n(12)));
    EXPECT_FALSE(passes(above, RuleField::Month, n(13)));
    const RuleLimits zeroOrMore = evaluateRules(ruleOf(">=0 "), 2010);
    EXPECT_FALSE(passes(zeroOrMore, RuleField::Year, n(2003)));
    EXPECT_TRUE(passes(zeroOrMore, RuleField::Year, n(2004)));
    EXPECT_TRUE(passes(zeroOrMore, RuleField::Year, n(2011))); // the year after the current one
    EXPECT_FALSE(passes(zeroOrMore, RuleField::Year, n(2012)));
    EXPECT_FALSE(passes(zeroOrMore, RuleField::Gross, d("-0.01")));
    EXPECT_TRUE(passes(zeroOrMore, RuleField::Gross, d("0.00")));
    EXPECT_FALSE(passes(above, RuleField::Base, d("0.00")));
    EXPECT_TRUE(passes(above, RuleField::Base, d("0.01")));
    const RuleLimits zero = evaluateRules(ruleOf("= 0 "), 2010);
    EXPECT_TRUE(passes(zero, RuleField::Net, d("0.00")));
    const auto finding = checkRuleValue(zero, RuleField::Net, d("0.01"), kCombo);
    ASSERT_TRUE(finding);
    EXPECT_EQ(finding->message, "Greška - Iznos ispaćene plaće mora biti = 0. Provjerite "
                                "kontrolnu tablicu za VOB=31 VOI=01 OO=01");
    // The current year is the one the evaluation is given.
    EXPECT_TRUE(passes(evaluateRules(ruleOf(">0  "), 2030), RuleField::Year, n(2031)));
}

TEST(ControlRules, OtherCodesAndMissingRowsSetNoLimit) {
    for (const char* code : {"<=>0", "    ", "", "> 0 ", "=0  ", "x"}) {
        const RuleLimits limits = evaluateRules(ruleOf(code), 2010);
        for (int f = 0; f < kRuleFieldCount; ++f)
            EXPECT_FALSE(limits.of(static_cast<RuleField>(f))) << '"' << code << '"';
        EXPECT_FALSE(
            firstRuleFinding(limits, RowValues{.month = 99, .gross = d("-5.00")}, kCombo, {}))
            << '"' << code << '"';
    }
    // Limits never carry over: after a strict rule, a row with other codes
    // compares nothing.
    ControlRule mixed = ruleOf(">0  ");
    mixed.code(RuleField::Base) = "<=>0";
    const RuleLimits strict = evaluateRules(ruleOf(">0  "), 2010);
    EXPECT_FALSE(passes(strict, RuleField::Base, d("0.00")));
    const RuleLimits after = evaluateRules(mixed, 2010);
    EXPECT_TRUE(passes(after, RuleField::Base, d("0.00")));
    EXPECT_FALSE(passes(after, RuleField::Gross, d("0.00")));
    for (int f = 0; f < kRuleFieldCount; ++f)
        EXPECT_FALSE(noLimits().of(static_cast<RuleField>(f)));
}

TEST(ControlRules, EachFieldHasItsMessage) {
    const Combination c{"30", "03", "10"};
    const std::string ref = "Provjerite kontrolnu tablicu za VOB=30 VOI=03 OO=10";
    const struct {
        RuleField field;
        std::string text;
    } cases[] = {
        {RuleField::Month, "Greška - obračunski mjesec mora biti >0 " + ref},
        {RuleField::Year, "Greška - obračunska godina. " + ref},
        {RuleField::DayFrom, "Greška - razdoblje od mora biti >0. " + ref},
        {RuleField::DayTo, "Greška - razdoblje do mora biti >0. " + ref},
        {RuleField::Gross, "Greška - Iznos obračunane plaće mora biti >0. " + ref},
        {RuleField::Base, "Greška - Osnovica za doprinose mora biti >0. " + ref},
        {RuleField::Pillar1, "Greška - Iznos doprinosa za I. stup mora biti >0. " + ref},
        {RuleField::Pillar2, "Greška - Iznos doprinosa za II.stup mora biti >0. " + ref},
        {RuleField::Net, "Greška - Iznos ispaćene plaće mora biti >0. " + ref},
    };
    const RuleLimits limits = evaluateRules(ruleOf(">0  ", c), 2010);
    for (const auto& t : cases) {
        const auto finding = checkRuleValue(limits, t.field, n(0), c);
        ASSERT_TRUE(finding) << ruleFieldName(t.field);
        EXPECT_EQ(finding->message, t.text);
        EXPECT_EQ(finding->code, ">0");
        EXPECT_EQ(finding->field, t.field);
    }
    EXPECT_EQ(composeRuleMessage("Tip sloga 5. - Iznos doprinosa za II.stup mora biti ",
                                 RuleField::Pillar2, ">=0", c),
              "Tip sloga 5. - Iznos doprinosa za II.stup mora biti >=0. " + ref);
    EXPECT_EQ(missingCombinationWarning(c), "Upozorenje. Navedena kombinacija VOB=30 VOI=03 "
                                            "OO=10 nije uvedena u kontrolnu tablicu");
}

TEST(ControlRules, RowIsComparedInOrder) {
    const RuleLimits limits = evaluateRules(ruleOf(">0  "), 2010);
    const RowValues good{.month = 3,
                         .year = 2010,
                         .dayFrom = 1,
                         .dayTo = 31,
                         .gross = d("100.00"),
                         .base = d("100.00"),
                         .pillar1 = d("15.00"),
                         .pillar2 = d("5.00"),
                         .net = d("70.00")};
    EXPECT_FALSE(firstRuleFinding(limits, good, kCombo, {}));
    // Break each value in turn, from the last to the first: the earliest
    // broken value is the one reported.
    RowValues row = good;
    const struct {
        RuleField field;
        void (*breakIt)(RowValues&);
    } steps[] = {
        {RuleField::Net, [](RowValues& r) { r.net = d("0.00"); }},
        {RuleField::Pillar2, [](RowValues& r) { r.pillar2 = d("0.00"); }},
        {RuleField::Pillar1, [](RowValues& r) { r.pillar1 = d("0.00"); }},
        {RuleField::Base, [](RowValues& r) { r.base = d("0.00"); }},
        {RuleField::Gross, [](RowValues& r) { r.gross = d("0.00"); }},
        {RuleField::DayTo, [](RowValues& r) { r.dayTo = 32; }},
        {RuleField::DayFrom, [](RowValues& r) { r.dayFrom = 0; }},
        {RuleField::Year, [](RowValues& r) { r.year = 2012; }},
        {RuleField::Month, [](RowValues& r) { r.month = 13; }},
    };
    for (const auto& s : steps) {
        s.breakIt(row);
        const auto first = firstRuleFinding(limits, row, kCombo, {});
        ASSERT_TRUE(first);
        EXPECT_EQ(first->field, s.field);
    }
    // Batch callers see every finding, in the same order; the payment year
    // and month only when they ask for them.
    const auto all = ruleFindings(limits, row, kCombo, {});
    ASSERT_EQ(all.size(), 9u);
    for (std::size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(all[i].field, kRowCheckOrder[i]);
    const RuleField payment[] = {RuleField::PaymentYear, RuleField::PaymentMonth};
    EXPECT_EQ(ruleFindings(limits, row, kCombo, {}, payment).size(), 2u);
}

TEST(ControlRules, EarlierPositiveAmountExemptsAZeroAmount) {
    const RuleLimits above = evaluateRules(ruleOf(">0  "), 2010);
    PreviousAmounts previous;
    EXPECT_FALSE(passes(above, RuleField::Gross, d("0.00"), previous));
    previous.takePositive({.gross = d("500.00"), .base = d("-1.00")});
    EXPECT_TRUE(passes(above, RuleField::Gross, d("0.00"), previous));
    // Only exactly 0 and only for the column that was paid.
    EXPECT_FALSE(passes(above, RuleField::Gross, d("-0.01"), previous));
    EXPECT_FALSE(passes(above, RuleField::Base, d("0.00"), previous));
    // A rule of "= 0" is not relaxed by an earlier payment.
    EXPECT_FALSE(
        passes(evaluateRules(ruleOf("= 0 "), 2010), RuleField::Gross, d("1.00"), previous));
    // A later row's positive amount replaces the remembered one; zero keeps it.
    previous.takePositive({.gross = d("0.00"), .net = d("7.00")});
    EXPECT_EQ(previous.gross, d("500.00"));
    EXPECT_EQ(previous.net, d("7.00"));
}

TEST(ControlRules, CalculationTypes88And99SkipTheTable) {
    EXPECT_TRUE(skipsControlTable("88"));
    EXPECT_TRUE(skipsControlTable("99"));
    EXPECT_FALSE(skipsControlTable("01"));
    EXPECT_FALSE(skipsControlTable("9"));
}

// ---- Maintenance ----

class ControlTableMaintenanceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        load("VUP", "SIFRA,SKROPIS,OPIS\n"
                    "01,Mjesečni,Redovni mjesečni obračun\n"
                    "03,Godišnji,Godišnji obračun doprinosa\n");
        load("TBO", "SIFRA,SKROPIS,OPIS\n"
                    "01,Radni odnos,Osiguranik u radnom odnosu\n"
                    "02,Nepuno,Nepuno radno vrijeme\n");
        load("VEZ", "VOB,VOI,OO,OBRMJE,GODINA,DANOD,DANDO,PLAGOD,PLAMJE,IZNOS7,IZNOS8,IZNOS9,"
                    "IZNOS10,IZNOS11\n"
                    "31,01,01,>0,>0,>0,>0,>0,>0,>0,>0,>0,>=0,>0\n"
                    "31,03,01,= 0,>0,= 0,= 0,>0,>0,>0,>0,>0,>=0,>0\n");
        load("STA2", "VOB,VOI,NAZIV\n31,01,stari naziv\n31,03,Godišnji\n");
        load("STA3", "VOI,OO,VOB,NAZIV\n01,01,31,stari naziv\n");
        st.reporter.clear();
    }
    void load(const char* table, const char* csv) {
        ASSERT_TRUE(loadCsvText(st.tables.access(table), csv, std::string(table) + ".csv").ok);
    }
    std::vector<std::string> labels(const char* table) {
        TableAccess& t = st.tables.access(table);
        EXPECT_EQ(t.open(), result::Ok);
        std::vector<std::string> out;
        t.setOrder(t.def().primaryKey());
        t.setStart();
        while (t.next() == result::Ok) {
            std::string line;
            for (const char* f : {"VOB", "VOI", "OO", "NAZIV"})
                if (t.def().fieldIndex(f) >= 0) line += get(t, f) + (f[0] == 'N' ? "" : "/");
            out.push_back(line);
        }
        t.close();
        return out;
    }
    std::int64_t ruleCount() {
        TableAccess& t = st.tables.access("VEZ");
        t.open();
        const std::int64_t n = t.count();
        t.close();
        return n;
    }

    TempDir dir;
    Station st{dir.str()};
    ControlTableMaintenance service{st.tables};
};

TEST_F(ControlTableMaintenanceTest, InsertAddsRuleAndLabels) {
    ControlRule rule = ruleOf(">=0 ", {"31", "01", "02"});
    ASSERT_EQ(service.insert(rule), result::Ok);
    EXPECT_EQ(ruleCount(), 3);
    const auto read = service.read({"31", "01", "02"});
    ASSERT_TRUE(read);
    EXPECT_EQ(read->code(RuleField::Net), ">=0 ");
    // The level-2 label is rewritten with the calculation type's description.
    EXPECT_EQ(labels("STA2"),
              (std::vector<std::string>{"31/01/Redovni mjesečni obračun", "31/03/Godišnji"}));
    EXPECT_EQ(labels("STA3"),
              (std::vector<std::string>{"31/01/01/stari naziv", "31/01/02/Nepuno radno vrijeme"}));
    EXPECT_TRUE(st.reporter.boxes.empty());
}

TEST_F(ControlTableMaintenanceTest, InsertingAnExistingCombinationRewritesItInPlace) {
    TableAccess& rules = st.tables.access("VEZ");
    ASSERT_EQ(rules.open(), result::Ok);
    ASSERT_TRUE(readControlRule(rules, kCombo));
    const std::int64_t position = rules.position();
    rules.close();

    ControlRule rule = ruleOf("= 0 ");
    rule.code(RuleField::Month) = ">0"; // stored padded
    ASSERT_EQ(service.insert(rule), result::Ok);
    EXPECT_TRUE(st.reporter.boxes.empty()); // no duplicate-key message
    EXPECT_EQ(ruleCount(), 2);
    ASSERT_EQ(rules.open(), result::Ok);
    const auto read = readControlRule(rules, kCombo);
    ASSERT_TRUE(read);
    EXPECT_EQ(rules.position(), position);
    EXPECT_EQ(read->code(RuleField::Month), ">0  ");
    EXPECT_EQ(read->code(RuleField::Net), "= 0 ");
    rules.close();
    EXPECT_EQ(labels("STA3"), (std::vector<std::string>{"31/01/01/Osiguranik u radnom odnosu"}));
}

TEST_F(ControlTableMaintenanceTest, DeleteRemovesTheLevel3LabelOnly) {
    ASSERT_EQ(service.remove(kCombo), result::Ok);
    EXPECT_EQ(ruleCount(), 1);
    EXPECT_FALSE(service.read(kCombo));
    EXPECT_TRUE(labels("STA3").empty());
    // The level-2 label stays although no rule of 31/01 is left.
    EXPECT_EQ(labels("STA2"), (std::vector<std::string>{"31/01/stari naziv", "31/03/Godišnji"}));
    // Nothing left to delete: the failure is told, nothing changes.
    EXPECT_NE(service.remove(kCombo), result::Ok);
    EXPECT_EQ(st.reporter.lastBox().title, "Record Retrieval Error");
    EXPECT_EQ(ruleCount(), 1);
}

TEST_F(ControlTableMaintenanceTest, ChangeMovesTheRuleAndItsLabel) {
    ASSERT_EQ(service.change(kCombo, ruleOf(">0  ", {"31", "01", "02"})), result::Ok);
    EXPECT_FALSE(service.read(kCombo));
    ASSERT_TRUE(service.read({"31", "01", "02"}));
    EXPECT_EQ(ruleCount(), 2);
    EXPECT_EQ(labels("STA3"), (std::vector<std::string>{"31/01/02/Nepuno radno vrijeme"}));
}

TEST_F(ControlTableMaintenanceTest, FailedChangeLeavesRuleAndLabelsAsTheyWere) {
    // Moving 31/01/01 onto 31/03/01, which has a rule: the row's change is
    // refused after the labels were written, and all of it is undone.
    const auto before2 = labels("STA2");
    const auto before3 = labels("STA3");
    EXPECT_NE(service.change(kCombo, ruleOf("= 0 ", {"31", "03", "01"})), result::Ok);
    EXPECT_FALSE(st.reporter.boxes.empty());
    EXPECT_EQ(labels("STA2"), before2);
    EXPECT_EQ(labels("STA3"), before3);
    const auto kept = service.read(kCombo);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->code(RuleField::Net), ">0  ");
    EXPECT_EQ(service.read({"31", "03", "01"})->code(RuleField::Month), "= 0 ");
}

TEST_F(ControlTableMaintenanceTest, OnlyTheThreeCodesAreWritten) {
    ControlRule rule = ruleOf(">0  ", {"31", "01", "02"});
    rule.code(RuleField::Base) = "<=>0";
    EXPECT_THROW(service.insert(rule), std::invalid_argument);
    EXPECT_EQ(ruleCount(), 2);
    EXPECT_EQ(labels("STA3").size(), 1u);
}

} // namespace
