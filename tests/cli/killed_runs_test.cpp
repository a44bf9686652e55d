// Runs killed, stopped or interrupted at the points between their steps: a
// form and its payer file, and the collective file and the marks of its
// forms, always agree afterwards; Ctrl-C stops a check cleanly; what killed
// runs leave behind is removed by the next run.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sqlite3.h>
#include <unistd.h>

#include "cli/run_mvz.h"
#include "submission/digest.h"
#include "support/temp_dir.h"

using namespace mvz;
using namespace mvz::test;
namespace fs = std::filesystem;

namespace {

constexpr int kKilled = 128 + SIGKILL;
constexpr int kInterrupted = 128 + SIGINT;

// The first column of the first row a query gives ("" when none).
std::string queryValue(const std::string& db, const std::string& sql) {
    sqlite3* h = nullptr;
    std::string out;
    if (sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(h, sql.c_str(), -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0))
            out = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        sqlite3_finalize(st);
    }
    sqlite3_close(h);
    return out;
}

// Names in the folders that only a run cut short leaves.
std::vector<std::string> leftovers(const std::vector<fs::path>& folders) {
    std::vector<std::string> out;
    for (const fs::path& folder : folders)
        for (const auto& e : fs::directory_iterator(folder)) {
            const std::string name = e.path().filename().string();
            if (name.find(".part-") != std::string::npos ||
                name.find(".prev-") != std::string::npos || name.rfind(".mvz-pending", 0) == 0)
                out.push_back(name);
        }
    return out;
}

class KilledRuns : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(runMvz(data(), {"init", "--demo"}).code, 0); }
    std::string data() const { return dir.str(); }
    std::string payerFile() const { return dir.str() + "/izlaz/F0010050.TXT"; }
    std::string collective() const { return dir.str() + "/izlaz/ZOVAK.MZ0"; }
    // December's form 50 of payer 1, sent on the given day.
    MvzRun form(const std::string& date, const std::string& mode,
                const std::vector<std::string>& env = {}) {
        return runMvz(data(),
                      {"form", "--payer", "1", "--type", "01", "--year", "2026", "--month", "12",
                       "--from", "1", "--to", "31", "--seq", "50", "--date", date, "--mode", mode},
                      env);
    }
    std::string storedMark() {
        return queryValue(dir.str() + "/TBOBRAZA.DAT",
                          "SELECT KONZNAK FROM rec WHERE KONVEZA = '001005001'");
    }
    std::string markOf(const std::string& file) { return groupedMark(doSHAOnFile(file)); }
    std::vector<std::string> leftovers() {
        return ::leftovers({dir.path(), dir.path() / "izlaz", dir.path() / "rad"});
    }

    TempDir dir;
};

// Killed before the commit the form and its file stay old; killed after it
// they are both new. The next command settles what the run left.
TEST_F(KilledRuns, AFormAndItsPayerFileChangeTogether) {
    ASSERT_EQ(form("10.12.2026", "single").code, 0);
    const std::string first = markOf(payerFile());
    ASSERT_EQ(storedMark(), first);
    struct Case {
        const char* point;
        bool committed;
    };
    int day = 11;
    for (const Case& c : {Case{"swap-noted", false}, Case{"form-file-in-place", false},
                          Case{"form-committed", true}}) {
        SCOPED_TRACE(c.point);
        const std::string before = markOf(payerFile());
        const MvzRun killed = form(std::to_string(day++) + ".12.2026", "single",
                                   {std::string("MVZ_TEST_POINT=") + c.point});
        ASSERT_EQ(killed.code, kKilled) << killed.err;
        ASSERT_EQ(runMvz(data(), {"list-collective"}).code, 0); // any command settles it
        EXPECT_EQ(storedMark(), markOf(payerFile()));
        EXPECT_EQ(markOf(payerFile()) != before, c.committed);
        EXPECT_TRUE(leftovers().empty()) << ::testing::PrintToString(leftovers());
    }
    EXPECT_EQ(form("20.12.2026", "single").code, 0);
    EXPECT_EQ(storedMark(), markOf(payerFile()));
}

