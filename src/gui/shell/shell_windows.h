#pragma once
// The windows the main frame's menu starts, registered in one place.

namespace mvz {

class MainFrame;

// Registers every window that is built so far; the other menu items stay
// disabled.
void registerShellWindows(MainFrame& frame);

} // namespace mvz
