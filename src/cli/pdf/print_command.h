#pragma once
// `mvz print LIST [--key KEY] [--payer N] --pdf FILE`: a printed list of the
// installation's tables written to a PDF file through the same page models
// as the desktop program's lists, without a display. It draws with Qt, so it
// lives beside the executable rather than in the Qt-free command-line
// library.

namespace CLI {
class App;
}

namespace mvz {

struct CommandRegistry;

void registerPrintCommand(CLI::App& app, CommandRegistry& registry);

} // namespace mvz
