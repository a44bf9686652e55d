#include "cli_command.h"

#include "id_command.h"

namespace mvz {

void registerCommands(CLI::App& app, CommandRegistry& registry) {
    (void)app;
    (void)registry;
    registerIdCommand(app, registry);
}

} // namespace mvz
