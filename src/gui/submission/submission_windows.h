#pragma once
// The windows of forming the report: the forming window and the list of
// formed forms, registered by their menu item names.

#include "ui/window_host.h"

namespace mvz {

void registerSubmissionWindows(WindowRegistry& registry);

} // namespace mvz
