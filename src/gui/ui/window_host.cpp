#include "ui/window_host.h"

#include <QWidget>

#include <algorithm>
#include <vector>

namespace mvz {

namespace {

// Hosts alive, in the order they were made.
std::vector<WindowHost*>& hosts() {
    static std::vector<WindowHost*> all;
    return all;
}

} // namespace

WindowHost::WindowHost() {
    hosts().push_back(this);
}

WindowHost::~WindowHost() {
    auto& all = hosts();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

WindowHost* WindowHost::of(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (auto* host = dynamic_cast<WindowHost*>(const_cast<QWidget*>(w))) return host;
    return defaultHost();
}

WindowHost* WindowHost::defaultHost() {
    return hosts().empty() ? nullptr : hosts().back();
}

} // namespace mvz
