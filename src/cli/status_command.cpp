#include "status_command.h"

#include <filesystem>
#include <grp.h>
#include <iomanip>
#include <ostream>
#include <set>
#include <sys/stat.h>

#include "cli_session.h"
#include "exit_codes.h"
#include "setup/access_check.h"

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

std::string groupOf(const std::string& dir) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0) return "?";
    if (const group* g = ::getgrgid(st.st_gid)) return g->gr_name;
    return std::to_string(st.st_gid);
}

// Whether the installation is private or shared, and a warning on stderr for
// the folder and every data file that others can read.
void reportAccess(CliSession& s, const std::string& dir, const std::vector<std::string>& files) {
    const AccessCheck c = checkInstallationAccess(dir, files);
    const bool shared = c.access.mode == InstallationMode::Shared;
    s.out() << "Installation "
            << (shared ? "shared: readable and writable by its owner's group " + groupOf(dir)
                       : std::string("private: readable by its owner only"));
    if (c.access.source == ModeSource::Inferred)
        s.out() << " (not recorded; taken from the folder's permissions)";
    else if (c.access.source == ModeSource::Unreadable)
        s.out() << " (" << kModeFileName << " cannot be read; taken as private)";
    s.out() << '\n';
    const char* who = shared ? "accounts outside its group" : "other accounts";
    const char* fix = shared ? "o-rwx" : "go-rwx";
    if (c.folderExposed)
        s.err() << "mvz: warning: the data folder can be read by " << who << " ("
                << permissionText(c.folderMode) << "); `chmod " << fix << " " << dir
                << "` closes it\n";
    if (!c.exposedFiles.empty()) {
        s.err() << "mvz: warning: " << c.exposedFiles.size()
                << (c.exposedFiles.size() == 1 ? " data file" : " data files") << " can be read by "
                << who << ":";
        for (const std::string& f : c.exposedFiles)
            s.err() << ' ' << f;
        s.err() << "; `chmod " << fix << "` on them closes them\n";
    }
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
    std::vector<const TableDef*> present;
    std::vector<std::string> files;
    for (const TableDef& def : dictionary())
        if (seen.insert(def.baseName()).second && s.fileExists(def)) {
            present.push_back(&def);
            files.push_back(def.baseName());
        }
    if (!files.empty()) reportAccess(s, dir.string(), files);
    for (const TableDef* def : present)
        s.out() << "  " << std::left << std::setw(18) << def->baseName() << ' '
                << contents(s, *def, canCount) << '\n';
    if (files.empty())
        s.out() << "  no data files yet: `mvz init` sets up a new installation, "
                   "`mvz init --demo` one with a demonstration employer\n";
    s.out() << '\n' << usage;
    s.out().flush();
    return kExitOk;
}

} // namespace mvz
