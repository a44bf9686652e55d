#include <gtest/gtest.h>

#include <fmt/format.h>

#include "submission/page_b_rows.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

class PageBRowsTest : public ::testing::Test {
  protected:
    TempDir dir;
    Station st{dir.str()};

    TableAccess& table(const char* name) { return st.open(name); }

    void addRow(const std::string& linkKey, const std::string& id, const std::string& name) {
        TableAccess& osi = table("OSI");
        osi.record().clear();
        set(osi, "JMBG", id);
        set(osi, "PREZIME", name);
        set(osi, "OPCINA", "0133");
        set(osi, "OBRRAZD1", "1");
        set(osi, "OBRRAZD2", "31");
        set(osi, "IZNOS7", "100.00");
        set(osi, "GODOBRA", "2010");
        set(osi, "OBRMJE", "5");
        set(osi, "IDENTIFIKATOR", linkKey.substr(0, 7));
        set(osi, "VRSUPL", linkKey.substr(7));
        set(osi, "KONVEZA", linkKey);
        ASSERT_EQ(osi.add(), 0);
    }

    // Identifiers (or names) of the prepared rows in print order.
    std::vector<std::string> printed(const std::string& linkKey, PageBOrder order,
                                     const char* field = "JMBG") {
        std::vector<std::string> out;
        const TableDef& def = *findTable("OSI2");
        const long long n = forEachPreparedRow(st.tables, linkKey, order, [&](const Record& r) {
            out.push_back(r.display(def.fieldIndex(field)));
            return true;
        });
        EXPECT_EQ(n, static_cast<long long>(out.size()));
        return out;
    }
};

TEST_F(PageBRowsTest, TheLastSheetIsFilledUpToTwelveRows) {
    for (int i = 0; i < 25; ++i)
        addRow("007000101", fmt::format("0101990{:06}", i), fmt::format("Osoba {:02}", i));
    for (int i = 0; i < 12; ++i)
        addRow("007000201", fmt::format("0202990{:06}", i), "Druga");

    const PageBPreparation p = preparePageB(st.tables, "007000101", PageBOrder::Rows);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.rows, 25);
    EXPECT_EQ(p.fillers, 11);
    TableAccess& work = table("OSI2");
    EXPECT_EQ(work.count(), 36);

    const std::vector<std::string> ids = printed("007000101", PageBOrder::Rows);
    ASSERT_EQ(ids.size(), 36u);
    EXPECT_EQ(ids[24], "0101990000024");
    EXPECT_EQ(ids[25], "9999999999901");
    EXPECT_EQ(ids[35], "9999999999911");
    // A filler carries the form's names and nothing of a person.
    work.setOrder(work.def().keyIndex("KEYOBRGODMJE"));
    work.setStart();
    while (work.next() == 0 && get(work, "JMBG") != "9999999999905") {
    }
    EXPECT_EQ(get(work, "KONVEZA"), "007000101");
    EXPECT_EQ(get(work, "IDENTIFIKATOR"), "0070001");
    EXPECT_EQ(get(work, "PREZIME"), "");
    EXPECT_EQ(get(work, "IZNOS7"), "0.00");
    EXPECT_EQ(get(work, "OBRRAZD1"), "0");
    EXPECT_TRUE(isFillerIdentifier(work.record().text(work.def().fieldIndex("JMBG"))));

    // A form of whole sheets gets no fillers; the work table holds one form.
    const PageBPreparation whole = preparePageB(st.tables, "007000201", PageBOrder::Rows);
    ASSERT_TRUE(whole.ok);
    EXPECT_EQ(whole.rows, 12);
    EXPECT_EQ(whole.fillers, 0);
    EXPECT_EQ(work.count(), 12);
    EXPECT_TRUE(st.reporter.boxes.empty());
}

TEST_F(PageBRowsTest, FillersPrintAfterTheRealRowsInBothOrders) {
    addRow("007000101", "MBROJ12345678", "Žarko Tomić");
    addRow("007000101", "  12345678903", "Ana Anić");
    addRow("007000101", "J123456789012", "Tomislav Šimić");
    addRow("007000101", "0101990330001", "Šandor Babić");

    ASSERT_TRUE(preparePageB(st.tables, "007000101", PageBOrder::Rows).ok);
    const std::vector<std::string> rows = printed("007000101", PageBOrder::Rows);
    ASSERT_EQ(rows.size(), 12u);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(isFillerIdentifier(rows[i])) << i << " " << rows[i];
    for (int i = 4; i < 12; ++i)
        EXPECT_TRUE(isFillerIdentifier(rows[i])) << i;
    // The key alone would put the identifiers with letters after the fillers.
    TableAccess& work = table("OSI2");
    EXPECT_EQ(column(work, "KEYOBRGODMJE", "JMBG").back(), "MBROJ12345678");

    ASSERT_TRUE(preparePageB(st.tables, "007000101", PageBOrder::Names).ok);
    const std::vector<std::string> names = printed("007000101", PageBOrder::Names, "PREZIME");
    ASSERT_EQ(names.size(), 12u);
    EXPECT_EQ(
        std::vector<std::string>(names.begin(), names.begin() + 4),
        (std::vector<std::string>{"Ana Anić", "Šandor Babić", "Tomislav Šimić", "Žarko Tomić"}));
    for (int i = 4; i < 12; ++i)
        EXPECT_EQ(names[i], "ŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠ");
    // By name alone "Žarko" would follow the fillers.
    EXPECT_EQ(column(work, "KEYPREZIME", "PREZIME").back(), "Žarko Tomić");
}

} // namespace
