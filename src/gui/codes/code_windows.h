#pragma once
// The windows of the code tables (payer and calculation types, bases,
// extended-service marks, municipalities), the rates and the control table,
// registered with the host's menu by their item names.

namespace mvz {

class WindowRegistry;

void registerCodeWindows(WindowRegistry& registry);

} // namespace mvz
