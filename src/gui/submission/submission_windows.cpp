#include "submission/submission_windows.h"

#include "submission/formed_forms_list.h"
#include "submission/forming_window.h"

namespace mvz {

void registerSubmissionWindows(WindowRegistry& registry) {
    registry.registerWindow("forming", createFormingWindow);
    registry.registerWindow("formedForms", createFormedFormsList);
}

} // namespace mvz
