// The export: every data file of the installation copied into a folder, with
// the manifest the import checks.

#include <ctime>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "base/reporter.h"
#include "data/created_file.h"
#include "data/installation_mode.h"
#include "exchange/data_files.h"
#include "exchange/exchange.h"
#include "exchange/file_copies.h"
#include "exchange/installation_hold.h"
#include "exchange/manifest.h"
#include "exchange/table_check.h"

namespace mvz {

namespace {

namespace fs = std::filesystem;

constexpr const char* kTempSuffix = ".mvz-tmp";

ExchangeResult failed(std::string detail) {
    ExchangeResult r;
    r.message = "Greška kod exporta";
    r.detail = std::move(detail);
    return r;
}

bool isRegularFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string now() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

// Makes the folder and the folders above it that are missing; the folders
// made get the installation's folder mode, since they hold its data.
std::string makeTarget(const std::string& folder, mode_t folderMode) {
    std::error_code ec;
    const fs::path target(folder);
    if (fs::exists(target, ec)) {
        if (!fs::is_directory(target, ec)) return folder + ": to nije pretinac";
        return {};
    }
    fs::path made;
    for (const fs::path& part : target) {
        made /= part;
        if (fs::exists(made, ec)) continue;
        makeFolder(made.string(), folderMode, ec);
        if (ec)
            return made.string() + ": pretinac se ne može napraviti (" + systemProblem(ec.value()) +
                   ")";
    }
    return {};
}

void removeTemps(const std::string& folder, const std::vector<std::string>& names) {
    for (const std::string& name : names)
        ::unlink((folder + "/" + name + kTempSuffix).c_str());
}

} // namespace

ExchangeResult exportDatabase(const std::string& dataDir, const std::string& folder,
                              Reporter& reporter) {
    std::error_code ec;
    if (folder.empty()) return failed("pretinac za export nije upisan");
    if (!fs::is_directory(dataDir, ec))
        return failed("pretinac s podacima " + dataDir + " ne postoji");
    if (fs::exists(folder, ec) && fs::equivalent(folder, dataDir, ec))
        return failed(folder + ": to je pretinac s podacima; odaberite drugi pretinac");

    std::vector<const DataFile*> present;
    for (const DataFile& f : installationDataFiles())
        if (isRegularFile(dataDir + "/" + f.name)) present.push_back(&f);
    if (present.empty()) return failed(dataDir + ": u pretincu nema datoteka s podacima");

    const InstallationMode mode = installationMode(dataDir);
    const mode_t fileMode = fileModeOf(mode);
    FileLock shared;
    if (std::string why = shareExchange(dataDir, fileMode, shared); !why.empty())
        return failed(why);
    if (std::string why = makeTarget(folder, folderModeOf(mode)); !why.empty()) return failed(why);

    std::vector<std::string> names;
    for (const DataFile* f : present)
        names.push_back(f->name);
    removeTemps(folder, names); // left by an export cut short

    Manifest manifest{programVersion(), now(), {}};
    std::uint64_t done = 0;
    for (const DataFile* f : present) {
        reporter.status("Kopiram " + f->name + " ...");
        reporter.progress(done++, present.size());
        const std::string source = dataDir + "/" + f->name;
        const std::string temp = folder + "/" + f->name + kTempSuffix;
        const mode_t mode = replacementMode(folder + "/" + f->name, fileMode);
        std::string problem =
            f->keyed ? copyTableSnapshot(source, temp, mode) : copyPlainFile(source, temp, mode);
        ManifestEntry entry{f->name, f->keyed, 0};
        if (problem.empty() && f->keyed) {
            const TableCheck check = checkTableFile(temp, *f->def, false);
            problem = check.problem;
            entry.size = check.records;
        } else if (problem.empty()) {
            struct stat st;
            entry.size = ::stat(temp.c_str(), &st) == 0 ? st.st_size : 0;
        }
        if (!problem.empty()) {
            removeTemps(folder, names);
            return failed(f->name + ": " + problem);
        }
        manifest.files.push_back(entry);
    }

    // The old manifest goes first: a folder whose renames were cut short
    // holds no manifest, and the import takes no folder without one.
    ::unlink((folder + "/" + kManifestName).c_str());
    for (const std::string& name : names) {
        const std::string temp = folder + "/" + name + kTempSuffix;
        if (::rename(temp.c_str(), (folder + "/" + name).c_str()) != 0) {
            const std::string problem = systemProblem(errno);
            removeTemps(folder, names);
            return failed(name + ": " + problem);
        }
    }
    if (std::string why = writeSyncedFile(folder + "/" + kManifestName, manifestText(manifest),
                                          replacementMode(folder + "/" + kManifestName, fileMode));
        !why.empty())
        return failed(std::string(kManifestName) + ": " + why);
    syncFolder(folder);
    reporter.progress(present.size(), present.size());

    ExchangeResult r;
    r.ok = true;
    r.message = "Export je završen. Provjerite";
    r.files = names;
    return r;
}

} // namespace mvz
