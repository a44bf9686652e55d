#pragma once
// "Stope doprinosa za mirovinsko osiguranje": the list of the contribution
// rates in key order, its row window "OBRAČUNSKI KOEFICIJENTI" with a drop
// list for each code, and the printed list.

#include "ui/list_window.h"
#include "ui/record_window.h"
#include "ui/window_host.h"

namespace mvz {

ListWindowSpec rateListSpec();
RecordWindowSpec rateRowSpec();

void registerRateWindows(WindowRegistry& registry);

} // namespace mvz
