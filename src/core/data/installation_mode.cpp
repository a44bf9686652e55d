#include "data/installation_mode.h"

#include <cerrno>
#include <cstring>
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
    InstallationAccess out;
    std::ifstream in(modeFilePath(dataDir));
    if (in) {
        std::string word;
        in >> word;
        if (word == "shared") {
            out = {InstallationMode::Shared, ModeSource::Recorded};
        } else if (word == "private") {
            out = {InstallationMode::Private, ModeSource::Recorded};
        } else {
            out = {InstallationMode::Private, ModeSource::Unreadable};
        }
        return out;
    }
    if (errno != ENOENT) {
        // Present but not readable to us: the safe choice is private.
        struct stat st {};
        if (::stat(modeFilePath(dataDir).c_str(), &st) == 0)
            return {InstallationMode::Private, ModeSource::Unreadable};
    }
    struct stat st {};
    const std::string dir = dataDir.empty() ? std::string(".") : dataDir;
    if (::stat(dir.c_str(), &st) == 0 && (st.st_mode & S_IWGRP))
        out.mode = InstallationMode::Shared;
    return out;
}

InstallationMode installationMode(const std::string& dataDir) {
    return installationAccess(dataDir).mode;
}

std::string recordInstallationMode(const std::string& dataDir, InstallationMode mode) {
    const std::string path = modeFilePath(dataDir);
    const std::string text = std::string(modeName(mode)) + "\n";
    if (std::string why = writeNewFile(path, text, fileModeOf(mode)); !why.empty()) return why;
    return {};
}

} // namespace mvz
