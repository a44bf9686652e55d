#include "shell/shell_windows.h"

#include "shell/about_window.h"
#include "shell/application_parameters_window.h"
#include "shell/main_frame.h"
#include "shell/municipality_list.h"

namespace mvz {

void registerShellWindows(MainFrame& frame) {
    frame.registerWindow("applicationParameters", [](const WindowContext& context) {
        return createApplicationParametersWindow(context.dataDir, context.errors);
    });
    frame.registerWindow("municipalities", createMunicipalityList);
    frame.registerWindow("about", [](const WindowContext&) { return new AboutWindow; });
}

} // namespace mvz
