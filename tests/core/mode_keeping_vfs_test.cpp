// The super-journal of a commit over several files gets the permissions of
// its database, not rw-r--r-- less the umask.

#include <gtest/gtest.h>

#include <fstream>
#include <sqlite3.h>
#include <vector>

#include "data/mode_keeping_vfs.h"
#include "support/file_modes.h"
#include "support/temp_dir.h"

using namespace mvz;
using namespace mvz::test;

namespace {

// Opens (creating) a file through the layer, as SQLite does, and closes it.
int openThroughLayer(const std::string& path, int flags) {
    sqlite3_vfs* vfs = sqlite3_vfs_find(modeKeepingVfs());
    if (!vfs) return SQLITE_ERROR;
    std::vector<char> buf(static_cast<std::size_t>(vfs->szOsFile));
    auto* file = reinterpret_cast<sqlite3_file*>(buf.data());
    int out = 0;
    const int rc = vfs->xOpen(vfs, path.c_str(), file,
                              flags | SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &out);
    if (rc == SQLITE_OK) file->pMethods->xClose(file);
    return rc;
}

TEST(ModeKeepingVfs, SuperJournalTakesItsDatabasesModeAndOtherFilesAreLeftAlone) {
    for (mode_t mode : {0600, 0660}) {
        TempDir dir;
        const std::string db = dir.file("hub");
        std::ofstream(db).close();
        ::chmod(db.c_str(), mode);
        ScopedUmask mask(022);
        ASSERT_EQ(openThroughLayer(db + "-mj0A1B2C9D4",
                                   SQLITE_OPEN_SUPER_JOURNAL | SQLITE_OPEN_EXCLUSIVE),
                  SQLITE_OK);
        EXPECT_EQ(permissionsOf(db + "-mj0A1B2C9D4"), static_cast<int>(mode));
        ASSERT_EQ(openThroughLayer(dir.file("other"), SQLITE_OPEN_MAIN_DB), SQLITE_OK);
        EXPECT_EQ(permissionsOf(dir.file("other")), 0644);
    }
}

} // namespace
