#include <gtest/gtest.h>

#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

// One window may have more tables open than SQLite attaches to one
// connection; a transaction over tables that ended up on different
// connections still commits or rolls back as one.
TEST(StorageSession, TransactionSpansTablesBeyondOneConnection) {
    TempDir dir;
    Station st(dir.str());
    const std::vector<std::string> names = {"POS", "RAD", "A",   "OSI",  "APL", "VOB", "VUP",
                                            "TBO", "STA", "OPC", "STO1", "VEZ", "TBT", "GRE"};
    for (const auto& n : names)
        ASSERT_EQ(st.tables.access(n).open(), 0) << n;
    TableAccess& first = st.tables.access("POS");
    TableAccess& last = st.tables.access("GRE");
    ASSERT_NE(first.file()->hub(), last.file()->hub());

    auto addBoth = [&](const std::string& number) {
        first.record().clear();
        set(first, "REDBROJ", number);
        ASSERT_EQ(first.add(), 0);
        last.record().clear();
        set(last, "OPIS", "greška " + number);
        ASSERT_EQ(last.add(), 0);
    };
    ASSERT_FALSE(st.tables.storage().begin({first.file(), last.file()}));
    addBoth("1");
    st.tables.storage().rollback();
    EXPECT_EQ(first.count(), 0);
    EXPECT_EQ(last.count(), 0);

    ASSERT_FALSE(st.tables.storage().begin({first.file(), last.file()}));
    addBoth("2");
    ASSERT_FALSE(st.tables.storage().commit());
    Station other(dir.str());
    ASSERT_EQ(other.tables.access("POS").open(), 0);
    ASSERT_EQ(other.tables.access("GRE").open(), 0);
    EXPECT_EQ(other.tables.access("POS").count(), 1);
    EXPECT_EQ(other.tables.access("GRE").count(), 1);
    EXPECT_EQ(column(other.tables.access("GRE"), "KEYREDBROJ", "OPIS"),
              std::vector<std::string>{"greška 2"});
}

// Work that joins a running transaction and fails takes the whole of it
// down: the outer commit reports the failure and keeps nothing.
TEST(StorageSession, NestedRollbackDoomsTheOuterCommit) {
    TempDir dir;
    Station st(dir.str());
    TableAccess& pos = st.tables.access("POS");
    ASSERT_EQ(pos.open(), 0);
    StorageSession& storage = st.tables.storage();
    ASSERT_FALSE(storage.begin({pos.file()}));
    set(pos, "REDBROJ", "1");
    ASSERT_EQ(pos.add(), 0);
    ASSERT_FALSE(storage.begin({pos.file()}));
    storage.rollback();
    set(pos, "REDBROJ", "2");
    ASSERT_EQ(pos.add(), 0);
    EXPECT_TRUE(storage.commit());
    EXPECT_FALSE(storage.inTransaction());
    EXPECT_EQ(pos.count(), 0);
}

TEST(StorageSession, ExclusiveOpenKeepsEveryoneElseOut) {
    TempDir dir;
    Station batch(dir.str());
    Station window(dir.str());
    TableAccess& mine = batch.tables.access("ULZ1");
    mine.setShareMode(ShareMode::Exclusive);
    ASSERT_EQ(mine.open(), 0);
    EXPECT_EQ(window.tables.access("ULZ1").open(), result::Fatal);
    EXPECT_EQ(window.reporter.lastBox().title, "File Access Error");
    EXPECT_EQ(window.reporter.lastBox().text,
              "File (TBIZLAZ1.DAT) could not be opened.  Error: Access Denied (5).  Press OK to "
              "end this application");
    mine.close();
    window.reporter.clear();
    EXPECT_EQ(window.tables.access("ULZ1").open(), 0);
    EXPECT_TRUE(window.reporter.boxes.empty());
}

} // namespace
