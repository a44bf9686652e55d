#pragma once
// A window's push button with its caption ("&Spremi": Alt+S presses it) and
// its tip, shown as a tooltip and in the status line (none when empty).

class QPushButton;
class QWidget;

namespace mvz {

// `caption` and `tip` are UTF-8.
QPushButton* windowButton(const char* caption, const char* tip, QWidget* parent);

} // namespace mvz
