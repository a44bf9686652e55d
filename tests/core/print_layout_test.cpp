#include <gtest/gtest.h>

#include "base/day_number.h"
#include "print/list_pages.h"
#include "print/print_stamp.h"
#include "print/zoom_table.h"

using namespace mvz;

namespace {

std::vector<std::string> textsOf(const Page& page) {
    std::vector<std::string> out;
    for (const PageItem& item : page.items)
        if (const auto* t = std::get_if<TextItem>(&item)) out.push_back(t->text);
    return out;
}

bool contains(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

TEST(ZoomTable, ListsTheStandardEntriesInOrder) {
    const auto& t = zoomTable();
    ASSERT_EQ(t.size(), 7u);
    std::vector<int> percentiles;
    for (const ZoomEntry& e : t)
        percentiles.push_back(e.percentile);
    EXPECT_EQ(percentiles, (std::vector<int>{-2, -1, 50, 75, 100, 200, 300}));
    EXPECT_EQ(t[0].menuText, "Tile pages");
    EXPECT_EQ(t[0].statusText, "Zoom: Tile Pages");
    EXPECT_EQ(t[1].menuText, "Page Width");
    EXPECT_EQ(t[1].statusText, "Zoom: Page Width");
    EXPECT_EQ(t[4].menuText, "100% Zoom");
    EXPECT_EQ(t[4].statusText, "Zoom: 100%");
    EXPECT_EQ(zoomIndexOf(200), 5);
    EXPECT_EQ(zoomIndexOf(150), -1);
}

TEST(ZoomTable, ReadsAZoomTheUserTyped) {
    EXPECT_EQ(parseUserZoom("150"), 150);
    EXPECT_EQ(parseUserZoom(" 150 % "), 150);
    EXPECT_EQ(parseUserZoom("150% Zoom"), 150);
    EXPECT_EQ(parseUserZoom("10"), 10);
    EXPECT_EQ(parseUserZoom("500%"), 500);
    EXPECT_EQ(parseUserZoom("9"), std::nullopt);
    EXPECT_EQ(parseUserZoom("501"), std::nullopt);
    EXPECT_EQ(parseUserZoom("Page Width"), std::nullopt);
    EXPECT_EQ(parseUserZoom("15x"), std::nullopt);
    EXPECT_EQ(parseUserZoom(""), std::nullopt);
    EXPECT_EQ(userZoomText(150), "150% Zoom");
}

TEST(PrintStamp, IsTheDateAndTheClockTime) {
    EXPECT_EQ(printStamp(dayNumber(2010, 12, 8), timeOfDay(14, 5)), "08.12.2010 14:05");
}

TEST(ListPages, BreaksPagesAndRepeatsHeadingAndCaptions) {
    ListPages list("POPIS", {{"Rbr", 150, 100, TextAlign::Right}, {"Naziv", 300, 800}},
                   "08.12.2010 14:05");
    const int perPage = list.rowsPerPage();
    ASSERT_GT(perPage, 20);
    for (int i = 1; i <= perPage + 1; ++i)
        list.addRow({std::to_string(i), "Općina " + std::to_string(i)});
    PageModel model = list.finish();
    EXPECT_EQ(model.title, "POPIS");
    ASSERT_EQ(model.pages.size(), 2u);
    for (const Page& page : model.pages) {
        auto texts = textsOf(page);
        EXPECT_TRUE(contains(texts, "POPIS"));
        EXPECT_TRUE(contains(texts, "Rbr"));
        EXPECT_TRUE(contains(texts, "08.12.2010 14:05"));
        for (const PageItem& item : page.items) {
            const auto* t = std::get_if<TextItem>(&item);
            if (!t) continue;
            EXPECT_GE(t->y, 0);
            EXPECT_LT(t->y + 50, page.height) << t->text;
        }
    }
    EXPECT_TRUE(contains(textsOf(model.pages[0]), "Stranica 1 od 2"));
    EXPECT_TRUE(contains(textsOf(model.pages[1]), "Stranica 2 od 2"));
    EXPECT_TRUE(contains(textsOf(model.pages[1]), "Općina " + std::to_string(perPage + 1)));
    EXPECT_FALSE(contains(textsOf(model.pages[1]), "Općina " + std::to_string(perPage)));
}

TEST(ListPages, WithoutRowsHasNoPage) {
    ListPages list("POPIS", {{"Rbr", 150, 100}});
    EXPECT_TRUE(list.finish().pages.empty());
}

} // namespace
