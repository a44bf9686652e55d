#pragma once
// The windows that move data: "Export datoteka", "Import podataka" (with its
// confirmation "Upozorenje") and "Preuzimanje podataka iz M-Vz 2005",
// registered with the host's menu by their item names.

#include "exchange/folder_run_window.h"

namespace mvz {

class WindowRegistry;
struct WindowContext;

FolderRunSpec exportSpec(const std::string& dataDir);
FolderRunSpec importSpec(const std::string& dataDir);
FolderRunSpec takeoverSpec(const std::string& dataDir);

void registerExchangeWindows(WindowRegistry& registry);

} // namespace mvz
