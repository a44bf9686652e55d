#include "registers/register_windows.h"

#include "registers/employer_list.h"
#include "registers/page_b_windows.h"

namespace mvz {

void registerRegisterWindows(WindowRegistry& registry) {
    registry.registerWindow("employers", createEmployerList);
    registerPageBWindows(registry);
}

} // namespace mvz
