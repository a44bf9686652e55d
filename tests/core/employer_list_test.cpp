#include <gtest/gtest.h>

#include "print/employer_list.h"
#include "setup/initialize.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

TEST(EmployerList, TheIdentifierIsThePersonalOneElseTheBusinessNumber) {
    TempDir dir;
    Station st(dir.str());
    TableAccess& pos = st.open("POS");
    Record& r = pos.record();
    r.clear();
    r.setFromDisplay(r.def().fieldIndex("MB01"), "01234567");
    r.setFromDisplay(r.def().fieldIndex("MB02"), "0001");
    EXPECT_EQ(employerIdentifier(r), "01234567 0001");
    r.setFromDisplay(r.def().fieldIndex("JMBG"), "  12345678903");
    EXPECT_EQ(employerIdentifier(r), "  12345678903");
    pos.close();
}

TEST(EmployerList, PrintsEveryEmployerByNumberWithTheStamp) {
    TempDir dir;
    {
        Station init(dir.str());
        InitOptions demo;
        demo.demo = true;
        ASSERT_TRUE(initializeDataDirectory(dir.str(), init.errors, demo).ok);
    }
    Station st(dir.str());
    ReportResult r = printEmployers(st.tables, "08.12.2010 14:05", st.reporter);
    ASSERT_EQ(r.status, ReportStatus::Done);
    EXPECT_EQ(r.records, st.rows("POS"));
    EXPECT_EQ(r.pages.title, "POPIS POSLODAVACA");
    std::vector<std::string> texts;
    for (const PageItem& item : r.pages.pages.front().items)
        if (const auto* t = std::get_if<TextItem>(&item)) texts.push_back(t->text);
    TableAccess& pos = st.open("POS");
    pos.setStart();
    ASSERT_EQ(pos.next(), result::Ok);
    const std::string name = get(pos, "NAZIV");
    pos.close();
    EXPECT_NE(std::find(texts.begin(), texts.end(), name), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "08.12.2010 14:05"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "OIB/MBG/MBS"), texts.end());
}
