#include "data/installation_mode.h"

#include <fstream>
#include <sys/stat.h>

#include "data/created_file.h"

namespace mvz {

namespace {

std::string modeFilePath(const std::string& dataDir) {
    return (dataDir.empty() ? std::string(".") : dataDir) + "/" + kModeFileName;
}

} // namespace

const char* modeName(InstallationMode mode) {
    return mode == InstallationMode::Shared ? "shared" : "private";
}

mode_t fileModeOf(InstallationMode mode) {
    return mode == InstallationMode::Shared ? 0660 : 0600;
}

mode_t folderModeOf(InstallationMode mode) {
    return mode == InstallationMode::Shared ? 02770 : 0700;
}

InstallationAccess installationAccess(const std::string& dataDir) {
    const std::string path = modeFilePath(dataDir);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        // Not recorded (an installation older than the choice): a folder
        // its group may write to was evidently meant to be shared.
        const std::string dir = dataDir.empty() ? std::string(".") : dataDir;
        const bool groupWrites = ::stat(dir.c_str(), &st) == 0 && (st.st_mode & S_IWGRP);
        return {groupWrites ? InstallationMode::Shared : InstallationMode::Private,
                ModeSource::Inferred};
    }
    std::ifstream in(path);
    std::string word;
    in >> word;
    if (word == "shared") return {InstallationMode::Shared, ModeSource::Recorded};
    if (word == "private") return {InstallationMode::Private, ModeSource::Recorded};
    // Present but unreadable or damaged: the safe choice is private.
    return {InstallationMode::Private, ModeSource::Unreadable};
}

InstallationMode installationMode(const std::string& dataDir) {
    return installationAccess(dataDir).mode;
}

std::string recordInstallationMode(const std::string& dataDir, InstallationMode mode) {
    const std::string path = modeFilePath(dataDir);
    return writeNewFile(path, std::string(modeName(mode)) + "\n", fileModeOf(mode));
}

} // namespace mvz
