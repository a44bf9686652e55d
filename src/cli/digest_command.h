#pragma once
// `mvz digest FILE [--verify MARK]`: the control mark of a submission file,
// and whether a printed control mark belongs to it.

namespace CLI {
class App;
}

namespace mvz {

struct CommandRegistry;

void registerDigestCommand(CLI::App& app, CommandRegistry& registry);

} // namespace mvz
