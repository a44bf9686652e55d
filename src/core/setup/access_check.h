#pragma once
// Whether an installation's data can be read by accounts it is not meant for:
// anyone but the owner for a private installation, anyone outside the owner's
// group for a shared one. Older installations, and files copied in by hand,
// may be wider than the mode the program gives the files it creates.

#include <string>
#include <sys/types.h>
#include <vector>

#include "data/installation_mode.h"

namespace mvz {

struct AccessCheck {
    InstallationAccess access;
    mode_t folderMode = 0; // the data folder's permissions
    bool folderExposed = false;
    std::vector<std::string> exposedFiles; // of those asked about, by name
};

// Checks the data folder and the named files in it (names of files that do
// not exist are passed over).
AccessCheck checkInstallationAccess(const std::string& dataDir,
                                    const std::vector<std::string>& fileNames);

// The permission bits that let someone outside the installation's circle read
// (or, for a folder, list or enter).
mode_t exposingBits(InstallationMode mode, bool folder);

// "rwxr-x---" style text of permission bits (set-group-ID shown as 's').
std::string permissionText(mode_t mode);

} // namespace mvz
