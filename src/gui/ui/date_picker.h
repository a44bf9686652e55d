#pragma once
// The date picker: a small calendar from which the user picks a date with the
// mouse. The forming windows open it from the "..." button beside the sending
// date.
//
//   if (std::optional<int32_t> day = pickDate(this, sendingDate)) sendingDate = *day;
//
// A grid of 37 cells (7 to a row, the week starting on Sunday) under the
// month heading ("Ožujak - 2010"), with " <<", "<", ">" and " >>" moving by a
// year or a month within 1801..2099 and "Cancel". The day of the date it was
// opened with is shown in red in every month that has it.

#include <QDialog>

#include <cstdint>
#include <optional>

#include "ui_model/calendar_grid.h"

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QPushButton;

namespace mvz {

class DatePicker : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* kWeekdayHeader = "Ne   Po   Ut   Sr   Čt   Pe   Su";

    // `start` is a day number; 0 opens on today.
    explicit DatePicker(std::int32_t start, QWidget* parent = nullptr);

    // The date chosen (a day number), or 0 when none was.
    std::int32_t chosenDate() const { return chosen_; }
    const CalendarGrid& grid() const { return grid_; }

    QAbstractButton* cell(int number) const; // 1..37
    // Whether a cell shows the red mark.
    bool cellMarked(int number) const;
    QLabel* heading() const { return heading_; }
    QPushButton* previousYearButton() const { return previousYear_; }
    QPushButton* previousMonthButton() const { return previousMonth_; }
    QPushButton* nextMonthButton() const { return nextMonth_; }
    QPushButton* nextYearButton() const { return nextYear_; }
    QPushButton* cancelButton() const { return cancel_; }

  private:
    void draw();
    void choose(int cell);

    CalendarGrid grid_;
    std::int32_t chosen_ = 0;
    QLabel* heading_;
    QPushButton* previousYear_;
    QPushButton* previousMonth_;
    QPushButton* nextMonth_;
    QPushButton* nextYear_;
    QPushButton* cancel_;
    QButtonGroup* cells_;
};

// Runs the picker (modal to `parent`) on `start` (0: today). Returns the
// date chosen, or nothing when the user cancelled or closed the window.
std::optional<std::int32_t> pickDate(QWidget* parent, std::int32_t start);

} // namespace mvz
