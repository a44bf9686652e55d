// Rows added by BulkInsert read back exactly as rows added through the
// table, in key order, text keys and non-ASCII text included.

#include <gtest/gtest.h>

#include "data/bulk_insert.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

TEST(BulkInsert, RowsReadBackAsAddedInKeyOrder) {
    TempDir dir;
    Station st(dir.str());
    TableAccess& t = st.tables.access("ULZ1"); // key: line number and column code (text)
    ASSERT_EQ(t.open(), 0);
    struct Row {
        const char* line;
        const char* code;
        const char* name;
        const char* message;
    };
    const Row rows[] = {
        {"7", "MV5IBOO", "Čačić Đuro", "OIB je pogrešan."},
        {"3", "MV5RBOO", "Slog tipa 5", "Redni broj osiguranika mora biti numerik."},
        {"3", "MV5IBOO", "Šarić Žana", "Pogrešna općina"},
        {"12", "", "", ""}};
    std::vector<std::string> added;
    {
        ASSERT_FALSE(st.tables.storage().begin({t.file()}));
        BulkInsert insert(*t.file());
        Record r(t.def());
        for (const Row& row : rows) {
            r.clear();
            EXPECT_EQ(r.setFromDisplay(t.def().fieldIndex("REDBROJ"), row.line), "");
            EXPECT_EQ(r.setFromDisplay(t.def().fieldIndex("KOLONA"), row.code), "");
            EXPECT_EQ(r.setFromDisplay(t.def().fieldIndex("PREZIME"), row.name), "");
            EXPECT_EQ(r.setFromDisplay(t.def().fieldIndex("GRESKA"), row.message), "");
            ASSERT_FALSE(insert.add(r));
            added.push_back(std::string(r.bytes()));
        }
        ASSERT_FALSE(st.tables.storage().commit());
    }
    std::vector<std::string> read;
    t.setOrder(t.def().keyIndex("KEYVRSTA"));
    t.setStart();
    while (t.next() == 0)
        read.push_back(std::string(t.record().bytes()));
    EXPECT_EQ(read, (std::vector<std::string>{added[2], added[1], added[0], added[3]}));
    // A read by key finds a row added in bulk.
    t.record().clear();
    set(t, "REDBROJ", "3");
    set(t, "KOLONA", "MV5RBOO");
    ASSERT_EQ(t.fetch(t.def().keyIndex("KEYVRSTA")), 0);
    EXPECT_EQ(get(t, "PREZIME"), "Slog tipa 5");
    t.close();
}

} // namespace
