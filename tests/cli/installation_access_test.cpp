// Private and shared installations from the command line: what init makes,
// that forming, collecting and checking keep the installation's mode for
// every file they create whatever the umask, that nothing existing is
// widened, and what mvz status reports.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/day_number.h"
#include "cli/run_mvz.h"
#include "support/file_modes.h"
#include "support/temp_dir.h"

using namespace mvz;
using namespace mvz::test;
namespace fs = std::filesystem;

namespace {

std::string octal(int mode) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04o", mode);
    return buf;
}

// Every file and folder under dir (itself included) whose permissions are not
// the expected ones, as "path 0644".
std::vector<std::string> offModes(const fs::path& dir, int file, int folder) {
    std::vector<std::string> out;
    if (permissionsOf(dir.string()) != folder)
        out.push_back(dir.string() + " " + octal(permissionsOf(dir.string())));
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        const int want = e.is_directory() ? folder : file;
        const int got = permissionsOf(e.path().string());
        if (got != want) out.push_back(e.path().string() + " " + octal(got));
    }
    return out;
}

std::vector<std::string> monthArgs(const char* command) {
    const CivilDate today = civilDate(todayDayNumber());
    return {command,  "--payer", "1",
            "--type", "01",      "--from",
            "1",      "--to",    std::to_string(daysInMonth(today.year, today.month))};
}

MvzRun form(const std::string& dir, std::vector<std::string> extra) {
    std::vector<std::string> args = monthArgs("form");
    args.insert(args.end(), extra.begin(), extra.end());
    return runMvz(dir, args);
}

struct ModeCase {
    bool shared;
    mode_t umask;
    int file, folder;
};

class InstallationModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(InstallationModes, EveryFileTheRunsCreateGetsTheInstallationsMode) {
    const ModeCase c = GetParam();
    TempDir data, outside;
    ScopedUmask mask(c.umask);
    std::vector<std::string> init = {"init", "--demo"};
    if (c.shared) init.push_back("--shared");
    const MvzRun made = runMvz(data.str(), init);
    ASSERT_EQ(made.code, 0) << made.err;
    EXPECT_EQ(offModes(data.path(), c.file, c.folder), std::vector<std::string>{})
        << "right after init";

    ASSERT_EQ(form(data.str(), {"--mode", "collective"}).code, 0);
    ASSERT_EQ(runMvz(data.str(), {"collect"}).code, 0);
    const std::string payerFile = data.file("izlaz/F0010050.TXT");
    const std::string csv = (outside.path() / "findings.csv").string();
    const MvzRun check =
        runMvz(data.str(), {"check", payerFile, "--transcript", "--quiet", "--findings-csv", csv});
    ASSERT_EQ(check.code, 0) << check.err;
    // A payment file from the user's folder, readable by all, is copied in.
    const std::string payments = (outside.path() / "uplate.txt").string();
    std::ofstream(payments) << "not a payment line\r\n";
    ::chmod(payments.c_str(), 0644);
    std::vector<std::string> pay = monthArgs("payments");
    pay.insert(pay.begin() + 1, {"check", payments});
    const CivilDate today = civilDate(todayDayNumber());
    pay.insert(pay.end(),
               {"--year", std::to_string(today.year), "--month", std::to_string(today.month)});
    runMvz(data.str(), pay);

    for (const char* f : {"izlaz/ZOVAK.MZ0", "rad/TBIZLAZ2.TXT", "rad/TBZOVAK.TXT",
                          "rad/TBUPLATE.DAT", "TBOSIGUR.DAT", "TBIZLAZ.DAT", ".mvz-hub"})
        EXPECT_TRUE(fs::exists(data.file(f))) << f << " was not made: the test shows nothing";
    EXPECT_EQ(offModes(data.path(), c.file, c.folder), std::vector<std::string>{});
    // What the user asked to be written elsewhere follows the user's umask.
    EXPECT_EQ(permissionsOf(csv), static_cast<int>(0666 & ~c.umask));
}

