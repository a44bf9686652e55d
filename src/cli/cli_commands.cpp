#include "cli_command.h"

#include "check_command.h"
#include "digest_command.h"
#include "exchange_command.h"
#include "form_command.h"
#include "id_command.h"
#include "payments_command.h"
#include "payments_form_command.h"

namespace mvz {

void registerCommands(CLI::App& app, CommandRegistry& registry) {
    (void)app;
    (void)registry;
    registerIdCommand(app, registry);
    registerDigestCommand(app, registry);
    registerFormCommands(app, registry);
    registerPaymentsCheckCommand(app, registry);
    registerPaymentsFormCommand(app, registry);
    registerCheckCommand(app, registry);
    registerExchangeCommands(app, registry);
}

} // namespace mvz
