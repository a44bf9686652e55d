#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "print/control_table_list.h"
#include "setup/initialize.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

std::vector<std::string> linesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

// The texts at a left edge below the captions.
std::vector<std::string> column(const PageModel& model, int x) {
    std::vector<std::string> out;
    for (const Page& page : model.pages)
        for (const PageItem& item : page.items)
            if (const auto* t = std::get_if<TextItem>(&item); t && t->x == x)
                out.push_back(t->text);
    return out;
}

} // namespace

TEST(ControlTableList, LinesHoldTheCodesAtTheirPositions) {
    TempDir dir;
    Station st(dir.str());
    TableAccess& vez = st.open("VEZ");
    Record& r = vez.record();
    r.clear();
    auto set = [&](const char* f, const char* v) { r.setFromDisplay(r.def().fieldIndex(f), v); };
    set("VOB", "30");
    set("VOI", "01");
    set("OO", "01");
    const char* codes[] = {">0", ">=0", ">0", ">0", "= 0", "= 0", ">0", ">0", ">0", ">=0", ">0"};
    const char* fields[] = {"OBRMJE", "GODINA", "DANOD",  "DANDO",   "PLAGOD", "PLAMJE",
                            "IZNOS7", "IZNOS8", "IZNOS9", "IZNOS10", "IZNOS11"};
    for (int i = 0; i < 11; ++i)
        set(fields[i], codes[i]);
    const std::string line = controlTableLine(r);
    EXPECT_EQ(line.size(), 69u);
    EXPECT_EQ(line, "01    >0   >=0     >0   >0      = 0  = 0     >0   >0   >0   >=0  >0  ");
    const std::string exported = controlTableExportLine(r);
    EXPECT_EQ(exported.size(), 91u);
    EXPECT_EQ(exported.substr(0, 27), "\"30\",\"01\",\"01\",\">0  \",\">=0 ");
    vez.close();
}

TEST(ControlTableList, PrintsGroupedByPayerAndCalculationTypeAndRewritesTheTextFile) {
    TempDir dir;
    {
        Station init(dir.str());
        ASSERT_TRUE(initializeDataDirectory(dir.str(), init.errors).ok);
    }
    Station st(dir.str());
    const long long rules = st.rows("VEZ");
    ASSERT_GT(rules, 10);
    // A stale text file is replaced, not appended to.
    {
        std::ofstream stale(dir.file("TEXTSIF.TXT"));
        stale << "stara linija\r\n";
    }
    ReportResult r = printControlTable(st.tables, st.reporter);
    ASSERT_EQ(r.status, ReportStatus::Done);
    EXPECT_EQ(r.records, rules);
    EXPECT_TRUE(st.reporter.boxes.empty());

    const std::vector<std::string> text = linesOf(dir.file("TEXTSIF.TXT"));
    ASSERT_EQ(static_cast<long long>(text.size()), rules);
    for (const std::string& line : text)
        EXPECT_EQ(line.size(), 91u) << line;

    // Each payer type once, then its calculation types, each before its rows.
    // (The captions stand on every page: they are left out.)
    std::vector<std::string> vobs, details;
    for (const std::string& v : column(r.pages, 170))
        if (v != "VOB") vobs.push_back(v);
    for (const std::string& d : column(r.pages, 430))
        if (d != kControlTableCaption) details.push_back(d);
    EXPECT_EQ(std::set<std::string>(vobs.begin(), vobs.end()).size(), vobs.size());
    EXPECT_EQ(static_cast<long long>(details.size()), rules);
    // The printed line and the export line are made from the same row.
    EXPECT_EQ(details[0].substr(0, 2), text[0].substr(11, 2));
}
