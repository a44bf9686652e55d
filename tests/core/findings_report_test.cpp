#include <gtest/gtest.h>

#include "base/cp1250.h"
#include "import/findings_report.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace mvz {
void PrintTo(const FindingsReportEntry& e, std::ostream* os) {
    *os << e.line << ' ' << e.field << ' ' << e.kind << " [" << e.message[0] << "][" << e.message[1]
        << ']';
}
} // namespace mvz

namespace {

std::string line(char type, std::vector<std::pair<int, std::string>> parts) {
    std::string l(250, ' ');
    for (const auto& [at, text] : parts) {
        const std::string cp = *utf8ToCp1250(text);
        l.replace(at - 1, cp.size(), cp);
    }
    l[249] = type;
    return l;
}

// TBIZLAZ and TBIZLAZ1 filled the way the formal control fills them.
class FindingsReport : public ::testing::Test {
  protected:
    void addLine(long number, const std::string& l) {
        TableAccess& t = st.tables.access("ULZ");
        ASSERT_EQ(t.open(), 0);
        Record& r = t.record();
        r.clear();
        r.setInteger(r.def().fieldIndex("REDBROJ"), number);
        r.setText(r.def().fieldIndex("TIPSLOGA"), l.substr(249, 1));
        for (int i = 0; i < 5; ++i)
            r.setText(r.def().fieldIndex(i == 3 ? "REEDAK4" : "REDAK" + std::to_string(i + 1)),
                      l.substr(i * 50, 50));
        ASSERT_EQ(t.add(), 0);
        t.close();
    }
    void addFinding(long number, const std::string& field, const std::string& kind,
                    const std::string& message) {
        TableAccess& t = st.tables.access("ULZ1");
        ASSERT_EQ(t.open(), 0);
        t.record().clear();
        set(t, "REDBROJ", std::to_string(number));
        set(t, "KOLONA", field);
        set(t, "TIP", kind);
        set(t, "GRESKA", message);
        ASSERT_EQ(t.add(), 0);
        t.close();
    }

    TempDir dir;
    Station st{dir.str()};
};

TEST_F(FindingsReport, HeadingFromLinesOneAndTwoAndEntriesWithTwoMessageLines) {
    addLine(1, line('0', {{13, "  89029274466"}, {26, "Ured Šimić"}, {216, "10122026"}}));
    addLine(2, line('3', {{26, "0050"}, {30, "Obrt"}, {130, "31122026"}}));
    addLine(3, line('5', {{1, "00001"}}));
    const std::string longMessage =
        "Zbroj III.1 ne odgovara sumi IV.7 tj. III.1=" + std::string(26, '1') +
        std::string(30, '2') + "kraj";
    addFinding(3, "MV5IBOO", "F", "OIB je pogrešan.");
    addFinding(1, "MZ0OFOR", "U", "Pogrešna oznaka formata ");
    addFinding(2, "MV3DIOI", "U", longMessage);

    const auto pages = findingsReport(st.tables, 2);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].number, 1);
    EXPECT_EQ(pages[1].number, 2);
    for (const auto& p : pages) {
        EXPECT_EQ(p.heading.value("MV0IBOO"), "  89029274466");
        EXPECT_EQ(p.heading.value("MV0NAZO"), "Ured Šimić");
        EXPECT_EQ(p.heading.value("MV0DTMN"), "10122026");
        EXPECT_EQ(p.heading.value("MV3IDOB"), "0050");
        EXPECT_EQ(p.heading.value("MV3NAOB"), "Obrt");
        EXPECT_EQ(p.heading.value("MV3MMGG"), "122026");
    }
    EXPECT_EQ(pages[0].entries,
              (std::vector<FindingsReportEntry>{
                  {1, "MZ0OFOR", 'U', {"Pogrešna oznaka formata", ""}},
                  {2, "MV3DIOI", 'U', {longMessage.substr(0, 70), longMessage.substr(70)}}}));
    EXPECT_EQ(pages[1].entries,
              (std::vector<FindingsReportEntry>{{3, "MV5IBOO", 'F', {"OIB je pogrešan.", ""}}}));
}

TEST_F(FindingsReport, LinesOfAnotherTypeGiveNoHeadingAndNoFindingsNoPages) {
    addLine(1, line('3', {{26, "0050"}}));
    addLine(2, line('5', {{1, "00001"}}));
    const FindingsReportHeading h = findingsReportHeading(st.tables);
    EXPECT_TRUE(h.sender.empty());
    EXPECT_TRUE(h.form.empty());
    EXPECT_EQ(h.value("MV3IDOB"), "");
    EXPECT_TRUE(findingsReport(st.tables).empty());
}

TEST(FindingsReportEntry, MessageCutIntoTwoLinesOfSeventy) {
    const std::string message = std::string(70, 'a') + std::string(69, 'b') + "\x9A" + "zz";
    const FindingsReportEntry e = reportEntry(12, "MV5IST1   ", 'F', message);
    EXPECT_EQ(e.field, "MV5IST1");
    EXPECT_EQ(e.message[0], std::string(70, 'a'));
    EXPECT_EQ(e.message[1], std::string(69, 'b') + "š");
}

} // namespace
