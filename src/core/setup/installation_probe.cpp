#include "setup/installation_probe.h"

#include <filesystem>

#include "setup/initialize.h"

namespace mvz {

bool holdsDataFiles(const std::string& dataDir) {
    std::error_code ec;
    for (const std::string& file : initDataFiles(true))
        if (std::filesystem::exists(std::filesystem::path(dataDir) / file, ec)) return true;
    return false;
}

} // namespace mvz
