#include "exchange_command.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>
#include <string>

#include "cli_command.h"
#include "cli_session.h"
#include "exchange/exchange.h"
#include "exit_codes.h"

namespace mvz {

namespace {

int report(CliSession& s, const char* title, const ExchangeResult& r) {
    for (const std::string& row : r.refusedRows)
        s.err() << row << '\n';
    s.err() << title << ": " << r.message << '\n';
    if (!r.detail.empty()) s.err() << "mvz: " << r.detail << '\n';
    s.err().flush();
    for (const std::string& file : r.files)
        s.out() << file << '\n';
    s.out().flush();
    return r.ok ? kExitOk : kExitRefused;
}

int runExport(CliSession& s, const std::string& folder) {
    return report(s, "Export datoteka", exportDatabase(s.dataDir(), folder, s.reporter()));
}

int refuseUnconfirmed(CliSession& s) {
    return s.refuse("not confirmed; nothing was changed (answer the question with --yes)");
}

int runImport(CliSession& s, const std::string& folder) {
    if (std::string why = s.checkDataDir(); !why.empty()) return s.refuse(why);
    // A folder without an employer table is refused before anything is asked.
    if (holdsEmployerTable(folder) && !confirmReplacement(s.reporter()))
        return refuseUnconfirmed(s);
    return report(s, "Import podataka", importDatabase(s.dataDir(), folder, s.errors()));
}

int runTakeover(CliSession& s, const std::string& folder) {
    if (std::string why = s.checkDataDir(); !why.empty()) return s.refuse(why);
    if (!confirmReplacement(s.reporter())) return refuseUnconfirmed(s);
    return report(s, "Preuzimanje podataka iz M-Vz 2005",
                  takeOver(s.dataDir(), folder, s.errors()));
}

} // namespace

void registerExchangeCommands(CLI::App& app, CommandRegistry& registry) {
    auto exportFolder = std::make_shared<std::string>();
    CLI::App* exp = app.add_subcommand(
        "export", "copy every data file into DIR (made when missing) with a manifest, as a "
                  "consistent snapshot; all or nothing");
    exp->add_option("DIR", *exportFolder, "the folder for the copies")->required();
    registry.add(exp, [exportFolder](CliSession& s) { return runExport(s, *exportFolder); });

    auto importFolder = std::make_shared<std::string>();
    CLI::App* imp = app.add_subcommand(
        "import", "replace the installation's tables by those of an export in DIR, after "
                  "asking (--yes answers); all or nothing");
    imp->add_option("DIR", *importFolder, "the folder of an export")->required();
    registry.add(imp, [importFolder](CliSession& s) { return runImport(s, *importFolder); });

    auto takeoverFolder = std::make_shared<std::string>();
    CLI::App* take = app.add_subcommand(
        "takeover", "replace the employers and employees by those of another installation's "
                    "folder (TBPOSLOD.DAT, TBZAPOSL.DAT) or of TBPOSLOD.csv and TBZAPOSL.csv, "
                    "after asking (--yes answers); both or neither");
    take->add_option("DIR", *takeoverFolder, "the folder to take the data from")->required();
    registry.add(take, [takeoverFolder](CliSession& s) { return runTakeover(s, *takeoverFolder); });
}

} // namespace mvz
