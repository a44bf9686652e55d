#pragma once
// "Šifarnik - Općine i gradovi": the list of municipalities and cities
// (TBOPCINE) in three orders (running number, code, name), each with its
// locator, and the row window that adds and changes a municipality.
//
// The main frame registers the list for its menu item:
//
//   frame.registerWindow("...Općine i gradovi item...", createMunicipalityList);
//
// createMunicipalityList builds the window over table objects of its own in
// the context's data directory and starts it (PendingRequest: 0 to browse,
// 4 to choose a municipality); it returns nullptr when the window did not
// open (it has said why).

#include <QWidget>

#include "ui/list_window.h"
#include "ui/record_window.h"
#include "ui/window_host.h"

namespace mvz {

QWidget* createMunicipalityList(const WindowContext& context);

// The declarations the two windows are built from.
ListWindowSpec municipalityListSpec();
RecordWindowSpec municipalityRowSpec();

// The row window for the request in PendingRequest; returns the completion code.
std::uint8_t runMunicipalityRow(Tables& tables);

} // namespace mvz
