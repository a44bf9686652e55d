#pragma once
// The command line: `mvz [--data DIR] [--yes|--no] SUBCOMMAND ...`. Reads the
// arguments, runs one subcommand and returns the exit code (exit_codes.h).

#include <iosfwd>

namespace mvz {

int runCli(int argc, char** argv);
int runCli(int argc, char** argv, std::ostream& out, std::ostream& err);

} // namespace mvz
