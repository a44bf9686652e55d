#pragma once
// Dates as day numbers: day 4 is 1 January 1801, day 0 is 28 December 1800 (a
// Sunday), so day % 7 is the weekday with 0 for Sunday. 0 means "no date".
// The calendar is the proleptic Gregorian one. Valid dates are those from
// 1 January 1801 to 31 December 9999.
//
// Times of day: centiseconds since midnight plus one, so 1 is 00:00:00.00 and
// 0 means "no time".

#include <cstdint>

namespace mvz {

struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

constexpr int kFirstYear = 1801;
constexpr int kLastYear = 9999;

bool isLeapYear(int year);
// 0 for a month outside 1..12.
int daysInMonth(int year, int month);
// A real calendar date within kFirstYear..kLastYear.
bool isValidDate(int year, int month, int day);

// 0 for an invalid date.
int32_t dayNumber(int year, int month, int day);
// {0, 0, 0} for day numbers below 1 (no date).
CivilDate civilDate(int32_t day);
// 0 Sunday .. 6 Saturday.
int weekday(int32_t day);
// Today in local time.
int32_t todayDayNumber();

struct ClockTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int centisecond = 0;
    friend bool operator==(const ClockTime&, const ClockTime&) = default;
};

// 0 for values outside a day.
int32_t timeOfDay(int hour, int minute, int second = 0, int centisecond = 0);
// {0, 0, 0, 0} for 0 (no time) and values outside a day.
ClockTime clockTime(int32_t time);
// Now in local time.
int32_t currentTimeOfDay();

} // namespace mvz
