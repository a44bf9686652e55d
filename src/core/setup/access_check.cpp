#include "setup/access_check.h"

#include <sys/stat.h>

namespace mvz {

mode_t exposingBits(InstallationMode mode, bool folder) {
    mode_t bits = S_IROTH | (folder ? S_IXOTH : 0);
    if (mode == InstallationMode::Private) bits |= S_IRGRP | (folder ? S_IXGRP : 0);
    return bits;
}

std::string permissionText(mode_t mode) {
    std::string s = "rwxrwxrwx";
    for (int i = 0; i < 9; ++i)
        if (!(mode & (0400 >> i))) s[i] = '-';
    if (mode & S_ISGID) s[5] = (mode & S_IXGRP) ? 's' : 'S';
    return s;
}

AccessCheck checkInstallationAccess(const std::string& dataDir,
                                    const std::vector<std::string>& fileNames) {
    AccessCheck out;
    const std::string dir = dataDir.empty() ? std::string(".") : dataDir;
    out.access = installationAccess(dir);
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0) {
        out.folderMode = st.st_mode & 07777;
        out.folderExposed = (out.folderMode & exposingBits(out.access.mode, true)) != 0;
    }
    const mode_t fileBits = exposingBits(out.access.mode, false);
    for (const std::string& name : fileNames)
        if (::stat((dir + "/" + name).c_str(), &st) == 0 && (st.st_mode & fileBits))
            out.exposedFiles.push_back(name);
    return out;
}

} // namespace mvz
