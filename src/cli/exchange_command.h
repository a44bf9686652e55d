#pragma once
// mvz export DIR, mvz import DIR, mvz takeover DIR: moving the installation's
// data to another folder and back, and taking employers and employees over.

namespace CLI {
class App;
}

namespace mvz {

struct CommandRegistry;

void registerExchangeCommands(CLI::App& app, CommandRegistry& registry);

} // namespace mvz
