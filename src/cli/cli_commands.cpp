#include "cli_command.h"

namespace mvz {

void registerCommands(CLI::App& app, CommandRegistry& registry) {
    (void)app;
    (void)registry;
}

} // namespace mvz
