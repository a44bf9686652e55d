#pragma once
// Runs a modal window with steps: `steps` runs once the window is shown (and
// active, so keys reach it), then the window is ended if the steps did not
// end it. Returns the window's completion code.

#include <QApplication>
#include <QTimer>

#include <functional>
#include <memory>

#include "ui/procedure_window.h"

namespace mvz {

std::uint8_t runWith(ProcedureWindow& window, std::function<void()> steps);

// Runs `act` on the modal window of type W once it shows (made active, so
// keys reach it); for windows a list or a button opens.
template <typename W> void whenModalShows(std::function<void(W&)> act) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, poll] {
        if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget())) {
            QApplication::setActiveWindow(w);
            act(*w);
        } else {
            QTimer::singleShot(5, *poll);
        }
    };
    QTimer::singleShot(0, *poll);
}

} // namespace mvz
