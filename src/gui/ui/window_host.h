#pragma once
// What a window needs from whatever hosts it: a place to open children, the
// toolbar it keeps in step, the icons it shows and the user guide. The main
// frame is the program's host; a test hosts windows with a small host of its
// own, so a window can be built and tried without the frame.
//
// A window finds its host through its parents (a child of the frame, a form
// opened over its list) and otherwise gets the process's default host, the
// one made last (a window is built before it is placed in the frame).

#include <QIcon>
#include <QString>

#include <functional>
#include <string>
#include <string_view>

class QWidget;

namespace mvz {

class ErrorReporter;
class WindowHost;

// How a child opens.
enum class ChildPlacement {
    Remembered, // at the size and place it had when it was closed last
    Fill,       // filling the host's area (a report preview)
};

class WindowHost {
  public:
    WindowHost();
    virtual ~WindowHost();
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;

    // Makes `window` a child of the host (it is deleted when closed).
    virtual void openChild(QWidget* window,
                           ChildPlacement placement = ChildPlacement::Remembered) = 0;
    // The window inside the current child, or nullptr.
    virtual QWidget* currentChild() const = 0;
    // Closes every child but `keep` (with their close questions), so that no
    // other window holds the data's tables; false when one stayed open.
    virtual bool closeOtherChildren(QWidget* keep) = 0;
    // What a toolbar button allows for the current child; an empty tooltip
    // puts back the host's own.
    virtual void setToolbarState(int control, bool enabled, const QString& tooltip) = 0;
    // A toolbar icon by name (ToolbarButton::icon); a null icon when unknown.
    virtual QIcon icon(std::string_view name) const = 0;
    // Opens the user guide; says so when it cannot.
    virtual void openUserGuide() = 0;
    // The folder the user keeps his outputs in (PDF files); empty: none set.
    virtual QString outputFolder() const = 0;
    // Called before a window writes a file the user asked for: a file that
    // does not exist yet and lies in the data folder is made with the
    // installation's permissions, so the data stays its owner's; files
    // elsewhere follow the user's umask.
    virtual void prepareSavedFile(const QString& path) = 0;

    // The host of `widget`: the first of its parents that is a host, else the
    // default host (nullptr when there is none).
    static WindowHost* of(const QWidget* widget);
    static WindowHost* defaultHost();
};

// What a window started from a host's menu is given: the data directory its
// tables live in, the process-wide error reporter (whose Reporter shows the
// message boxes) and the host it opens in.
struct WindowContext {
    std::string dataDir;
    ErrorReporter& errors;
    WindowHost& host;
};

// Builds a new, unparented window; the host makes it one of its children.
// Returning nullptr means the window did not open (it has said why).
using WindowFactory = std::function<QWidget*(const WindowContext&)>;

// Where windows register themselves by their menu item's name.
class WindowRegistry {
  public:
    virtual ~WindowRegistry() = default;
    // False for a name that is not a window item of the menu.
    virtual bool registerWindow(std::string_view itemName, WindowFactory factory) = 0;
    // A window that no menu item starts (other windows open it), opened by its
    // name, e.g. by the start options that take pictures. False for an empty
    // name or a name of the menu.
    virtual bool registerNamedWindow(std::string_view name, WindowFactory factory) = 0;
};

} // namespace mvz
