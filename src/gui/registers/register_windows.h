#pragma once
// The windows of the registers (employers, their employees, the page-B rows
// of formed forms), registered by their menu item names.

#include "ui/window_host.h"

namespace mvz {

void registerRegisterWindows(WindowRegistry& registry);

} // namespace mvz
