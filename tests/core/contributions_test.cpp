#include <gtest/gtest.h>

#include "data/csv_table_load.h"
#include "rules/contributions.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

Decimal d(const char* text) {
    return *Decimal::parse(text, 2);
}

TEST(Contributions, PillarsAreRoundedHalfAwayFromZero) {
    const struct {
        const char *p1, *p1b, *p2, *p2b, *base, *pillar1, *pillar2;
    } cases[] = {
        {"15.00", "5.00", "0.00", "0.00", "1234.56", "246.91", "0.00"}, // 246.912
        {"15.00", "0.00", "0.00", "0.00", "1000.25", "150.04", "0.00"}, // 150.0375
        {"15.00", "0.00", "5.00", "0.00", "6850.00", "1027.50", "342.50"},
        {"20.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00"},
        {"15.00", "0.00", "2.50", "2.50", "0.10", "0.02", "0.01"},          // 0.015, 0.005 up
        {"15.00", "0.00", "5.00", "0.00", "-1000.25", "-150.04", "-50.01"}, // away from zero
        {"15.00", "0.00", "5.00", "0.00", "1000.30", "150.05", "50.02"},    // 150.045, 50.015
        {"15.00", "0.00", "5.00", "0.00", "1000.10", "150.02", "50.01"},    // 150.015, 50.005
        {"17.25", "0.00", "0.00", "0.00", "1000.20", "172.53", "0.00"},     // 172.5345 down
    };
    for (const auto& c : cases) {
        const Contributions r =
            computeContributions({d(c.p1), d(c.p1b), d(c.p2), d(c.p2b)}, d(c.base));
        EXPECT_EQ(r.pillar1.toString(), c.pillar1) << c.base;
        EXPECT_EQ(r.pillar2.toString(), c.pillar2) << c.base;
        EXPECT_EQ(r.total, r.pillar1 + r.pillar2);
    }
}

TEST(Contributions, WidestTableValuesDoNotOverflow) {
    // Rates of 5 digits and a base of 15 digits: the product needs more than
    // 64 bits before the division by 100, the contribution itself does not.
    const Decimal top = d("999.99");
    const Decimal base = d("9999999999999.99");
    EXPECT_EQ(pillarContribution(top, top, base).toString(), "199997999999999.80");
    EXPECT_EQ(pillarContribution(top, top, -base).toString(), "-199997999999999.80");
    const Contributions c = computeContributions({top, top, top, top}, base);
    EXPECT_EQ(c.total.toString(), "399995999999999.60");
}

TEST(Contributions, RatesAreFoundByAllFiveValuesWithoutFallback) {
    TempDir dir;
    Station st(dir.str());
    TableAccess& rates = st.tables.access("STO1");
    ASSERT_TRUE(loadCsvText(rates,
                            "CLANDN,VRSTOBRACUNA,VRSTAOBVEZNIKA,OSNOVOBRA,STAZ,PRVISTUP1,"
                            "PRVISTUP2,DRUGISTUP1,DRUGISTUP2\n"
                            "D,01,31,01,0,15.00,0.00,5.00,0.00\n"
                            "N,01,31,01,0,20.00,0.00,0.00,0.00\n"
                            "D,01,31,01,1,15.00,1.50,5.00,0.25\n",
                            "rates.csv")
                    .ok);
    ASSERT_EQ(rates.open(), 0);
    const auto member = lookupRates(rates, {"D", "01", "31", "01", "0"});
    ASSERT_TRUE(member);
    EXPECT_EQ(member->pillar1First, d("15.00"));
    EXPECT_EQ(member->pillar2First, d("5.00"));
    const auto other = lookupRates(rates, {"N", "01", "31", "01", "0"});
    ASSERT_TRUE(other);
    EXPECT_EQ(other->pillar1First, d("20.00"));
    EXPECT_TRUE(other->pillar2First.isZero());
    const auto extended = lookupRates(rates, {"D", "01", "31", "01", "1"});
    ASSERT_TRUE(extended);
    EXPECT_EQ(extended->pillar1Second, d("1.50"));
    EXPECT_EQ(extended->pillar2Second, d("0.25"));
    // No row for the extended mark 1 of a non-member: nothing, not a near match.
    EXPECT_FALSE(lookupRates(rates, {"N", "01", "31", "01", "1"}));
    EXPECT_FALSE(lookupRates(rates, {"D", "01", "30", "01", "0"}));
    EXPECT_TRUE(st.reporter.boxes.empty());
}

Contributions computed(const char* p1, const char* p2) {
    return {d(p1), d(p2), d(p1) + d(p2)};
}

