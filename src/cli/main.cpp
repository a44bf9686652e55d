// The program: with a subcommand it runs the command line headless; with no
// subcommand (at most --data DIR) it opens the desktop program.
#include <cstring>
#include <string>

#include "cli_app.h"
#include "cli_command.h"
#include "pdf/print_command.h"
#include "pdf_output.h"
#include "shell/desktop_app.h"

int main(int argc, char** argv) {
    std::string dataDir = ".";
    bool desktop = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc) {
            dataDir = argv[++i];
        } else if (std::strncmp(argv[i], "--data=", 7) == 0) {
            dataDir = argv[i] + 7;
        } else {
            desktop = false;
            break;
        }
    }
    if (desktop) return mvz::runDesktop(argc, argv, dataDir);
    mvz::addCommandRegistrar(mvz::registerPrintCommand);
    mvz::setPdfWriter(mvz::writePdfOffscreen);
    return mvz::runCli(argc, argv);
}
