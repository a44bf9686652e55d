#pragma once
// Process-wide variables bound by name into the range limits and filters of
// lists ("GLO:Firma", "LOC:JMBG"): the window that owns a variable binds a
// getter of its current value; lists read it whenever they refill.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mvz {

// The value as a user would type it (UTF-8).
using BoundValue = std::function<std::string()>;

// Binds (or rebinds) a name, case-insensitive; an empty getter unbinds it.
void bindName(std::string_view name, BoundValue value);
// The current value of a bound name, or nullopt when it is not bound.
std::optional<std::string> boundValue(std::string_view name);
bool isBound(std::string_view name);

} // namespace mvz
