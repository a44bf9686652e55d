#include "exchange/staged_swap.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "data/created_file.h"
#include "exchange/data_files.h"
#include "exchange/file_copies.h"

namespace mvz {

namespace {

constexpr const char* kCommitName = "commit";

std::string commitPath(const std::string& dataDir) {
    return stagingFolder(dataDir) + "/" + kCommitName;
}

// Moves one staged file over the data file of its name. A journal left
// beside the old file by a writer that crashed belongs to the old file; were
// it kept, SQLite would roll it back into the new one.
int moveIntoPlace(const std::string& dataDir, const std::string& name) {
    const std::string target = dataDir + "/" + name;
    ::unlink((target + "-journal").c_str());
    const std::string staged = stagingFolder(dataDir) + "/" + name;
    return ::rename(staged.c_str(), target.c_str()) == 0 ? 0 : errno;
}

} // namespace

std::string stagingFolder(const std::string& dataDir) {
    return dataDir + "/.mvz-exchange";
}

void exchangeStep() {
    static const long exitAt = [] {
        const char* v = std::getenv("MVZ_EXCHANGE_EXIT_AT");
        return v ? std::strtol(v, nullptr, 10) : 0L;
    }();
    static long step = 0;
    if (exitAt > 0 && ++step == exitAt) ::_exit(86);
}

std::string openStaging(const std::string& dataDir, mode_t folderMode) {
    removeStaging(dataDir);
    std::error_code ec;
    makeFolder(stagingFolder(dataDir), folderMode, ec);
    if (ec) return ".mvz-exchange: " + systemProblem(ec.value());
    return {};
}

void removeStaging(const std::string& dataDir) {
    std::error_code ec;
    std::filesystem::remove_all(stagingFolder(dataDir), ec);
}

std::string swapInStaged(const std::string& dataDir, const std::vector<std::string>& names,
                         mode_t fileMode) {
    // Nothing is committed that could not be renamed into place.
    for (const std::string& name : names) {
        struct stat st;
        const std::string target = dataDir + "/" + name;
        if (::lstat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            removeStaging(dataDir);
            return name + ": u pretincu s podacima to nije datoteka";
        }
    }
    std::string list;
    for (const std::string& name : names)
        list += name + "\n";
    syncFolder(stagingFolder(dataDir));
    exchangeStep();
    if (std::string why = writeSyncedFile(commitPath(dataDir), list, fileMode); !why.empty()) {
        removeStaging(dataDir);
        return ".mvz-exchange: " + why;
    }
    exchangeStep();
    for (const std::string& name : names) {
        if (const int e = moveIntoPlace(dataDir, name))
            return name + ": " + systemProblem(e) +
                   "; zamjena će se dovršiti kod sljedećeg pokretanja programa";
        exchangeStep();
    }
    syncFolder(dataDir);
    removeStaging(dataDir);
    return {};
}

bool recoverStaging(const std::string& dataDir) {
    std::error_code ec;
    if (!std::filesystem::exists(stagingFolder(dataDir), ec)) return false;
    std::ifstream in(commitPath(dataDir));
    if (in) {
        std::string name;
        bool complete = true;
        while (std::getline(in, name)) {
            if (!findDataFile(name)) continue; // never anything but a data file
            std::error_code missing;
            if (!std::filesystem::exists(stagingFolder(dataDir) + "/" + name, missing))
                continue; // moved before the run stopped
            if (moveIntoPlace(dataDir, name) != 0) complete = false;
        }
        if (!complete) return true; // tried again at the next start
        syncFolder(dataDir);
    }
    removeStaging(dataDir);
    return true;
}

} // namespace mvz
