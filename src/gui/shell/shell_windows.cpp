#include "shell/shell_windows.h"

#include "codes/code_windows.h"
#include "exchange/exchange_windows.h"
#include "registers/register_windows.h"
#include "shell/about_window.h"
#include "shell/application_parameters_window.h"
#include "shell/main_frame.h"
#include "submission/submission_windows.h"

namespace mvz {

void registerShellWindows(MainFrame& frame) {
    frame.registerWindow("applicationParameters", [](const WindowContext& context) {
        return createApplicationParametersWindow(context.dataDir, context.errors);
    });
    frame.registerWindow("about", [](const WindowContext& context) {
        return new AboutWindow(QString::fromStdString(context.dataDir));
    });
    registerCodeWindows(frame);
    registerExchangeWindows(frame);
    registerRegisterWindows(frame);
    registerSubmissionWindows(frame);
}

} // namespace mvz
