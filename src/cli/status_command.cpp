#include "status_command.h"

#include <filesystem>
#include <iomanip>
#include <ostream>
#include <set>

#include "cli_session.h"
#include "exit_codes.h"

namespace mvz {

namespace {

bool isText(const TableDef& def) {
    return def.kind == TableKind::LineText || def.kind == TableKind::CommaDelimited;
}

// "27 records", "1 line", or why the file cannot be counted.
std::string contents(CliSession& s, const TableDef& def, bool canCount) {
    if (def.kind == TableKind::DBase || !canCount) return "";
    TableAccess& t = s.tables().access(def.prefix.empty() ? def.fileName : def.prefix);
    t.setShareMode(ShareMode::ReadOnly);
    if (t.open(true, false) != result::Ok) return "cannot be read";
    const std::int64_t n = t.count();
    const bool failed = static_cast<bool>(t.lastError());
    t.close();
    if (failed) return "cannot be read";
    const char* unit =
        isText(def) ? (n == 1 ? " line" : " lines") : (n == 1 ? " record" : " records");
    return std::to_string(n) + unit;
}

} // namespace

int runStatusCommand(CliSession& s, const std::string& usage) {
    std::error_code ec;
    const auto dir = std::filesystem::absolute(s.dataDir(), ec).lexically_normal();
    if (!std::filesystem::is_directory(dir, ec)) {
        s.refuse("the data directory " + s.dataDir() + " does not exist");
        s.err() << '\n' << usage;
        return kExitRefused;
    }
    // Counting opens the files, which needs a writable directory.
    const bool canCount = s.checkDataDir().empty();
    s.out() << "Data directory " << dir.string() << '\n';
    std::set<std::string> seen;
    int files = 0;
    for (const TableDef& def : dictionary()) {
        if (!seen.insert(def.baseName()).second || !s.fileExists(def)) continue;
        ++files;
        s.out() << "  " << std::left << std::setw(18) << def.baseName() << ' '
                << contents(s, def, canCount) << '\n';
    }
    if (files == 0)
        s.out() << "  no data files yet: `mvz init` sets up a new installation, "
                   "`mvz init --demo` one with a demonstration employer\n";
    s.out() << '\n' << usage;
    s.out().flush();
    return kExitOk;
}

} // namespace mvz
