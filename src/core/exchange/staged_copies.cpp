#include "exchange/staged_copies.h"

#include <sys/stat.h>

#include "base/reporter.h"
#include "data/created_file.h"
#include "data/installation_mode.h"
#include "exchange/data_files.h"
#include "exchange/file_copies.h"
#include "exchange/installation_hold.h"
#include "exchange/staged_swap.h"
#include "exchange/table_check.h"

namespace mvz {

namespace {

std::string countMismatch(const std::string& name, bool keyed, std::int64_t found,
                          std::int64_t expected) {
    return name +
           (keyed ? ": ima " + std::to_string(found) + " zapisa, a pri exportu ih je imala " +
                        std::to_string(expected)
                  : ": ima " + std::to_string(found) + " bajtova, a pri exportu ih je imala " +
                        std::to_string(expected)) +
           " (export nije cijeli)";
}

} // namespace

std::string checkSources(const std::string& folder, const std::vector<SourceFile>& files) {
    for (const SourceFile& f : files) {
        const std::string path = folder + "/" + f.name;
        if (f.keyed) {
            const TableCheck check = checkTableFile(path, *findDataFile(f.name)->def, false);
            if (!check.problem.empty()) return f.name + ": " + check.problem;
        } else if (std::string problem = unreadableFileProblem(path); !problem.empty()) {
            return f.name + ": " + problem;
        }
    }
    return {};
}

std::string stageCopies(const std::string& dataDir, const std::string& folder,
                        const std::vector<SourceFile>& files, Reporter& reporter) {
    const mode_t fileMode = fileModeOf(installationMode(dataDir));
    std::uint64_t done = 0;
    for (const SourceFile& f : files) {
        reporter.status("Kopiram " + f.name + " ...");
        reporter.progress(done++, files.size());
        const std::string source = folder + "/" + f.name;
        const std::string staged = stagingFolder(dataDir) + "/" + f.name;
        const mode_t mode = replacementMode(dataDir + "/" + f.name, fileMode);
        const std::string problem =
            f.keyed ? copyTableSnapshot(source, staged, mode) : copyPlainFile(source, staged, mode);
        if (!problem.empty()) return f.name + ": " + problem;
        if (f.keyed) {
            const TableCheck check = checkTableFile(staged, *findDataFile(f.name)->def, true);
            if (!check.problem.empty()) return f.name + ": " + check.problem;
            if (f.expected && check.records != *f.expected)
                return countMismatch(f.name, true, check.records, *f.expected);
        } else if (f.expected) {
            struct stat st;
            const std::int64_t bytes = ::stat(staged.c_str(), &st) == 0 ? st.st_size : -1;
            if (bytes != *f.expected) return countMismatch(f.name, false, bytes, *f.expected);
        }
        exchangeStep();
    }
    reporter.progress(files.size(), files.size());
    return {};
}

std::string replaceDataFiles(const std::string& dataDir, const std::string& folder,
                             const std::vector<SourceFile>& files, Reporter& reporter) {
    const InstallationMode mode = installationMode(dataDir);
    InstallationHold hold;
    if (std::string why = hold.acquire(dataDir, fileModeOf(mode)); !why.empty()) return why;
    recoverStaging(dataDir);
    if (std::string why = checkSources(folder, files); !why.empty()) return why;
    if (std::string why = openStaging(dataDir, folderModeOf(mode)); !why.empty()) return why;
    std::string why = stageCopies(dataDir, folder, files, reporter);
    if (why.empty()) {
        std::vector<std::string> names;
        for (const SourceFile& f : files)
            names.push_back(f.name);
        reporter.status("Zamjenjujem datoteke ...");
        // A swap that fails after its commit is finished at the next start.
        return swapInStaged(dataDir, names, fileModeOf(mode));
    }
    removeStaging(dataDir);
    return why;
}

} // namespace mvz
