#pragma once
// Who may read an installation's data: its owner alone (private, the default
// of a new installation) or the owner's group as well (shared, for a bureau
// whose desks work in one data folder). The choice is stored with the
// installation in the hidden file .mvz-mode of the data folder, and every file
// and folder the program creates for the installation gets its mode.

#include <string>
#include <sys/types.h>

namespace mvz {

enum class InstallationMode { Private, Shared };

// Where the mode of an installation comes from.
enum class ModeSource {
    Recorded,   // .mvz-mode names it
    Inferred,   // no .mvz-mode (an older installation): shared when the data
                // folder is group-writable, private otherwise
    Unreadable, // .mvz-mode cannot be read or names no mode: taken as private
};

struct InstallationAccess {
    InstallationMode mode = InstallationMode::Private;
    ModeSource source = ModeSource::Inferred;
};

// The hidden file that records the mode, by name.
inline constexpr const char* kModeFileName = ".mvz-mode";

// The mode of the installation in dataDir.
InstallationMode installationMode(const std::string& dataDir);
// The same, with where it came from.
InstallationAccess installationAccess(const std::string& dataDir);

// Records the mode in dataDir (the file is created with the mode's file
// permissions, or replaced). Returns why not, or an empty string.
std::string recordInstallationMode(const std::string& dataDir, InstallationMode mode);

// "private" or "shared".
const char* modeName(InstallationMode mode);

// The permissions of the files and folders the program creates: rw------- and
// rwx------ for a private installation, rw-rw---- and rwxrws--- (set-group-ID,
// so that the files made inside keep the folder's group) for a shared one.
mode_t fileModeOf(InstallationMode mode);
mode_t folderModeOf(InstallationMode mode);

} // namespace mvz
