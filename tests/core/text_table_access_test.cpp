#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

TEST(TextTableAccess, LineTablesAreWrittenAndReadThroughTheSameOperations) {
    TempDir dir;
    Station st(dir.str());
    TableAccess& folders = st.tables.access("IZLF");
    ASSERT_EQ(folders.open(), 0); // created empty when missing
    folders.record().clear();
    set(folders, "REDAK", "/home/obračun/mz0/");
    ASSERT_EQ(folders.add(), 0);
    set(folders, "REDAK", "drugi");
    ASSERT_EQ(folders.add(), 0);
    folders.close();
    EXPECT_EQ(slurp(dir.file("TBIZLFOLDER.TXT")), "/home/obra\xE8un/mz0/\r\ndrugi\r\n");

    ASSERT_EQ(folders.open(), 0);
    EXPECT_EQ(folders.count(), 2);
    EXPECT_EQ(column(folders, "", "REDAK"),
              (std::vector<std::string>{"/home/obračun/mz0/", "drugi"}));
    EXPECT_EQ(folders.previous(), result::Failed);
    ASSERT_EQ(folders.removeAll(), 0);
    EXPECT_EQ(folders.count(), 0);
    EXPECT_TRUE(st.reporter.boxes.empty());
}

TEST(TextTableAccess, CommaDelimitedTablesWriteDecimalsWithTheirPicture) {
    TempDir dir;
    Station st(dir.str());
    TableAccess& src = st.tables.access("DOR1");
    ASSERT_EQ(src.open(), 0);
    src.record().clear();
    set(src, "OB", "31");
    set(src, "MM1", ">0");
    set(src, "STOPA1", "15.5");
    ASSERT_EQ(src.add(), 0);
    src.close();
    ASSERT_EQ(src.open(), 0);
    src.setStart();
    ASSERT_EQ(src.next(), 0);
    EXPECT_EQ(get(src, "OB"), "31");
    EXPECT_EQ(get(src, "MM1"), ">0");
    EXPECT_EQ(get(src, "STOPA1"), "15.5");
}

} // namespace
