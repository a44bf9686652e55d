#include "base/test_point.h"

#include <csignal>
#include <cstdlib>
#include <string>

namespace mvz {

void testPoint(const char* name) {
    static const std::string wanted = [] {
        const char* v = std::getenv("MVZ_TEST_POINT");
        return std::string(v ? v : "");
    }();
    if (wanted.empty()) return;
    static bool done = false;
    const std::string point(name);
    if (done || wanted.compare(0, point.size(), point) != 0) return;
    const std::string action = wanted.substr(point.size());
    int signal = 0;
    if (action.empty() || action == ":kill")
        signal = SIGKILL;
    else if (action == ":stop")
        signal = SIGSTOP;
    else if (action == ":interrupt")
        signal = SIGINT;
    else
        return;
    done = true;
    std::raise(signal);
}

} // namespace mvz
