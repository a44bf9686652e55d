#pragma once
// How a subcommand joins the command line: it declares its options on the
// CLI11 app and leaves a function that runs it once parsing is done.

#include <functional>
#include <utility>
#include <vector>

namespace CLI {
class App;
}

namespace mvz {

class CliSession;

struct CommandRegistry {
    std::vector<std::pair<CLI::App*, std::function<int(CliSession&)>>> commands;
    void add(CLI::App* command, std::function<int(CliSession&)> run) {
        commands.emplace_back(command, std::move(run));
    }
};

// Every subcommand beyond init and table registers itself here (one line per
// command in cli_commands.cpp).
void registerCommands(CLI::App& app, CommandRegistry& registry);

// A subcommand that the program adds beside the library's own (one that
// needs more than the Qt-free core, such as printing to PDF); registered by
// registerCommands after the others. Call before runCli.
using CommandRegistrar = void (*)(CLI::App& app, CommandRegistry& registry);
void addCommandRegistrar(CommandRegistrar registrar);

} // namespace mvz
