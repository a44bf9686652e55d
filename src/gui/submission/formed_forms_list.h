#pragma once
// The formed forms "Pregled formiranja obrazaca za  ZOVAK": one row per
// page A, by payer and sequence number or by payer name; "&Otvori" opens
// the form in the page-A window, "&Obriši" deletes it with its page-B rows
// (after asking).

#include "ui/list_window.h"
#include "ui/window_host.h"

namespace mvz {

ListWindowSpec formedFormsListSpec();

QWidget* createFormedFormsList(const WindowContext& context);

} // namespace mvz
