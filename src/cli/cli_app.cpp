#include "cli_app.h"

#include <CLI/CLI.hpp>

#include <iostream>

#include "cli_command.h"
#include "cli_session.h"
#include "exit_codes.h"
#include "init_command.h"
#include "setup/initialize.h"
#include "status_command.h"
#include "table_command.h"

namespace mvz {

namespace {

constexpr const char* kUsage =
    "Usage: mvz [--data DIR] [--yes|--no] SUBCOMMAND ...\n"
    "  (no subcommand: the desktop program)\n"
    "  status                             the data files of the directory and their records\n"
    "  init [--demo] [--shared]           set up a new data directory (--demo: with a\n"
    "                                     demonstration employer and its employees;\n"
    "                                     --shared: for the owner's group too, not private)\n"
    "  table NAME list [--key KEY] [--from FIELD=VALUE...] [--reverse] [--limit N] [--csv]\n"
    "  table NAME get [--key KEY] FIELD=VALUE...\n"
    "  table NAME add FIELD=VALUE...      (the tables kept by windows: with the window's\n"
    "                                     checks and questions, also change/delete/load)\n"
    "  table NAME change [--key KEY] FIELD=VALUE... --set FIELD=VALUE...\n"
    "  table NAME delete [--key KEY] FIELD=VALUE...   (dependants are deleted too)\n"
    "  table NAME load FILE.csv           (UTF-8, header row of field names; all or nothing)\n"
    "  table NAME dump [--csv]\n"
    "  id [--csv] VALUE...                check identifiers (strict and lenient)\n"
    "  digest FILE [--verify MARK]        the control mark of a file\n"
    "  form --payer N|N,N...|all --type VOI --mode single|collective [--append]\n"
    "       [--year Y --month M] [--from D --to D] [--pay-year Y --pay-month M] [--seq N]\n"
    "       [--date DD.MM.YYYY] [--collect] [--copy [PATH]] [--pdf FILE]\n"
    "                                     (without --from/--to: the whole month)\n"
    "  collect [--date DD.MM.YYYY] [--copy [PATH]] [--pdf FILE]\n"
    "                                     merge the collective list into ZOVAK.MZ0\n"
    "  copy FILE [--to PATH]              copy a formed file (default: MZ0 folder/ZOVAK.MZ0)\n"
    "  list-collective                    what the collective list holds\n"
    "  check FILE [--findings-csv OUT] [--transcript] [--quiet]   formal control of a file\n"
    "  payments check FILE --payer N --type VOI --year Y --month M [--from D --to D]\n"
    "       [--findings-csv OUT]           check a payment-data file\n"
    "  payments form FILE --payer N --type VOI --year Y --month M --mode single|collective\n"
    "       [...options of form] [--collect]  forms from a payment-data file\n"
    "  print LIST [--key KEY] [--payer N] --pdf FILE   a printed list as a PDF file\n"
    "                                     (`mvz print --help` names the lists)\n"
    "  print page-a|page-a-no-hash|page-b|page-b-2 --form FORM --pdf FILE\n"
    "                                     the pages of a formed form as a PDF file\n"
    "  export DIR                         copy every data file into DIR, with a manifest\n"
    "  import DIR                         replace the tables by an export's (asks first)\n"
    "  takeover DIR                       take employers and employees over from another\n"
    "                                     installation's folder or TBPOSLOD.csv/TBZAPOSL.csv\n"
    "NAME is a table's file name without extension (TBPOSLOD) or its prefix (POS); FIELD\n"
    "is a field name with or without the prefix. `mvz SUBCOMMAND --help` tells more.\n";

constexpr const char* kFooter =
    "\nThe data directory is the current directory unless --data names another.\n"
    "Questions are answered with their default button unless --yes or --no is given.\n"
    "Exit codes: 0 success; 1 the input was refused (a message was shown, a value was\n"
    "malformed, a record was not found, a CSV file was refused, or the data directory\n"
    "cannot be used); 2 bad usage, including unknown table, field and key names.";

void addKeyOption(CLI::App* cmd, std::string& key) {
    cmd->add_option("--key", key, "the key that names the record (default: the primary key)");
}

} // namespace

int runCli(int argc, char** argv) {
    return runCli(argc, argv, std::cout, std::cerr);
}

int runCli(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"mvz: monthly pension-contribution reports (M-Vz) of Croatian employers", "mvz"};
    app.footer(kFooter);
    app.fallthrough();
    app.require_subcommand(0, 1);

