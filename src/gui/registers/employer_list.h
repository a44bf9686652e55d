#pragma once
// The list of the payers, "Popis obveznika - poslodavaca": every employer in
// the order of its number. Adding, opening and deleting go through the
// employer window; "Ispiši" prints "POPIS POSLODAVACA".

#include "ui/list_window.h"
#include "ui/window_host.h"

namespace mvz {

ListWindowSpec employerListSpec();

QWidget* createEmployerList(const WindowContext& context);

} // namespace mvz
