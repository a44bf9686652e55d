#pragma once
// mvz payments ...: work with payment-data files made by employers' own
// payroll programs. `payments check` is the payment-data input check;
// further subcommands of the group (such as `payments form`) join it through
// paymentsCommand().

namespace CLI {
class App;
}

namespace mvz {

struct CommandRegistry;

// The `payments` subcommand group of the program; created by the first call,
// the same object afterwards. A subcommand of the group is added to it and
// registered with the registry as any other command.
CLI::App* paymentsCommand(CLI::App& app);

// mvz payments check FILE --payer N --type VOI --year YYYY --month MM
//                   [--from D --to D] [--findings-csv OUT]
void registerPaymentsCheckCommand(CLI::App& app, CommandRegistry& registry);

} // namespace mvz
