#pragma once
// Runs the built `mvz` program (MVZ_BINARY) the way a user does and collects
// its exit code and output.

#include <string>
#include <vector>

namespace mvz::test {

struct MvzRun {
    int code = -1;
    std::string out; // stdout
    std::string err; // stderr
};

// Runs `mvz --data DIR ARGS...`; each argument is passed as it is (quoted for
// the shell). An empty dataDir leaves out --data.
MvzRun runMvz(const std::string& dataDir, const std::vector<std::string>& args);

} // namespace mvz::test
