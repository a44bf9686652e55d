#include "codes/code_windows.h"

#include "codes/municipality_list.h"

namespace mvz {

void registerCodeWindows(WindowRegistry& registry) {
    registry.registerWindow("municipalities", createMunicipalityList);
}

} // namespace mvz
