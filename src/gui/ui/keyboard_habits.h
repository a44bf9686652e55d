#pragma once
// The keys every window answers the same way, in one application-wide event
// filter (installed once, by the first procedure window made):
//
// - Escape is the window's cancel: a procedure window presses its cancel
//   control (or closes with its close questions), any other child of the
//   host or dialog-like window closes. The main frame itself never closes on
//   Escape; message boxes and Qt's dialogs answer it themselves.
// - Alt+letter presses the button of the focused window whose text has that
//   hot letter ("&Spremi" -> Alt+S), ahead of the host's menu bar. A hot
//   letter that no button of the window has is left to the menu bar, and it
//   never types into the field with the focus.
// - Enter in a field of a procedure window moves to the next control, or
//   presses the window's default control when it declares one; Enter on a
//   focused button presses it.

#include <QChar>

class QAbstractButton;
class QWidget;

namespace mvz {

void installKeyboardHabits();

// The window a key belongs to: the innermost procedure window holding
// `widget`, else the window inside the host's child, else its top-level
// window.
QWidget* keyScope(QWidget* widget);

// The enabled, visible button of `scope` (not of a window inside it) whose
// text has the hot letter `letter` (case ignored); nullptr when none.
QAbstractButton* hotLetterButton(QWidget* scope, QChar letter);

} // namespace mvz
