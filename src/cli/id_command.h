#pragma once
// `mvz id [--csv] VALUE...`: the kind of each identifier, the strict check with
// the form the field would store, and the lenient check.

namespace CLI {
class App;
}

namespace mvz {

struct CommandRegistry;

void registerIdCommand(CLI::App& app, CommandRegistry& registry);

} // namespace mvz
