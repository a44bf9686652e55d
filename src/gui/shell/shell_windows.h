#pragma once
// The windows the main frame's menu starts: the shell's own, then those of
// each subsystem (every subsystem folder registers its windows).

namespace mvz {

class MainFrame;

// Registers every window that is built so far; the other menu items stay
// disabled.
void registerShellWindows(MainFrame& frame);

} // namespace mvz
