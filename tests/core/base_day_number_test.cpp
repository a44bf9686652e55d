#include <gtest/gtest.h>

#include "base/day_number.h"

#include <chrono>

using namespace mvz;
namespace chr = std::chrono;

TEST(DayNumber, Anchors) {
    EXPECT_EQ(dayNumber(1801, 1, 1), 4);
    EXPECT_EQ(civilDate(0), CivilDate{}); // 0 is "no date"
    EXPECT_EQ(civilDate(1), (CivilDate{1800, 12, 29}));
    EXPECT_EQ(civilDate(4), (CivilDate{1801, 1, 1}));
    EXPECT_EQ(weekday(dayNumber(1801, 1, 4)), 0);  // a Sunday
    EXPECT_EQ(weekday(dayNumber(2010, 12, 8)), 3); // a Wednesday
    EXPECT_EQ(weekday(dayNumber(2024, 2, 29)), 4); // a Thursday
}

TEST(DayNumber, AgreesWithTheStandardCalendar) {
    using chr::year;
    const chr::sys_days base{year{1800} / chr::December / 28};
    const chr::year_month_day dates[] = {
        year{1900} / chr::February / 28, year{1900} / chr::March / 1,
        year{2000} / chr::February / 29, year{2010} / chr::December / 8,
        year{2038} / chr::January / 19,  year{9999} / chr::December / 31,
    };
    for (const auto& date : dates) {
        auto expected = static_cast<int32_t>((chr::sys_days{date} - base).count());
        int y = int(date.year()), m = int(unsigned(date.month())), dd = int(unsigned(date.day()));
        EXPECT_EQ(dayNumber(y, m, dd), expected) << y << '-' << m << '-' << dd;
        EXPECT_EQ(civilDate(expected), (CivilDate{y, m, dd}));
    }
    // Every day of a stretch that spans leap and century years converts both ways.
    for (int32_t day = dayNumber(1899, 12, 1); day < dayNumber(1905, 1, 1); ++day) {
        CivilDate c = civilDate(day);
        ASSERT_EQ(dayNumber(c.year, c.month, c.day), day);
    }
}

TEST(DayNumber, InvalidDatesGiveZero) {
    EXPECT_EQ(dayNumber(2023, 2, 29), 0);
    EXPECT_EQ(dayNumber(1900, 2, 29), 0);
    EXPECT_NE(dayNumber(2000, 2, 29), 0);
    EXPECT_EQ(dayNumber(2010, 13, 1), 0);
    EXPECT_EQ(dayNumber(2010, 4, 31), 0);
    EXPECT_EQ(dayNumber(2010, 1, 0), 0);
    EXPECT_EQ(dayNumber(1800, 12, 31), 0);
    EXPECT_EQ(dayNumber(10000, 1, 1), 0);
    EXPECT_EQ(civilDate(-5), CivilDate{});
}

TEST(DayNumber, TodayMatchesTheClock) {
    int32_t today = todayDayNumber();
    CivilDate c = civilDate(today);
    EXPECT_GE(c.year, 2024);
    EXPECT_EQ(dayNumber(c.year, c.month, c.day), today);
}

TEST(TimeOfDay, CentisecondsSinceMidnightPlusOne) {
    EXPECT_EQ(timeOfDay(0, 0), 1);
    EXPECT_EQ(timeOfDay(14, 5), 14 * 360000 + 5 * 6000 + 1);
    EXPECT_EQ(clockTime(timeOfDay(23, 59, 59, 99)), (ClockTime{23, 59, 59, 99}));
    EXPECT_EQ(timeOfDay(24, 0), 0);
    EXPECT_EQ(timeOfDay(12, 60), 0);
    EXPECT_EQ(clockTime(0), ClockTime{});
    int32_t now = currentTimeOfDay();
    EXPECT_GE(now, 1);
    EXPECT_LE(now, timeOfDay(23, 59, 59, 99));
}
