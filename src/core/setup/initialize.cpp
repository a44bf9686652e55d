#include "setup/initialize.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "data/created_file.h"
#include "data/csv_table_load.h"
#include "data/dictionary.h"
#include "data/installation_mode.h"
#include "data/tables.h"
#include "setup/demo_data.h"
#include "setup/sample_data.h"

namespace mvz {

namespace {

namespace fs = std::filesystem;

constexpr const char* kApplicationTable = "APL";
constexpr const char* kFolderTable = "IZLF";

std::string fileOf(std::string_view table) {
    const TableDef* def = findTable(table);
    return def ? def->baseName() : std::string(table);
}

std::string setupTables(Tables& tables, const InitOptions& options, const DemoFolders& folders) {
    for (const SampleFile& f : sampleFiles("initial")) {
        CsvLoadResult r = loadCsvText(tables.access(f.stem), f.text, "data/" + f.name);
        if (!r.ok) return r.error;
    }

    TableAccess& apl = tables.access(kApplicationTable);
    if (apl.open() != result::Ok) return apl.def().fileName + " could not be opened";
    Record& record = apl.record();
    record.clear();
    std::string why;
    if (options.demo) {
        why = demoApplicationRecord(record, folders);
    } else {
        record.setInteger(apl.def().fieldIndex("RB"), 1);
        record.setText(apl.def().fieldIndex("JMBG"), kPlaceholderIdentifier);
    }
    if (why.empty() && apl.add() != result::Ok)
        why = apl.def().fileName + " refused the record of the application parameters";
    apl.close();
    if (!why.empty()) return why;

    // TBIZLFOLDER.TXT: one line, the MZ0 folder (none for a plain installation).
    TableAccess& folderFile = tables.access(kFolderTable);
    if (folderFile.open() != result::Ok) return folderFile.def().fileName + " could not be made";
    folderFile.record().clear();
    why = folderFile.record().setFromDisplay(0, options.demo ? folders.mz0 : "");
    const bool written =
        why.empty() && folderFile.removeAll() == result::Ok && folderFile.add() == result::Ok;
    folderFile.close();
    if (!why.empty()) return why;
    if (!written || folderFile.lastError())
        return folderFile.def().fileName + " could not be written";

    if (options.demo) return addDemoEmployer(tables, options.today);
    return {};
}

// The data folder of the installation gets its mode: a private one is closed
// to everyone but the owner, a shared one opened to the owner's group (and
// set-group-ID, so that the files made inside keep the group). `before` gets
// the permissions it had, to put back when init fails.
std::string applyFolderMode(const fs::path& dir, InstallationMode mode, mode_t& before) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0) return dir.string() + ": " + std::strerror(errno);
    before = st.st_mode & 07777;
    const mode_t wanted = folderModeOf(mode);
    if (wanted != before && ::chmod(dir.c_str(), wanted) != 0)
        return "the permissions of " + dir.string() + " cannot be set: " + std::strerror(errno);
    return {};
}

void removeQuietly(const fs::path& p) {
    std::error_code ec;
    fs::remove(p, ec);
}

} // namespace

std::vector<std::string> initDataFiles(bool demo) {
    std::vector<std::string> out;
    for (const SampleFile& f : sampleFiles("initial"))
        out.push_back(fileOf(f.stem));
    out.push_back(fileOf(kApplicationTable));
    out.push_back(fileOf(kFolderTable));
    if (demo) {
        out.push_back(fileOf("POS"));
        out.push_back(fileOf("RAD"));
    }
    return out;
}

InitResult initializeDataDirectory(const std::string& dataDir, ErrorReporter& errors,
                                   const InitOptions& options) {
    InitResult result;
    std::error_code ec;
    const fs::path dir(dataDir.empty() ? "." : dataDir);
    // A new installation may name a folder that is still to be made (its
    // parent must exist); it is taken back when init fails.
    const InstallationMode mode =
        options.shared ? InstallationMode::Shared : InstallationMode::Private;
    bool madeDir = false;
    if (!fs::exists(dir, ec)) {
        madeDir = makeFolder(dir.string(), folderModeOf(mode), ec);
        if (!madeDir) {
            result.error = "the data directory " + dir.string() + " cannot be created: " +
                           (ec ? ec.message() : std::string("its parent folder is missing"));
            return result;
        }
    }
    if (!fs::is_directory(dir, ec)) {
        result.error = "the data directory " + dir.string() + " is not a directory";
        return result;
    }
    if (::access(dir.c_str(), W_OK | X_OK) != 0) {
        result.error = "the data directory " + dir.string() + " cannot be written";
        return result;
    }
    for (const SampleFile& f : sampleFiles("initial"))
        if (!findTable(f.stem)) {
            result.error = "data/" + f.name + " names no table of the dictionary";
            return result;
        }

    const std::vector<std::string> files = initDataFiles(options.demo);
    std::string existing;
    for (const std::string& f : files)
        if (fs::exists(dir / f, ec)) existing += (existing.empty() ? "" : ", ") + f;
    if (!existing.empty()) {
        result.error = dir.string() + " already holds " + existing +
                       "; init changes nothing there (use an empty directory)";
        return result;
    }

    // The mode is recorded first: the tables' session reads it and creates
    // every file with it.
    mode_t folderBefore = 0;
    std::string why = applyFolderMode(dir, mode, folderBefore);
    if (why.empty()) why = recordInstallationMode(dir.string(), mode);
    DemoFolders folders;
    std::vector<std::string> madeFolders;
    if (why.empty() && options.demo)
        why = createDemoFolders(dir.string(), folderModeOf(mode), folders, madeFolders);
    if (why.empty()) {
        Tables tables(dir.string(), errors);
        why = setupTables(tables, options, folders);
    }
    if (!why.empty()) {
        // Take back what was made, so that init can simply be run again.
        for (const std::string& f : files) {
            removeQuietly(dir / f);
            removeQuietly(dir / (f + "-journal"));
        }
        for (const std::string& d : madeFolders)
            removeQuietly(d); // only when still empty
        removeQuietly(dir / kModeFileName);
        if (madeDir)
            fs::remove_all(dir, ec);
        else if (folderBefore)
            ::chmod(dir.c_str(), folderBefore);
        result.error = why;
        return result;
    }
    result.ok = true;
    result.created = files;
    if (options.demo) result.folders = {folders.work, folders.input, folders.output, folders.mz0};
    return result;
}

} // namespace mvz
