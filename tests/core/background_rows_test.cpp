// Rows handed to the writing thread are stored in order; a failed write
// stops the hand-over and is reported. An empty table gets its key indexes
// after its rows: they are there after the commit, and a duplicate on a
// unique key fails the fill and the rollback brings the indexes back.

#include <gtest/gtest.h>

#include "data/storage_session.h"
#include "import/background_rows.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

std::string lineImage(const TableDef& def, int line) {
    Record r(def);
    r.setInteger(def.fieldIndex("REDBROJ"), line);
    r.setText(def.fieldIndex("REDAK1"), "line " + std::to_string(line));
    return std::string(r.bytes());
}

// ULZ open and inside a transaction.
class BackgroundRowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(t.open(), 0);
        ASSERT_FALSE(st.tables.storage().begin({t.file()}));
    }
    TempDir dir;
    Station st{dir.str()};
    TableAccess& t = st.tables.access("ULZ");
};

TEST_F(BackgroundRowsTest, StoresEveryRowInOrder) {
    {
        BackgroundRows rows({t.file()});
        for (int line = 1; line <= 2000; ++line)
            ASSERT_TRUE(rows.add(0, lineImage(t.def(), line)));
        ASSERT_TRUE(rows.finish());
    }
    ASSERT_FALSE(st.tables.storage().commit());
    EXPECT_EQ(t.count(), 2000);
    const auto lines = column(t, "KEYVRSTA", "REDAK1");
    EXPECT_EQ(lines.front(), "line 1");
    EXPECT_EQ(lines.back(), "line 2000");
    t.close();
}

// Whether the unique key of ULZ refuses another row numbered `line`.
bool refusesDuplicate(TableAccess& t, int line) {
    std::int64_t rowid = 0;
    Record r(t.def());
    r.assign(lineImage(t.def(), line));
    return static_cast<bool>(t.file()->insert(r, rowid));
}

TEST_F(BackgroundRowsTest, AnEmptyTableGetsItsIndexesAfterItsRows) {
    {
        BackgroundRows rows({t.file()});
        for (int line = 3000; line >= 1; --line)
            ASSERT_TRUE(rows.add(0, lineImage(t.def(), line)));
        ASSERT_TRUE(rows.finish());
    }
    ASSERT_FALSE(st.tables.storage().commit());
    const auto lines = column(t, "KEYVRSTA", "REDAK1");
    ASSERT_EQ(lines.size(), 3000u);
    EXPECT_EQ(lines.front(), "line 1"); // key order, not the order of adding
    EXPECT_EQ(lines.back(), "line 3000");
    EXPECT_TRUE(refusesDuplicate(t, 1500));
    t.close();
}

TEST_F(BackgroundRowsTest, ADuplicateInAnEmptyTableFailsAndTheRollbackKeepsTheIndexes) {
    {
        BackgroundRows rows({t.file()});
        for (int line : {1, 2, 3, 2, 4})
            ASSERT_TRUE(rows.add(0, lineImage(t.def(), line)));
        EXPECT_FALSE(rows.finish());
        EXPECT_EQ(rows.error().code, err::DuplicateKey);
    }
    st.tables.storage().rollback();
    EXPECT_EQ(t.count(), 0);
    ASSERT_FALSE(st.tables.storage().begin({t.file()}));
    std::int64_t rowid = 0;
    Record r(t.def());
    r.assign(lineImage(t.def(), 7));
    ASSERT_FALSE(t.file()->insert(r, rowid));
    EXPECT_TRUE(refusesDuplicate(t, 7));
    st.tables.storage().rollback();
    t.close();
}

TEST(BackgroundRows, AFailedWriteIsReported) {
    TempDir dir;
    Station st(dir.str());
    TableAccess& t = st.tables.access("ULZ");
    ASSERT_EQ(t.open(), 0); // creates the file
    t.close();
    t.setShareMode(ShareMode::ReadOnly);
    ASSERT_EQ(t.open(), 0);
    BackgroundRows rows({t.file()});
    bool accepted = true;
    for (int line = 1; line <= 5000 && accepted; ++line)
        accepted = rows.add(0, lineImage(t.def(), line));
    EXPECT_FALSE(rows.finish());
    EXPECT_EQ(rows.error().code, err::AccessDenied);
    t.close();
}

} // namespace
