#pragma once
// Whether a folder holds an installation of this program: the desktop
// program offers to create one where there is none, instead of quietly
// making one file and showing empty lists.

#include <string>

namespace mvz {

// True when any data file a new installation would create is in `dataDir`.
bool holdsDataFiles(const std::string& dataDir);

} // namespace mvz
