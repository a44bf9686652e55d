#include "codes/code_windows.h"

#include "codes/code_table_windows.h"
#include "codes/control_table_window.h"
#include "codes/municipality_list.h"
#include "codes/rate_windows.h"

namespace mvz {

void registerCodeWindows(WindowRegistry& registry) {
    registerCodeTableWindows(registry);
    registerRateWindows(registry);
    registry.registerWindow("controlTable", createControlTableWindow);
    registry.registerWindow("municipalities", createMunicipalityList);
}

} // namespace mvz
