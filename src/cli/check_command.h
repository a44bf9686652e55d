#pragma once
// `mvz check FILE [--findings-csv OUT] [--transcript] [--quiet]`: the formal
// control of a submission file, as "&Kontrola datoteke" runs it, with the
// findings printed and optionally exported.

namespace CLI {
class App;
}

namespace mvz {

struct CommandRegistry;

void registerCheckCommand(CLI::App& app, CommandRegistry& registry);

} // namespace mvz
