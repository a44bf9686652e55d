#include "cli_command.h"

#include "check_command.h"
#include "digest_command.h"
#include "exchange_command.h"
#include "form_command.h"
#include "id_command.h"
#include "payments_command.h"
#include "payments_form_command.h"

namespace mvz {

namespace {

std::vector<CommandRegistrar>& registrars() {
    static std::vector<CommandRegistrar> all;
    return all;
}

} // namespace

void addCommandRegistrar(CommandRegistrar registrar) {
    registrars().push_back(registrar);
}

void registerCommands(CLI::App& app, CommandRegistry& registry) {
    registerIdCommand(app, registry);
    registerDigestCommand(app, registry);
    registerFormCommands(app, registry);
    registerPaymentsCheckCommand(app, registry);
    registerPaymentsFormCommand(app, registry);
    registerCheckCommand(app, registry);
    registerExchangeCommands(app, registry);
    for (CommandRegistrar extra : registrars())
        extra(app, registry);
}

} // namespace mvz