INSTANTIATE_TEST_SUITE_P(PrivateAndShared, InstallationModes,
                         ::testing::Values(ModeCase{false, 022, 0600, 0700},
                                           ModeCase{false, 0, 0600, 0700},
                                           ModeCase{true, 022, 0660, 02770},
                                           ModeCase{true, 077, 0660, 02770}),
                         [](const ::testing::TestParamInfo<ModeCase>& i) {
                             return std::string(i.param.shared ? "Shared" : "Private") + "Umask" +
                                    octal(static_cast<int>(i.param.umask));
                         });

TEST(InstallationModes, ExistingFilesAreNeverWidened) {
    TempDir data;
    ScopedUmask mask(022);
    ASSERT_EQ(runMvz(data.str(), {"init", "--demo", "--shared"}).code, 0);
    ASSERT_EQ(form(data.str(), {"--mode", "collective"}).code, 0);
    ASSERT_EQ(runMvz(data.str(), {"collect"}).code, 0);
    // Files someone closed to the group: a table, a work file, the payer
    // file and the collective file, all written again below.
    const std::vector<std::string> closed = {"TBOSIGUR.DAT", "rad/TBZOVAK.TXT",
                                             "izlaz/F0010050.TXT", "izlaz/ZOVAK.MZ0"};
    for (const std::string& f : closed) {
        ASSERT_EQ(::chmod(data.file(f).c_str(), 0600), 0) << f;
        // Emptied, so that what is written again shows.
        if (f.find(".DAT") == std::string::npos) fs::resize_file(data.file(f), 0);
    }

    const MvzRun again = form(data.str(), {"--mode", "collective", "--seq", "50"});
    ASSERT_EQ(again.code, 0) << again.out << again.err;
    ASSERT_EQ(runMvz(data.str(), {"collect"}).code, 0);
    for (const std::string& f : closed) {
        EXPECT_FALSE(slurp(data.file(f)).empty()) << f << " was not written again";
        EXPECT_EQ(octal(permissionsOf(data.file(f))), "0600") << f;
    }
    EXPECT_EQ(octal(permissionsOf(data.str())), "2770");
}

TEST(StatusCommand, SaysPrivateOrSharedAndWarnsOfWhatOthersCanRead) {
    TempDir priv, shared;
    ScopedUmask mask(022);
    ASSERT_EQ(runMvz(priv.str(), {"init"}).code, 0);
    ASSERT_EQ(runMvz(shared.str(), {"init", "--shared"}).code, 0);

    MvzRun s = runMvz(priv.str(), {"status"});
    EXPECT_NE(s.out.find("Installation private: readable by its owner only\n"), std::string::npos)
        << s.out;
    EXPECT_EQ(s.err, "");
    s = runMvz(shared.str(), {"status"});
    EXPECT_NE(s.out.find("Installation shared: readable and writable by its owner's group"),
              std::string::npos)
        << s.out;
    EXPECT_EQ(s.err, "");

    // Group access is the point of a shared installation; others' is not.
    ::chmod(shared.file("TBSTOPE.DAT").c_str(), 0640);
    ::chmod(shared.file("TBOPCINE.DAT").c_str(), 0644);
    ::chmod(shared.str().c_str(), 02775);
    s = runMvz(shared.str(), {"status"});
    EXPECT_EQ(s.code, 0);
    EXPECT_NE(s.err.find("the data folder can be read by accounts outside its group"),
              std::string::npos)
        << s.err;
    EXPECT_NE(s.err.find("1 data file can be read by accounts outside its group: TBOPCINE.DAT;"),
              std::string::npos)
        << s.err;

    // In a private installation the group is "others" too.
    ::chmod(priv.file("TBSTOPE.DAT").c_str(), 0640);
    ::chmod(priv.str().c_str(), 0750);
    s = runMvz(priv.str(), {"status"});
    EXPECT_NE(s.err.find("the data folder can be read by other accounts (rwxr-x---)"),
              std::string::npos)
        << s.err;
    EXPECT_NE(s.err.find("1 data file can be read by other accounts: TBSTOPE.DAT;"),
              std::string::npos)
        << s.err;

    // An installation older than the choice: the folder's permissions tell.
    fs::remove(priv.file(".mvz-mode"));
    s = runMvz(priv.str(), {"status"});
    EXPECT_NE(s.out.find("Installation private: readable by its owner only (not recorded; "
                         "taken from the folder's permissions)"),
              std::string::npos)
        << s.out;
}

} // namespace