// A payer file that cannot take its place fails the run before the form is
// committed, so no failure is reported after the change was saved.
TEST_F(KilledRuns, APayerFileThatCannotBeReplacedLeavesTheFormAsItWas) {
    ASSERT_EQ(form("10.12.2026", "single").code, 0);
    const std::string first = storedMark();
    fs::remove(payerFile());
    fs::create_directory(payerFile()); // the payer file's name taken by a folder
    const MvzRun r = form("11.12.2026", "single");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Greška pri formiranju datoteke " + payerFile()), std::string::npos)
        << r.err;
    EXPECT_EQ(storedMark(), first);
    EXPECT_TRUE(fs::is_directory(payerFile()));
    EXPECT_TRUE(leftovers().empty()) << ::testing::PrintToString(leftovers());
}

TEST_F(KilledRuns, TheCollectiveFileAndTheMarksOfItsFormsChangeTogether) {
    ASSERT_EQ(form("10.12.2026", "collective").code, 0);
    ASSERT_EQ(runMvz(data(), {"collect", "--date", "10.12.2026"}).code, 0);
    ASSERT_EQ(storedMark(), markOf(collective()));
    int day = 11;
    for (const auto& [point, committed] :
         {std::pair{"collect-file-in-place", false}, std::pair{"collect-committed", true}}) {
        SCOPED_TRACE(point);
        const std::string before = markOf(collective());
        const MvzRun killed =
            runMvz(data(), {"collect", "--date", std::to_string(day++) + ".12.2026"},
                   {std::string("MVZ_TEST_POINT=") + point});
        ASSERT_EQ(killed.code, kKilled) << killed.err;
        ASSERT_EQ(runMvz(data(), {"list-collective"}).code, 0);
        EXPECT_EQ(storedMark(), markOf(collective()));
        EXPECT_EQ(markOf(collective()) != before, committed);
        EXPECT_TRUE(leftovers().empty()) << ::testing::PrintToString(leftovers());
    }
}

// Ctrl-C in the middle of a check stops it as its Cancel does: the results
// and the work copy of the check before stay, nothing is left behind, and
// the shell sees the command interrupted.
TEST_F(KilledRuns, CtrlCStopsACheckAndKeepsThePreviousResult) {
    ASSERT_EQ(form("10.12.2026", "single").code, 0);
    ASSERT_EQ(runMvz(data(), {"check", payerFile(), "--quiet"}).code, 0);
    const std::string workCopy = dir.str() + "/rad/TBZOVAK1.TXT";
    const std::string earlier = slurp(workCopy);
    // A longer file: the payer file's lines many times over.
    const std::string big = dir.file("big.txt");
    {
        std::ofstream out(big, std::ios::binary);
        for (int i = 0; i < 200; ++i)
            out << earlier;
    }
    const MvzRun stopped =
        runMvz(data(), {"check", big, "--quiet"}, {"MVZ_TEST_POINT=check-reading:interrupt"});
    EXPECT_EQ(stopped.code, kInterrupted) << stopped.out << stopped.err;
    EXPECT_EQ(stopped.out, "");
    EXPECT_EQ(slurp(workCopy), earlier);
    EXPECT_EQ(queryValue(dir.str() + "/TBIZLAZ.DAT", "SELECT COUNT(*) FROM rec"), "24");
    EXPECT_TRUE(leftovers().empty()) << ::testing::PrintToString(leftovers());
}

// A killed check leaves its half copy; the next check removes it and what
// other runs that no longer run left, but not the files of a run that runs.
TEST_F(KilledRuns, TheNextCheckRemovesWhatKilledChecksLeft) {
    ASSERT_EQ(form("10.12.2026", "single").code, 0);
    const std::string big = dir.file("big.txt");
    {
        const std::string lines = slurp(payerFile());
        std::ofstream out(big, std::ios::binary);
        for (int i = 0; i < 200; ++i)
            out << lines;
    }
    const MvzRun killed = runMvz(data(), {"check", big}, {"MVZ_TEST_POINT=check-reading"});
    ASSERT_EQ(killed.code, kKilled);
    EXPECT_EQ(leftovers().size(), 1u) << ::testing::PrintToString(leftovers());
    // The number of a process that cannot run, and of this one.
    const std::string gone = "999999999";
    const std::string running = std::to_string(::getpid());
    const fs::path rad = dir.path() / "rad";
    for (const std::string& name :
         {"TBZOVAK1.TXT.part-" + gone, "TBZOVAK1.TXT.prev-" + gone, "TBZOVAK1.TXT.part-" + running})
        std::ofstream((rad / name).string()) << "left";
    ASSERT_EQ(runMvz(data(), {"check", payerFile(), "--quiet"}).code, 0);
    EXPECT_EQ(leftovers(), std::vector<std::string>{"TBZOVAK1.TXT.part-" + running});
}

} // namespace
