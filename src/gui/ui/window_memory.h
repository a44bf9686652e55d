#pragma once
// What windows remember between runs, per user (QSettings): the size and
// place of the host and its children, the size of row windows and the tab a
// list was left on. Nothing is remembered until the program gives the store
// (tests run without one, so every run starts alike).

#include <QString>

#include <memory>

class QSettings;
class QWidget;

namespace mvz {

namespace WindowMemory {

// The store (nullptr: remember nothing).
void setStore(std::unique_ptr<QSettings> store);
QSettings* store();

// The name a window is remembered by: its class and object name (or title).
QString keyOf(const QWidget* window);

// False when no size is kept.
bool restoreSize(QWidget* window);
void saveSize(const QWidget* window);
// Size and place (a window of its own, or a child of the host).
bool restoreGeometry(QWidget* window, const QString& key);
void saveGeometry(const QWidget* window, const QString& key);
// A number the window keeps (a list's tab); `fallback` when none is kept.
int number(const QString& key, int fallback);
void setNumber(const QString& key, int value);

} // namespace WindowMemory

// Centres `window` over `over` (on the screen), keeping it on the screen.
void placeOver(QWidget* window, const QWidget* over);

} // namespace mvz
