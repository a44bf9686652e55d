#include <gtest/gtest.h>

#include "print/municipality_list.h"
#include "setup/initialize.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

constexpr int kNameColumn = 520;

// The names printed, page after page (the Naziv column below the captions).
std::vector<std::string> printedNames(const PageModel& model) {
    std::vector<std::string> out;
    for (const Page& page : model.pages)
        for (const PageItem& item : page.items)
            if (const auto* t = std::get_if<TextItem>(&item);
                t && t->x == kNameColumn && t->text != "Naziv općine ili grada")
                out.push_back(t->text);
    return out;
}

class MunicipalityList : public ::testing::Test {
  protected:
    void SetUp() override {
        Station init(dir.str());
        ASSERT_TRUE(initializeDataDirectory(dir.str(), init.errors).ok);
    }
    // The names in the order the table yields them through `key` (-1: stored).
    std::vector<std::string> namesInOrder(Station& st, int key) {
        TableAccess& opc = st.tables.access("OPC");
        EXPECT_EQ(opc.open(), 0);
        opc.setOrder(key);
        std::vector<std::string> out;
        while (opc.next() == result::Ok)
            out.push_back(get(opc, "NAZIV"));
        opc.close();
        return out;
    }
    TempDir dir;
};

TEST_F(MunicipalityList, PrintsEveryMunicipalityInTheOrderOfItsTab) {
    Station st(dir.str());
    const TableDef& def = *findTable("OPC");
    struct Case {
        MunicipalityListOrder order;
        int key;
    };
    for (Case c : {Case{MunicipalityListOrder::ByNumber, def.keyIndex("KEYREDB")},
                   Case{MunicipalityListOrder::Stored, -1},
                   Case{MunicipalityListOrder::ByName, def.keyIndex("KEYNAZIV")}}) {
        st.reporter.clear();
        ReportResult r = municipalityList(st.tables, c.order, "08.12.2010 14:05", st.reporter);
        ASSERT_EQ(r.status, ReportStatus::Done);
        const std::vector<std::string> expected = namesInOrder(st, c.key);
        ASSERT_GT(expected.size(), 20u);
        EXPECT_EQ(printedNames(r.pages), expected) << c.key;
        EXPECT_EQ(r.records, static_cast<std::int64_t>(expected.size()));
        EXPECT_EQ(r.pages.title, "ŠIFARNIK - OPĆINE I GRADOVI");
        EXPECT_EQ(r.pages.pages.size(), 1u);
        ASSERT_FALSE(st.reporter.progressCalls.empty());
        EXPECT_EQ(st.reporter.progressCalls.back(),
                  std::make_pair(std::uint64_t(expected.size()), std::uint64_t(expected.size())));
        EXPECT_TRUE(st.reporter.boxes.empty());
    }
}

TEST_F(MunicipalityList, AnEmptyTableHasNoRecordsAndACancelDropsThePages) {
    {
        Station st(dir.str());
        st.reporter.cancelAfterChecks = 3;
        ReportResult r =
            municipalityList(st.tables, MunicipalityListOrder::ByName, "", st.reporter);
        EXPECT_EQ(r.status, ReportStatus::Cancelled);
        EXPECT_TRUE(r.pages.pages.empty());
    }
    Station st(dir.str());
    TableAccess& opc = st.tables.access("OPC");
    ASSERT_EQ(opc.open(), 0);
    ASSERT_EQ(opc.removeAll(), 0);
    opc.close();
    ReportResult r = municipalityList(st.tables, MunicipalityListOrder::ByNumber, "", st.reporter);
    EXPECT_EQ(r.status, ReportStatus::NoRecords);
    EXPECT_TRUE(r.pages.pages.empty());
}

} // namespace
