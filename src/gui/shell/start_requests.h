#pragma once
// Hidden start options of the desktop program, for screenshots and demos:
//
//   MVZ_OPEN="name,name"   once the frame has started, chooses these menu
//                          items (menu table names such as "about", or the
//                          item texts without "&", e.g. "O programu"), or
//                          opens windows registered by a name of their own
//   MVZ_KEYS="Insert"      then presses these keys (a QKeySequence, e.g.
//                          "Insert" or "Ctrl+Return") in the focused window
//   MVZ_SCREENSHOT=a.png   then writes a picture of the frame with its
//                          windows to the file and ends the program; nothing
//                          is written when a window was not shown as asked
//   MVZ_SCREENSHOT_DELAY   milliseconds between opening and the picture (700)
//   MVZ_MEASURE_START=1    once the frame has been painted for the first
//                          time, writes "painted" to standard output and
//                          ends the program (the start-up benchmark)

#include <QString>

namespace mvz {

class MainFrame;

// The menu item a name given in MVZ_OPEN means: a menu table name, or an
// item's text without "&" and surrounding blanks, with or without its
// leading number ("1. Aplikacijski parametri", "Aplikacijski parametri");
// letter case ignored. Empty when nothing matches.
QString menuItemNamed(const QString& text);

// Reads the options from the environment and arranges what they ask for.
void applyStartRequests(MainFrame& frame);

} // namespace mvz
