// Pages of a list read through the key: ranges, both directions, locators,
// the thumb, and that only the rows of a page are read.
#include <gtest/gtest.h>

#include "data/bulk_insert.h"
#include "support/table_fixture.h"
#include "ui_model/browse_pager.h"
#include "ui_model/filter_expression.h"

using namespace mvz;
using namespace mvz::test;

namespace {

std::string jmbg(int employer, int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%011d", employer, i * 10);
    return buf;
}

class BrowsePagerTest : public ::testing::Test {
  protected:
    TempDir dir;
    Station st{dir.str()};
    TableAccess& rad = st.tables.access("RAD");
    BrowsePager pager{rad};

    void SetUp() override {
        ASSERT_EQ(rad.open(), 0);
        ASSERT_FALSE(st.tables.storage().begin({rad.file()}));
        BulkInsert insert(*rad.file());
        for (int employer = 1; employer <= 3; ++employer)
            for (int i = 1; i <= 50; ++i) {
                rad.record().clear();
                rad.record().setInteger(rad.def().fieldIndex("REDBROJ"), employer);
                rad.record().setText(rad.def().fieldIndex("JMBG"), jmbg(employer, i));
                rad.record().setText(rad.def().fieldIndex("PREZIME"),
                                     "Prezime " + std::to_string(i));
                ASSERT_FALSE(insert.add(rad.record()));
            }
        ASSERT_FALSE(st.tables.storage().commit());
        pager.setOrder(rad.def().keyIndex("KEYRBRFIRME"));
    }

    void rangeOfEmployer(int employer) {
        Record values(rad.def());
        values.setInteger(rad.def().fieldIndex("REDBROJ"), employer);
        pager.setRange(values, 1);
    }

