#pragma once
// mvz form, mvz collect and mvz list-collective: forming one payer's
// submission file, merging the collective list, and showing that list.

namespace CLI {
class App;
}

namespace mvz {

struct CommandRegistry;

void registerFormCommands(CLI::App& app, CommandRegistry& registry);

} // namespace mvz
