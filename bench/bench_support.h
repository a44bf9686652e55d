#pragma once
// What every benchmark needs: a reporter that writes the messages it is
// shown to standard error and answers with the default button, and the time
// since a moment.

#include <chrono>
#include <cstdio>

#include "base/reporter.h"

namespace mvz::bench {

struct StderrReporter : Reporter {
    Button show(const MessageBox& box) override {
        std::fprintf(stderr, "%s: %s\n", box.title.c_str(), box.text.c_str());
        return box.defaultButton;
    }
};

inline double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

} // namespace mvz::bench
