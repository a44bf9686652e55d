#include "codes/code_windows.h"

#include "codes/code_table_windows.h"
#include "codes/municipality_list.h"

namespace mvz {

void registerCodeWindows(WindowRegistry& registry) {
    registerCodeTableWindows(registry);
    registry.registerWindow("municipalities", createMunicipalityList);
}

} // namespace mvz
