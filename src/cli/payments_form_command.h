#pragma once
// mvz payments form: forms from payment data ("&Obrada obveznika" of the
// window "Formiranje obrazaca M-Vz na temelju preuzetih podataka").

namespace CLI {
class App;
}

namespace mvz {

struct CommandRegistry;

// mvz payments form FILE --payer N --type VOI --year YYYY --month MM
//   [--from D --to D --pay-year YYYY --pay-month MM --seq N --date DD.MM.YYYY]
//   --mode single|collective [--append] [--collect]
// Exit 0 only when the payer file was formed.
void registerPaymentsFormCommand(CLI::App& app, CommandRegistry& registry);

} // namespace mvz
