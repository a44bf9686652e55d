#pragma once
// The month a date picker shows: a grid of 37 cells, 7 to a row, the week
// starting on Sunday. The 1st of the month sits in cell p = (its day number
// modulo 7) + 1, so a month beginning on Sunday starts in cell 1 and one
// beginning on Saturday in cell 7; cells p .. p + length - 1 hold the days.
//
// The day of the date the picker was opened with is marked in every month
// shown (cell day + p - 1); when the month has no such day the marked cell
// is an empty one and no mark is visible.
//
// The year stays within 1801..2099: the year buttons leave it unchanged at
// the edges, and the month buttons stop there rather than wrap the month.

#include <cstdint>
#include <string>
#include <string_view>

namespace mvz {

constexpr int kCalendarCells = 37;
constexpr int kCalendarFirstYear = 1801;
constexpr int kCalendarLastYear = 2099;

// "Siječanj" .. "Prosinac" for 1..12; empty otherwise.
std::string_view croatianMonthName(int month);

class CalendarGrid {
  public:
    // The month of `date` (a day number); 0 or below means today.
    explicit CalendarGrid(std::int32_t date);

    int day() const { return day_; }
    int month() const { return month_; }
    int year() const { return year_; }

    // "Ožujak - 2010".
    std::string heading() const;
    // The cell of the 1st (1..7) and the number of days.
    int firstCell() const { return first_; }
    int monthLength() const { return length_; }

    // The day number shown in a cell (1..37), "" for an empty cell.
    std::string cellText(int cell) const;
    bool cellShown(int cell) const;
    // The date of a shown cell; 0 for an empty one.
    std::int32_t dateOfCell(int cell) const;

    int markedCell() const { return day_ + first_ - 1; }
    bool markVisible() const { return cellShown(markedCell()); }

    void previousYear();
    void nextYear();
    void previousMonth();
    void nextMonth();

  private:
    void draw();

    int day_ = 1;
    int month_ = 1;
    int year_ = kCalendarFirstYear;
    int first_ = 1;
    int length_ = 31;
};

} // namespace mvz
