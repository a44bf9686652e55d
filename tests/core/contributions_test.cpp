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
        {"15.00", "0.00", "2.50", "2.50", "0.10", "0.02", "0.01"}, // 0.015, 0.005 up
    };
    for (const auto& c : cases) {
        const Contributions r =
            computeContributions({d(c.p1), d(c.p1b), d(c.p2), d(c.p2b)}, d(c.base));
        EXPECT_EQ(r.pillar1.toString(), c.pillar1) << c.base;
        EXPECT_EQ(r.pillar2.toString(), c.pillar2) << c.base;
        EXPECT_EQ(r.total, r.pillar1 + r.pillar2);
    }
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

} // namespace
