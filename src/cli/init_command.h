#pragma once
// `mvz init [--demo] [--shared]`: sets up the data directory of a new
// installation, private to its owner unless shared.

namespace mvz {

class CliSession;
struct InitOptions;

int runInitCommand(CliSession& session, const InitOptions& options);

} // namespace mvz
