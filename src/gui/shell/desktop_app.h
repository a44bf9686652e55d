#pragma once
// The desktop program: the main frame over the data directory, until the
// user closes it.

#include <string>

namespace mvz {

// Runs the desktop program in `dataDir` and returns the process exit code.
int runDesktop(int argc, char** argv, const std::string& dataDir);

} // namespace mvz
