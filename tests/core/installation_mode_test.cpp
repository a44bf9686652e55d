// The mode of an installation: recorded in .mvz-mode, or for an older
// installation taken from its folder's permissions.

#include <gtest/gtest.h>

#include <fstream>

#include "data/installation_mode.h"
#include "support/file_modes.h"
#include "support/temp_dir.h"

using namespace mvz;
using namespace mvz::test;

namespace {

TEST(InstallationMode, RecordedInferredOrTakenAsPrivate) {
    struct Case {
        const char* modeFile; // nullptr: no .mvz-mode
        mode_t folder;
        InstallationMode mode;
        ModeSource source;
    };
    const Case cases[] = {
        {"shared\n", 0700, InstallationMode::Shared, ModeSource::Recorded},
        {"private\n", 02770, InstallationMode::Private, ModeSource::Recorded},
        {"everyone\n", 0770, InstallationMode::Private, ModeSource::Unreadable},
        {"", 0770, InstallationMode::Private, ModeSource::Unreadable},
        {nullptr, 0770, InstallationMode::Shared, ModeSource::Inferred},
        {nullptr, 0755, InstallationMode::Private, ModeSource::Inferred},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.modeFile ? c.modeFile : "no file");
        TempDir dir;
        if (c.modeFile) std::ofstream(dir.file(kModeFileName)) << c.modeFile;
        ::chmod(dir.str().c_str(), c.folder);
        const InstallationAccess a = installationAccess(dir.str());
        EXPECT_EQ(a.mode, c.mode);
        EXPECT_EQ(a.source, c.source);
        EXPECT_EQ(installationMode(dir.str()), c.mode);
    }
}

TEST(InstallationMode, RecordedModeReadsBackWithItsOwnPermissions) {
    for (InstallationMode mode : {InstallationMode::Private, InstallationMode::Shared}) {
        TempDir dir;
        ScopedUmask mask(022);
        ASSERT_EQ(recordInstallationMode(dir.str(), mode), "");
        EXPECT_EQ(installationAccess(dir.str()).source, ModeSource::Recorded);
        EXPECT_EQ(installationMode(dir.str()), mode);
        EXPECT_EQ(permissionsOf(dir.file(kModeFileName)), static_cast<int>(fileModeOf(mode)));
    }
    TempDir dir;
    ASSERT_EQ(recordInstallationMode(dir.str(), InstallationMode::Shared), "");
    ASSERT_EQ(recordInstallationMode(dir.str(), InstallationMode::Private), "");
    EXPECT_EQ(installationMode(dir.str()), InstallationMode::Private) << "replaced";
}

} // namespace
