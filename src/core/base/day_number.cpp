#include "base/day_number.h"

#include <ctime>

namespace mvz {
namespace {

// Days from 1970-01-01 to y-m-d, proleptic Gregorian (valid for any year).
constexpr int64_t daysFromEpoch(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

constexpr CivilDate dateFromEpoch(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

// Day number 0 is 28 December 1800.
constexpr int64_t kEpochOffset = daysFromEpoch(1800, 12, 28);
static_assert(daysFromEpoch(1801, 1, 1) - kEpochOffset == 4);

constexpr int32_t kDayCentiseconds = 24 * 60 * 60 * 100;

std::tm localNow() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return tm;
}

} // namespace

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool isValidDate(int year, int month, int day) {
    return year >= kFirstYear && year <= kLastYear && day >= 1 && day <= daysInMonth(year, month);
}

int32_t dayNumber(int year, int month, int day) {
    if (!isValidDate(year, month, day)) return 0;
    return static_cast<int32_t>(
        daysFromEpoch(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
        kEpochOffset);
}

CivilDate civilDate(int32_t day) {
    if (day < 1) return {};
    return dateFromEpoch(int64_t(day) + kEpochOffset);
}

int weekday(int32_t day) {
    int r = day % 7;
    return r < 0 ? r + 7 : r;
}

int32_t todayDayNumber() {
    std::tm tm = localNow();
    return dayNumber(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

int32_t timeOfDay(int hour, int minute, int second, int centisecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        centisecond < 0 || centisecond > 99)
        return 0;
    return ((hour * 60 + minute) * 60 + second) * 100 + centisecond + 1;
}

ClockTime clockTime(int32_t time) {
    if (time < 1 || time > kDayCentiseconds) return {};
    int32_t cs = time - 1;
    return {cs / 360000, cs / 6000 % 60, cs / 100 % 60, cs % 100};
}

int32_t currentTimeOfDay() {
    std::tm tm = localNow();
    // A leap second shows as the last second of its minute.
    return timeOfDay(tm.tm_hour, tm.tm_min, tm.tm_sec > 59 ? 59 : tm.tm_sec);
}

} // namespace mvz
