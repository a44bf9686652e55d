// Rows handed to the writing thread are stored in order; a failed write
// stops the hand-over and is reported.

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

TEST(BackgroundRows, StoresEveryRowInOrder) {
    TempDir dir;
    Station st(dir.str());
    TableAccess& t = st.tables.access("ULZ");
    ASSERT_EQ(t.open(), 0);
    ASSERT_FALSE(st.tables.storage().begin({t.file()}));
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
