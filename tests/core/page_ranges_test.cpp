#include <gtest/gtest.h>

#include "print/page_ranges.h"

using namespace mvz;

namespace {

struct SelectionCase {
    const char* text;
    std::vector<int> pages; // selected among 1..6
};

class PageSelection : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(PageSelection, SelectsThePagesOfItsItems) {
    const SelectionCase& c = GetParam();
    EXPECT_EQ(selectedPages(c.text, 6), c.pages) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PageSelection,
    ::testing::Values(SelectionCase{"1-3,5", {1, 2, 3, 5}}, SelectionCase{"3-1", {}},
                      SelectionCase{"2-", {}}, SelectionCase{"0-2", {}}, SelectionCase{"-2", {}},
                      SelectionCase{"", {}}, SelectionCase{"   ", {}},
                      SelectionCase{"1-6", {1, 2, 3, 4, 5, 6}}, SelectionCase{"4-4", {4}},
                      SelectionCase{" 2 , 4 - 5 ", {2, 4, 5}}, SelectionCase{"7,0", {}},
                      SelectionCase{"x,2,,", {2}}, SelectionCase{"1-2-3", {}},
                      SelectionCase{"5,5,1-2", {1, 2, 5}}, SelectionCase{"2a,3", {3}},
                      SelectionCase{"3-99999999999999", {3, 4, 5, 6}}));

TEST(PageSelection, StartsWithEveryPageAndResetsToIt) {
    EXPECT_EQ(allPagesText(12), "1-12");
    EXPECT_EQ(selectedPages(allPagesText(3), 3), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(selectedPages(allPagesText(1), 1), (std::vector<int>{1}));
    EXPECT_TRUE(pageSelected("1-3,5", 5));
    EXPECT_FALSE(pageSelected("1-3,5", 4));
}

} // namespace
