#include <gtest/gtest.h>

#include "base/day_number.h"
#include "ui_model/calendar_grid.h"

using namespace mvz;

namespace {

std::vector<int> shownCells(const CalendarGrid& g) {
    std::vector<int> out;
    for (int cell = 1; cell <= kCalendarCells; ++cell)
        if (g.cellShown(cell)) out.push_back(cell);
    return out;
}

TEST(CalendarGrid, March2010StartsOnMondayInCell2) {
    CalendarGrid g(dayNumber(2010, 3, 15));
    EXPECT_EQ(g.heading(), "Ožujak - 2010");
    EXPECT_EQ(g.firstCell(), 2);
    EXPECT_EQ(g.monthLength(), 31);
    EXPECT_EQ(g.cellText(2), "1");
    EXPECT_EQ(g.cellText(32), "31");
    for (int cell : {1, 33, 34, 35, 36, 37}) {
        EXPECT_FALSE(g.cellShown(cell)) << cell;
        EXPECT_EQ(g.cellText(cell), "") << cell;
        EXPECT_EQ(g.dateOfCell(cell), 0) << cell;
    }
    EXPECT_EQ(shownCells(g).size(), 31u);
    EXPECT_EQ(g.markedCell(), 16);
    EXPECT_TRUE(g.markVisible());
    EXPECT_EQ(g.dateOfCell(2), dayNumber(2010, 3, 1));
    EXPECT_EQ(g.dateOfCell(32), dayNumber(2010, 3, 31));
}

TEST(CalendarGrid, FirstCellFollowsTheWeekdayFromSunday) {
    EXPECT_EQ(CalendarGrid(dayNumber(2010, 8, 10)).firstCell(), 1); // Sunday 1 August 2010
    EXPECT_EQ(CalendarGrid(dayNumber(2010, 5, 10)).firstCell(), 7); // Saturday 1 May 2010
    CalendarGrid may(dayNumber(2010, 5, 31));
    EXPECT_EQ(may.markedCell(), 37); // the last cell is used
    EXPECT_TRUE(may.markVisible());
}

TEST(CalendarGrid, FebruaryLengthFollowsTheLeapYears) {
    struct Case {
        int year;
        int days;
    };
    for (Case c : {Case{1900, 28}, Case{2000, 29}, Case{2010, 28}, Case{2012, 29}}) {
        CalendarGrid g(dayNumber(c.year, 2, 1));
        EXPECT_EQ(g.monthLength(), c.days) << c.year;
        EXPECT_EQ(g.heading(), "Veljača - " + std::to_string(c.year));
        EXPECT_EQ(g.cellText(g.firstCell() + c.days - 1), std::to_string(c.days));
        EXPECT_FALSE(g.cellShown(g.firstCell() + c.days));
    }
}

TEST(CalendarGrid, TheMarkedDayIsHiddenInAShorterMonth) {
    CalendarGrid g(dayNumber(2010, 1, 31));
    EXPECT_TRUE(g.markVisible());
    g.nextMonth();
    EXPECT_EQ(g.heading(), "Veljača - 2010");
    EXPECT_FALSE(g.markVisible());
    g.nextMonth();
    EXPECT_EQ(g.heading(), "Ožujak - 2010");
    EXPECT_TRUE(g.markVisible());
    EXPECT_EQ(g.cellText(g.markedCell()), "31");
}

TEST(CalendarGrid, MonthsWrapIntoTheNextYearAndStopAtTheEdges) {
    CalendarGrid g(dayNumber(2010, 12, 5));
    g.nextMonth();
    EXPECT_EQ(g.heading(), "Siječanj - 2011");
    g.previousMonth();
    g.previousMonth();
    EXPECT_EQ(g.heading(), "Studeni - 2010");
    g.previousYear();
    EXPECT_EQ(g.heading(), "Studeni - 2009");
    g.nextYear();
    EXPECT_EQ(g.heading(), "Studeni - 2010");

    CalendarGrid first(dayNumber(1801, 1, 10));
    first.previousYear();
    EXPECT_EQ(first.heading(), "Siječanj - 1801");
    first.previousMonth();
    EXPECT_EQ(first.heading(), "Siječanj - 1801");
    EXPECT_EQ(first.firstCell(), 5); // Thursday 1 January 1801

    CalendarGrid last(dayNumber(2099, 12, 10));
    last.nextYear();
    EXPECT_EQ(last.heading(), "Prosinac - 2099");
    last.nextMonth();
    EXPECT_EQ(last.heading(), "Prosinac - 2099");
    last.previousMonth();
    EXPECT_EQ(last.heading(), "Studeni - 2099");
}

TEST(CalendarGrid, ZeroMeansToday) {
    const CivilDate today = civilDate(todayDayNumber());
    CalendarGrid g(0);
    EXPECT_EQ(g.year(), today.year);
    EXPECT_EQ(g.month(), today.month);
    EXPECT_EQ(g.cellText(g.markedCell()), std::to_string(today.day));
}

TEST(CalendarGrid, MonthNamesAreCroatian) {
    EXPECT_EQ(croatianMonthName(1), "Siječanj");
    EXPECT_EQ(croatianMonthName(12), "Prosinac");
    EXPECT_EQ(croatianMonthName(13), "");
}

} // namespace
