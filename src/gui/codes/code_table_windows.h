#pragma once
// The list and row windows of the four small code tables: calculation and
// correction types (VUP), payer types (VOB), insurance bases (TBO) and
// extended-service marks (STA), each with its printed list. One declaration
// per table; the windows are the framework's list and row windows.

#include <string>
#include <vector>

#include "ui/list_window.h"
#include "ui/record_window.h"
#include "ui/window_host.h"

namespace mvz {

struct CodeTableWindows {
    std::string menuItem; // "calculationTypes"
    ListWindowSpec list;
    RecordWindowSpec row;
};

// The four, in menu order.
std::vector<CodeTableWindows> codeTableWindows();

void registerCodeTableWindows(WindowRegistry& registry);

} // namespace mvz
