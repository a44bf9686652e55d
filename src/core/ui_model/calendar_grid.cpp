#include "ui_model/calendar_grid.h"

#include "base/day_number.h"

namespace mvz {

std::string_view croatianMonthName(int month) {
    static constexpr std::string_view names[] = {"Siječanj", "Veljača",  "Ožujak",  "Travanj",
                                                 "Svibanj",  "Lipanj",   "Srpanj",  "Kolovoz",
                                                 "Rujan",    "Listopad", "Studeni", "Prosinac"};
    return month >= 1 && month <= 12 ? names[month - 1] : std::string_view();
}

CalendarGrid::CalendarGrid(std::int32_t date) {
    CivilDate d = civilDate(date > 0 ? date : todayDayNumber());
    if (d.year == 0) d = civilDate(todayDayNumber());
    day_ = d.day;
    month_ = d.month;
    year_ = d.year;
    draw();
}

void CalendarGrid::draw() {
    first_ = weekday(dayNumber(year_, month_, 1)) + 1;
    if (month_ == 2) {
        // February has a 29th when the day after the 28th is one.
        length_ = civilDate(dayNumber(year_, 2, 28) + 1).day == 29 ? 29 : 28;
    } else if (month_ == 4 || month_ == 6 || month_ == 9 || month_ == 11) {
        length_ = 30;
    } else {
        length_ = 31;
    }
}

std::string CalendarGrid::heading() const {
    return std::string(croatianMonthName(month_)) + " - " + std::to_string(year_);
}

bool CalendarGrid::cellShown(int cell) const {
    return cell >= first_ && cell < first_ + length_ && cell <= kCalendarCells;
}

std::string CalendarGrid::cellText(int cell) const {
    return cellShown(cell) ? std::to_string(cell - first_ + 1) : std::string();
}

std::int32_t CalendarGrid::dateOfCell(int cell) const {
    return cellShown(cell) ? dayNumber(year_, month_, cell - first_ + 1) : 0;
}

void CalendarGrid::previousYear() {
    if (year_ - 1 < kCalendarFirstYear) return;
    --year_;
    draw();
}

void CalendarGrid::nextYear() {
    if (year_ + 1 > kCalendarLastYear) return;
    ++year_;
    draw();
}

void CalendarGrid::previousMonth() {
    if (month_ == 1) {
        if (year_ - 1 < kCalendarFirstYear) return;
        month_ = 12;
        --year_;
    } else {
        --month_;
    }
    draw();
}

void CalendarGrid::nextMonth() {
    if (month_ == 12) {
        if (year_ + 1 > kCalendarLastYear) return;
        month_ = 1;
        ++year_;
    } else {
        ++month_;
    }
    draw();
}

} // namespace mvz
