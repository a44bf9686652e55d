#pragma once
// `mvz init [--demo]`: sets up the data directory of a new installation.

namespace mvz {

class CliSession;

int runInitCommand(CliSession& session, bool demo);

} // namespace mvz
