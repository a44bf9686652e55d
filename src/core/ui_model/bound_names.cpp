#include "ui_model/bound_names.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

namespace mvz {

namespace {

std::string folded(std::string_view name) {
    std::string out(name);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

struct Registry {
    std::mutex mutex;
    std::map<std::string, BoundValue> values;
};

Registry& registry() {
    static Registry r;
    return r;
}

} // namespace

void bindName(std::string_view name, BoundValue value) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (value)
        r.values[folded(name)] = std::move(value);
    else
        r.values.erase(folded(name));
}

std::optional<std::string> boundValue(std::string_view name) {
    BoundValue getter;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        auto it = r.values.find(folded(name));
        if (it == r.values.end()) return std::nullopt;
        getter = it->second;
    }
    return getter();
}

bool isBound(std::string_view name) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return r.values.count(folded(name)) != 0;
}

} // namespace mvz
