#include "digest_command.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>
#include <string>

#include "cli_command.h"
#include "cli_session.h"
#include "exit_codes.h"
#include "submission/digest.h"

namespace mvz {

namespace {

struct DigestOptions {
    std::string file;
    std::string verify;
    bool verifying = false; // --verify was given
};

int runDigestCommand(CliSession& s, const DigestOptions& options) {
    requireRegularInput(options.file);
    if (options.verifying && !isControlMark(options.verify))
        return s.refuse("\"" + options.verify +
                        "\" is not a control mark: 40 hexadecimal digits, with or without the "
                        "dashes after every ten");
    std::string why;
    const std::string digest = doSHAOnFile(options.file, &why);
    if (digest.empty()) return s.refuse(options.file + " cannot be read: " + why);
    s.out() << groupedMark(digest) << '\n';
    s.out().flush();
    if (!options.verifying) return kExitOk;
    if (markMatches(options.verify, digest)) {
        s.out() << "the control mark matches the file\n";
        s.out().flush();
        return kExitOk;
    }
    return s.refuse("the control mark " + options.verify + " does not match " + options.file);
}

} // namespace

void registerDigestCommand(CLI::App& app, CommandRegistry& registry) {
    auto options = std::make_shared<DigestOptions>();
    CLI::App* cmd = app.add_subcommand(
        "digest", "the control mark of a file (SHA-1 of its bytes, four groups of ten "
                  "hexadecimal digits); with --verify exit 0 when MARK matches, 1 when not");
    cmd->add_option("FILE", options->file, "the file, usually a formed submission file")
        ->required();
    CLI::Option* verify =
        cmd->add_option("--verify", options->verify,
                        "a control mark as printed on page A, with or without the dashes");
    registry.add(cmd, [options, verify](CliSession& s) {
        options->verifying = verify->count() > 0;
        return runDigestCommand(s, *options);
    });
}

} // namespace mvz
