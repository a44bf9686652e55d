#include "init_command.h"

#include <ostream>

#include "cli_session.h"
#include "exit_codes.h"
#include "setup/initialize.h"

namespace mvz {

int runInitCommand(CliSession& s, const InitOptions& options) {
    const InitResult r = initializeDataDirectory(s.dataDir(), s.errors(), options);
    if (!r.ok) return s.refuse(r.error);
    s.out() << "initialised " << s.dataDir() << ": " << r.created.size() << " data files, "
            << (options.shared ? "shared with the owner's group" : "private to its owner") << '\n';
    for (const std::string& f : r.created)
        s.out() << "  " << f << '\n';
    if (options.demo) {
        s.out() << "working, input, output and MZ0 folders:\n";
        for (const std::string& f : r.folders)
            s.out() << "  " << f << '\n';
    }
    s.out().flush();
    return s.reporter().fatalShown() ? kExitRefused : kExitOk;
}

} // namespace mvz
