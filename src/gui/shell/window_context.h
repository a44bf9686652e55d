#pragma once
// What a window started from the main frame's menu is given: the data
// directory its tables live in, the process-wide error reporter (whose
// Reporter shows the message boxes) and the frame it opens in.

#include <QWidget>

#include <functional>
#include <string>

namespace mvz {

class ErrorReporter;
class MainFrame;

struct WindowContext {
    std::string dataDir;
    ErrorReporter& errors;
    MainFrame& frame;
};

// Builds a new, unparented window; the frame makes it one of its children.
// Returning nullptr means the window did not open (it has said why).
using WindowFactory = std::function<QWidget*(const WindowContext&)>;

} // namespace mvz