    std::string dataDir = ".";
    bool yes = false;
    bool no = false;
    app.add_option("--data", dataDir, "the data directory (default: the current directory)");
    auto* yesFlag = app.add_flag("--yes", yes, "answer every question Yes");
    app.add_flag("--no", no, "answer every question No")->excludes(yesFlag);

    InitOptions initOptions;
    CLI::App* init = app.add_subcommand(
        "init", "set up the data files of a new installation (never overwrites data files)");
    init->add_flag("--demo", initOptions.demo,
                   "also the authorised person, working folders under the data directory and a "
                   "demonstration employer with its employees' pay rows for this month and the "
                   "previous one");
    init->add_flag("--shared", initOptions.shared,
                   "a data folder shared by the owner's group (several desks of a bureau): its "
                   "files readable and writable by the group as well; without it the "
                   "installation is private to its owner");

    TableCommand tc;
    CLI::App* table = app.add_subcommand("table", "list and change the records of one table");
    table->add_option("NAME", tc.table, "file name without extension (TBPOSLOD) or prefix (POS)")
        ->required();
    table->require_subcommand(1);

    CLI::App* list = table->add_subcommand("list", "list records in key order");
    addKeyOption(list, tc.key);
    list->add_option("--from", tc.from, "start at these key values (FIELD=VALUE...)");
    list->add_flag("--reverse", tc.reverse, "read backwards");
    list->add_option("--limit", tc.limit, "at most N records")->check(CLI::NonNegativeNumber);
    list->add_flag("--csv", tc.csv, "CSV with a header row of field names");

    CLI::App* get = table->add_subcommand("get", "show the records with the given key values");
    addKeyOption(get, tc.key);
    get->add_option("VALUES", tc.values, "the key's values as FIELD=VALUE")->required();
    get->add_flag("--csv", tc.csv, "CSV with a header row of field names");

    CLI::App* add = table->add_subcommand("add", "add a record (fields not named are blank)");
    add->add_option("VALUES", tc.values, "the record's values as FIELD=VALUE")->required();

    CLI::App* change =
        table->add_subcommand("change", "change the record with the given key values");
    addKeyOption(change, tc.key);
    change->add_option("VALUES", tc.values, "the key's values as FIELD=VALUE")->required();
    change->add_option("--set", tc.set, "the new values as FIELD=VALUE (last on the line)")
        ->required();

    CLI::App* del = table->add_subcommand(
        "delete", "delete the record with the given key values, with its dependants");
    addKeyOption(del, tc.key);
    del->add_option("VALUES", tc.values, "the key's values as FIELD=VALUE")->required();

    CLI::App* load = table->add_subcommand(
        "load", "add the records of a CSV file (UTF-8, header row of field names), all or none");
    load->add_option("FILE", tc.file, "the CSV file")->required();

    CLI::App* dump = table->add_subcommand("dump", "every record, in the order of the first key");
    dump->add_flag("--csv", tc.csv, "CSV with a header row of field names");

    CLI::App* status = app.add_subcommand(
        "status", "what the data directory holds (the data files and their records)");

    CommandRegistry registry;
    registerCommands(app, registry);

    // The subcommands took the footer above; the program's own help also shows
    // the short usage.
    app.footer(std::string("\n") + kUsage + kFooter);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e, out, err);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e, out, err);
    } catch (const CLI::ParseError& e) {
        app.exit(e, out, err);
        return kExitUsage;
    }

    const CliReporter::Assume assume =
        yes ? CliReporter::Assume::Yes
            : (no ? CliReporter::Assume::No : CliReporter::Assume::Default);
    CliSession session(dataDir, assume, out, err);
    try {
        if (*init) return runInitCommand(session, initOptions);
        if (*table) {
            using A = TableCommand::Action;
            const std::pair<CLI::App*, A> actions[] = {
                {list, A::List},  {get, A::Get},   {add, A::Add},  {change, A::Change},
                {del, A::Delete}, {load, A::Load}, {dump, A::Dump}};
            for (const auto& [cmd, action] : actions)
                if (*cmd) tc.action = action;
            return runTableCommand(session, tc);
        }
        for (const auto& [cmd, run] : registry.commands)
            if (*cmd) return run(session);
        (void)status;
        return runStatusCommand(session, kUsage);
    } catch (const UsageError& e) {
        err << "mvz: " << e.what() << '\n';
        return kExitUsage;
    } catch (const std::exception& e) {
        err << "mvz: " << e.what() << '\n';
        return kExitRefused;
    }
}

} // namespace mvz
