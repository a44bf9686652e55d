#include "shell/shell_windows.h"

#include "shell/about_window.h"
#include "shell/main_frame.h"

namespace mvz {

void registerShellWindows(MainFrame& frame) {
    frame.registerWindow("about", [](const WindowContext&) { return new AboutWindow; });
}

} // namespace mvz
