#pragma once
// `mvz print LIST [--key KEY] [--payer N] --pdf FILE`: a printed list of the
// installation's tables written to a PDF file through the same page models
// as the desktop program's lists, without a display. It draws with Qt, so it
// lives beside the executable rather than in the Qt-free command-line
// library.

#include <string>

#include "print/page_model.h"

namespace CLI {
class App;
}

namespace mvz {

struct CommandRegistry;

void registerPrintCommand(CLI::App& app, CommandRegistry& registry);

// Writes the pages to a PDF file without a display (the writer the program
// hands the command-line library, pdf_output.h).
std::string writePdfOffscreen(const PageModel& model, const std::string& path);

} // namespace mvz
