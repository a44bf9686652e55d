#pragma once
// Runs a modal window with steps: `steps` runs once the window is shown (and
// active, so keys reach it), then the window is ended if the steps did not
// end it. Returns the window's completion code.

#include <functional>

#include "ui/procedure_window.h"

namespace mvz {

std::uint8_t runWith(ProcedureWindow& window, std::function<void()> steps);

} // namespace mvz