    std::vector<std::string> ids(const std::vector<ListRow>& rows) {
        std::vector<std::string> out;
        Record r(rad.def());
        for (const ListRow& row : rows) {
            r.assign(row.image);
            out.push_back(r.display(rad.def().fieldIndex("JMBG")));
        }
        return out;
    }
};

TEST_F(BrowsePagerTest, RangeKeepsEveryReadInsideOneEmployer) {
    rangeOfEmployer(2);
    EXPECT_EQ(pager.freeField(), rad.def().fieldIndex("JMBG")); // the locator's component
    auto first = pager.first(5);
    EXPECT_EQ(ids(first), (std::vector<std::string>{jmbg(2, 1), jmbg(2, 2), jmbg(2, 3), jmbg(2, 4),
                                                    jmbg(2, 5)}));
    auto last = pager.last(3);
    EXPECT_EQ(ids(last), (std::vector<std::string>{jmbg(2, 48), jmbg(2, 49), jmbg(2, 50)}));
    // Past the end and before the start of the range: nothing of employer 1 or 3.
    EXPECT_TRUE(pager.after(last.back(), 10).empty());
    EXPECT_TRUE(pager.before(first.front(), 10).empty());
    EXPECT_EQ(ids(pager.after(first[1], 2)), (std::vector<std::string>{jmbg(2, 3), jmbg(2, 4)}));
    EXPECT_EQ(ids(pager.before(last[0], 2)), (std::vector<std::string>{jmbg(2, 46), jmbg(2, 47)}));

    // A page at the last row is filled backwards and keeps that row current.
    BrowsePager::Page page = pager.pageAt(last.back(), 10);
    ASSERT_EQ(page.rows.size(), 10u);
    EXPECT_EQ(page.current, 9);
    EXPECT_EQ(ids(page.rows).front(), jmbg(2, 41));
    // Beyond the range's end: the last page, the last row current.
    page = pager.pageAt(*pager.locateValue("99"), 4);
    EXPECT_EQ(ids(page.rows).back(), jmbg(2, 50));
    EXPECT_EQ(page.current, 3);
}

TEST_F(BrowsePagerTest, ReadsOnlyWhatAPageNeeds) {
    rangeOfEmployer(3);
    const std::int64_t before = pager.rowsRead();
    auto page = pager.first(10);
    // One row past the page at most (to see where the range ends).
    EXPECT_LE(pager.rowsRead() - before, 11);
    const std::int64_t mid = pager.rowsRead();
    pager.after(page.back(), 10);
    EXPECT_LE(pager.rowsRead() - mid, 11);
}

TEST_F(BrowsePagerTest, LocatorSearchesTheFreeComponent) {
    rangeOfEmployer(1);
    // Typed digits of an identifier: the first one not less than them.
    auto rows = pager.from(*pager.locateValue("0100000000125"), 1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(ids(rows)[0], jmbg(1, 13));
    rows = pager.from(*pager.locateValue("01"), 1);
    EXPECT_EQ(ids(rows)[0], jmbg(1, 1));

    // Without a range the first component (the employer number) is searched.
    pager.setOrder(rad.def().keyIndex("KEYRBRFIRME"));
    EXPECT_FALSE(pager.locateValue("x")); // not a number
    rows = pager.from(*pager.locateValue("3"), 1);
    EXPECT_EQ(ids(rows)[0], jmbg(3, 1));
}

TEST_F(BrowsePagerTest, FilterSkipsRowsAndThumbFollowsTheKey) {
    rangeOfEmployer(2);
    const int id = rad.def().fieldIndex("JMBG");
    pager.setFilter(
        [&](const Record& r) { return r.display(id).back() == '0' && r.display(id)[11] % 2 == 0; });
    auto rows = pager.first(3);
    EXPECT_EQ(ids(rows), (std::vector<std::string>{jmbg(2, 2), jmbg(2, 4), jmbg(2, 6)}));
    pager.setFilter({});

    pager.setOrder(rad.def().keyIndex("KEYRBRFIRME"));
    ListRow low = pager.first(1).front(), high = pager.last(1).front();
    auto middle = pager.from(*pager.locateValue("2"), 1).front();
    EXPECT_NEAR(pager.fractionOf(middle, low, high), 0.5, 0.01);
    EXPECT_EQ(pager.fractionOf(low, low, high), 0.0);
    EXPECT_EQ(pager.fractionOf(high, low, high), 1.0);
    // Dragging the thumb to the middle of the key lands on employer 2.
    auto landed = pager.from(*pager.valueAtFraction(0.5, low, high), 1).front();
    EXPECT_EQ(ids({landed})[0], jmbg(2, 1));
}

TEST(BrowsePagerText, LocatorOnNamesFollowsTheAlphabet) {
    TempDir dir;
    Station st{dir.str()};
    TableAccess& opc = st.tables.access("OPC");
    ASSERT_EQ(opc.open(), 0);
    int n = 0;
    for (const char* name :
         {"Karlovac", "Kastav", "Koprivnica", "Korčula", "Kutina", "Zagreb", "Čakovec", "Osijek"}) {
        opc.record().clear();
        set(opc, "NAZIV", name);
        set(opc, "SIFRA", std::to_string(1000 + ++n));
        ASSERT_EQ(opc.add(), 0);
    }
    BrowsePager pager(opc);
    pager.setOrder(opc.def().keyIndex("KEYNAZIV"));
    auto nameAt = [&](const std::string& typed) {
        auto rows = pager.from(*pager.locateValue(typed), 1);
        Record r(opc.def());
        r.assign(rows.at(0).image);
        return r.display(opc.def().fieldIndex("NAZIV"));
    };
    EXPECT_EQ(nameAt("KO"), "Koprivnica");
    EXPECT_EQ(nameAt("K"), "Karlovac");
    EXPECT_EQ(nameAt("kor"), "Korčula"); // typed in lower case
    EXPECT_EQ(nameAt("C"), "Čakovec");   // C before Č in the alphabet
    EXPECT_EQ(nameAt("Z"), "Zagreb");
    EXPECT_TRUE(pager.from(*pager.locateValue("Ž"), 1).empty()); // past the last name
}

TEST(FilterExpression, ComparisonsJoinedByAnd) {
    auto terms = parseFilterExpression("(RAD:RedBroj=GLO:Firma) AND (UPPER(RAD:PREZIME)>='K')");
    ASSERT_EQ(terms.size(), 2u);
    EXPECT_EQ(terms[0].left.text, "RAD:RedBroj");
    EXPECT_EQ(terms[0].op, FilterOp::Equal);
    EXPECT_EQ(terms[0].right.text, "GLO:Firma");
    EXPECT_TRUE(terms[1].left.upper);
    EXPECT_EQ(terms[1].op, FilterOp::GreaterEqual);
    EXPECT_EQ(terms[1].right.kind, FilterOperand::Kind::Literal);
    EXPECT_EQ(terms[1].right.text, "K");
    EXPECT_EQ(parseFilterExpression("OSI:KonVeza = A:konVeza").size(), 1u);
    for (const char* bad : {"(RAD:RedBroj=", "RAD:RedBroj", "(A=B", "A=B OR C=D", "A=B AND"})
        EXPECT_THROW(parseFilterExpression(bad), FilterExpressionError) << bad;

    EXPECT_TRUE(compareFilterValues("12", FilterOp::Equal, "12.00"));
    EXPECT_TRUE(compareFilterValues("9", FilterOp::Less, "10")); // numbers as numbers
    EXPECT_TRUE(compareFilterValues("abc  ", FilterOp::Equal, "abc"));
    EXPECT_FALSE(compareFilterValues("čup", FilterOp::Equal, "ČUP"));
    EXPECT_TRUE(compareFilterValues("čup", FilterOp::Equal, "ČUP", true));
}

} // namespace
