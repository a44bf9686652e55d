// The program: for now the command line only (the desktop program comes later).
#include "cli_app.h"

#ifndef MVZ_NO_MAIN
int main(int argc, char** argv) {
    return mvz::runCli(argc, argv);
}
#endif
