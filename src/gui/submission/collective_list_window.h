#pragma once
// The collective list "Pregled obveznika i file-ova čije podatke spajamo u
// zbirni format ": the payer files that "&Odredi zbirni HASH" merges, in the
// order of their forms; a clerk may list further files by hand or drop
// listed ones.

#include <string>

#include "ui/list_window.h"
#include "ui/record_window.h"

namespace mvz {

class ErrorReporter;

ListWindowSpec collectiveListSpec();
RecordWindowSpec collectiveRowSpec();

// A list window with its own table objects, started (the caller shows it).
QWidget* createCollectiveList(const std::string& dataDir, ErrorReporter& errors);

} // namespace mvz
