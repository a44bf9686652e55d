// Files and folders made with exactly the permissions asked for, whatever the
// umask, and never wider than what they replace.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <unistd.h>

#include "data/created_file.h"
#include "support/file_modes.h"
#include "support/temp_dir.h"

using namespace mvz;
using namespace mvz::test;

namespace {

TEST(CreatedFile, NewFilesAndFoldersGetExactlyTheModeWhateverTheUmask) {
    struct Case {
        mode_t umask, file, folder;
    };
    const Case cases[] = {
        {022, 0600, 0700}, {077, 0660, 02770}, {0, 0600, 0700}, {027, 0660, 02770}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::oct << "umask " << c.umask << " file " << c.file);
        TempDir dir;
        const std::string source = dir.file("source");
        std::ofstream(source) << "payroll";
        ::chmod(source.c_str(), 0644);
        ScopedUmask mask(c.umask);

        const int fd = openCreating(dir.file("made"), O_RDWR | O_CLOEXEC, c.file);
        ASSERT_GE(fd, 0);
        ::close(fd);
        EXPECT_EQ(permissionsOf(dir.file("made")), static_cast<int>(c.file));

        std::error_code ec;
        ASSERT_TRUE(copyToNewFile(source, dir.file("copy"), c.file, ec)) << ec.message();
        EXPECT_EQ(permissionsOf(dir.file("copy")), static_cast<int>(c.file)) << "not the source's";
        EXPECT_EQ(slurp(dir.file("copy")), "payroll");

        EXPECT_EQ(writeNewFile(dir.file("written"), "text\n", c.file), "");
        EXPECT_EQ(permissionsOf(dir.file("written")), static_cast<int>(c.file));

        ASSERT_TRUE(makeFolder(dir.file("sub"), c.folder, ec)) << ec.message();
        EXPECT_EQ(permissionsOf(dir.file("sub")), static_cast<int>(c.folder));
    }
}

TEST(CreatedFile, ExistingFilesAndFoldersKeepTheirMode) {
    TempDir dir;
    const std::string open = dir.file("open"), closed = dir.file("closed");
    std::ofstream(open) << "a";
    std::ofstream(closed) << "b";
    ::chmod(open.c_str(), 0644);
    ::chmod(closed.c_str(), 0600);
    ::chmod(dir.str().c_str(), 0755);

    for (const std::string& path : {open, closed}) {
        const int before = permissionsOf(path);
        const int fd = openCreating(path, O_RDWR | O_CLOEXEC, 0660);
        ASSERT_GE(fd, 0);
        ::close(fd);
        EXPECT_EQ(permissionsOf(path), before) << path;
    }
    std::error_code ec;
    EXPECT_FALSE(makeFolder(dir.str(), 0700, ec));
    EXPECT_FALSE(ec);
    EXPECT_EQ(permissionsOf(dir.str()), 0755);

    // A replacement grants no more than the file it replaces.
    EXPECT_EQ(replacementMode(closed, 0660), 0600u);
    EXPECT_EQ(replacementMode(open, 0600), 0600u);
    EXPECT_EQ(replacementMode(open, 0660), 0640u);
    EXPECT_EQ(replacementMode(dir.file("missing"), 0660), 0660u);
}

TEST(CreatedFile, ACopyOntoItsOwnSourceIsRefusedAndLosesNothing) {
    TempDir dir;
    const std::string path = dir.file("payer");
    std::ofstream(path) << "records";
    std::error_code ec;
    EXPECT_FALSE(copyToNewFile(path, path, 0600, ec));
    EXPECT_EQ(ec, std::errc::file_exists);
    EXPECT_EQ(slurp(path), "records");
    EXPECT_FALSE(copyToNewFile(dir.file("missing"), dir.file("copy"), 0600, ec));
    EXPECT_EQ(permissionsOf(dir.file("copy")), -1);
}

} // namespace