TEST(ContributionDifferences, ToleranceIsThreeHundredthsEitherWay) {
    const Contributions c = computed("246.91", "82.30");
    const struct {
        const char* entered;
        bool reported;
    } cases[] = {{"246.91", false}, {"246.94", false}, {"246.95", true}, {"246.88", false},
                 {"246.87", true},  {"0.00", false},   {"-5.00", false}};
    for (const auto& c1 : cases) {
        const auto p1 =
            contributionDifference(DifferenceCaller::InputCheck, DifferenceCheck::Pillar1,
                                   {d("1234.56"), d(c1.entered), d("82.30")}, c);
        EXPECT_EQ(p1.has_value(), c1.reported) << "pillar I " << c1.entered;
        const auto p2 = contributionDifference(
            DifferenceCaller::InputCheck, DifferenceCheck::Pillar2,
            {d("1234.56"), d("246.91"), d(c1.entered)}, computed("246.91", "246.91"));
        EXPECT_EQ(p2.has_value(), c1.reported) << "pillar II " << c1.entered;
    }
}

TEST(ContributionDifferences, BaseOfZeroIsNeverReported) {
    for (const char* base : {"0.00", "-100.00"})
        for (auto caller : {DifferenceCaller::InputCheck, DifferenceCaller::PaymentForms,
                            DifferenceCaller::FormalControl})
            EXPECT_TRUE(contributionDifferences(caller, {d(base), d("500.00"), d("300.00")},
                                                computed("0.00", "0.00"))
                            .empty())
                << base;
}

TEST(ContributionDifferences, NoRateRowComparesWithZero) {
    const Contributions zero = computedOrZero(std::nullopt, d("1000.00"));
    EXPECT_TRUE(zero.pillar1.isZero() && zero.pillar2.isZero() && zero.total.isZero());
    const auto found = contributionDifferences(DifferenceCaller::InputCheck,
                                               {d("1000.00"), d("0.04"), d("0.03")}, zero);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].check, DifferenceCheck::Pillar1);
    EXPECT_EQ(
        computedOrZero(ContributionRates{d("15.00"), d("0.00"), d("5.00"), d("0.00")}, d("1000.00"))
            .total,
        d("200.00"));
}

TEST(ContributionDifferences, EachCallerWordsItsReports) {
    // Entered 1234.56 + 100.00 against computed 1230.00 + 90.00 (total 1320.00).
    const EnteredContributions entered{d("8000.00"), d("1234.56"), d("100.00")};
    const Contributions c = computed("1230.00", "90.00");
    const struct {
        DifferenceCaller caller;
        DifferenceCheck check;
        bool error;
        const char* column;
        const char* text;
    } cases[] = {
        {DifferenceCaller::InputCheck, DifferenceCheck::Pillar1, false, "",
         "Upozorenje - razlika u obračunatom doprinosu I. stupa:   1,234.56  -   1,230.00"},
        {DifferenceCaller::InputCheck, DifferenceCheck::Pillar2, false, "",
         "Upozorenje - razlika u obračunatom doprinosu II stupa:     100.00  -      90.00"},
        {DifferenceCaller::PaymentForms, DifferenceCheck::Pillar1, false, "",
         "Upozorenje - razlika o obračunatom doprinosu I. stupa:   1,234.56  -   1,230.00"},
        {DifferenceCaller::PaymentForms, DifferenceCheck::Pillar2, false, "",
         "Upozorenje - razlika u obračunatom doprinosu II stupa:     100.00  -      90.00"},
        {DifferenceCaller::FormalControl, DifferenceCheck::Pillar1, false, "MV5IST1",
         "Upozorenje - razlika u obračunatom doprinosu I. stupa:   1,234.56  -   1,230.00"},
        {DifferenceCaller::FormalControl, DifferenceCheck::Pillar2, true, "MV5IST2",
         "Tip sloga 5. - Postoji razlika u obračunu doprinosa :    100.00  -      90.00"},
        {DifferenceCaller::FormalControl, DifferenceCheck::Total, true, "MV5IST2",
         "Upozorenje - razlika o ukupno obračunatom doprinosu :   1,334.56  -   1,320.00"},
    };
    for (const auto& c1 : cases) {
        const auto found = contributionDifference(c1.caller, c1.check, entered, c);
        ASSERT_TRUE(found) << c1.text;
        EXPECT_EQ(found->message, c1.text);
        EXPECT_EQ(found->error, c1.error) << c1.text;
        EXPECT_EQ(found->column, c1.column) << c1.text;
    }
    // The total is compared by the formal control only.
    EXPECT_EQ(contributionDifferences(DifferenceCaller::InputCheck, entered, c).size(), 2u);
    EXPECT_EQ(contributionDifferences(DifferenceCaller::PaymentForms, entered, c).size(), 2u);
    EXPECT_EQ(contributionDifferences(DifferenceCaller::FormalControl, entered, c).size(), 3u);
}

TEST(ContributionDifferences, TotalIsComparedEvenWithoutPillarAmounts) {
    // Both entered pillars 0 (so neither pillar is compared) against a
    // computed total: only the total reports.
    const auto found =
        contributionDifferences(DifferenceCaller::FormalControl,
                                {d("1000.00"), d("0.00"), d("0.00")}, computed("150.00", "50.00"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].check, DifferenceCheck::Total);
    // Within the tolerance in sum although each pillar is off by more.
    EXPECT_EQ(contributionDifferences(DifferenceCaller::FormalControl,
                                      {d("1000.00"), d("150.05"), d("49.97")},
                                      computed("150.00", "50.00"))
                  .size(),
              1u); // pillar I only
}

} // namespace
