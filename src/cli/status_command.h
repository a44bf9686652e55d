#pragma once
// `mvz` without a subcommand: what the data directory holds, and how to use
// the command line.

#include <string>

namespace mvz {

class CliSession;

// `usage` is the short help printed after the listing.
int runStatusCommand(CliSession& session, const std::string& usage);

} // namespace mvz
