#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "cli/run_mvz.h"
#include "data/file_lock.h"
#include "support/data_state.h"
#include "support/temp_dir.h"

using namespace mvz;
using namespace mvz::test;
namespace fs = std::filesystem;

namespace {

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Runs mvz with MVZ_EXCHANGE_EXIT_AT set, so that it stops at that step.
MvzRun runStoppingAt(int step, const std::string& dataDir, const std::vector<std::string>& args) {
    ::setenv("MVZ_EXCHANGE_EXIT_AT", std::to_string(step).c_str(), 1);
    MvzRun run = runMvz(dataDir, args);
    ::unsetenv("MVZ_EXCHANGE_EXIT_AT");
    return run;
}

class ExchangeCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(runMvz(data, {"init", "--demo"}).code, 0);
        MvzRun out = runMvz(data, {"export", exportDir});
        ASSERT_EQ(out.code, 0) << out.err;
        EXPECT_NE(out.err.find("Export datoteka: Export je završen. Provjerite"),
                  std::string::npos);
        exported = dataState(data);
        // The installation then moves on: the employees are deleted.
        ASSERT_EQ(runMvz(data, {"table", "POS", "delete", "REDBROJ=1"}).code, 0);
        changed = dataState(data);
        ASSERT_NE(changed, exported);
    }

    TempDir root;
    // Blanks, Croatian letters, quotes and shell characters: no shell is involved.
    std::string data = root.file("podaci Čćž 'a' \"b\" $(false) ; &");
    std::string exportDir = root.file("izvoz `x` $HOME * ?");
    DataState exported, changed;
};

TEST_F(ExchangeCommandTest, ImportAsksFirstAndThenBringsTheExportBack) {
    for (const char* answer : {"", "--no"}) {
        std::vector<std::string> args{"import", exportDir};
        if (*answer) args.insert(args.begin(), answer);
        const MvzRun refused = runMvz(data, args);
        EXPECT_EQ(refused.code, 1);
        EXPECT_NE(refused.err.find("Upozorenje: Da li želite postojeće podatke zamijeniti ?"),
                  std::string::npos)
            << refused.err;
        EXPECT_EQ(dataState(data), changed);
    }
    const MvzRun run = runMvz(data, {"import", exportDir, "--yes"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.err.find("Import podataka: Podaci su importirani !"), std::string::npos);
    EXPECT_NE(run.out.find("TBZAPOSL.DAT\n"), std::string::npos);
    EXPECT_EQ(dataState(data), exported);
}

TEST_F(ExchangeCommandTest, ImportFromTheWrongFolderAsksNothing) {
    const MvzRun run = runMvz(data, {"--yes", "import", root.file("nema")});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err.find("Upozorenje"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Greška. Pogrešan pretinac!"), std::string::npos) << run.err;
    EXPECT_EQ(runMvz(data, {"import"}).code, 2);
}

TEST_F(ExchangeCommandTest, AnImportStoppedAtAnyStepLeavesTheOldOrTheNewSet) {
    const std::string start = root.file("pocetak");
    fs::copy(data, start, fs::copy_options::recursive);
    int oldSets = 0, newSets = 0;
    for (int step = 1;; ++step) {
        fs::remove_all(data);
        fs::copy(start, data, fs::copy_options::recursive);
        const MvzRun run = runStoppingAt(step, data, {"--yes", "import", exportDir});
        if (run.code == 0) break; // every step passed: the import finished
        ASSERT_EQ(run.code, 86) << "step " << step << ": " << run.err;
        ASSERT_LT(step, 200);
        // The next start of the program finishes or undoes the import.
        ASSERT_EQ(runMvz(data, {"status"}).code, 0) << step;
        EXPECT_FALSE(fs::exists(data + "/.mvz-exchange")) << step;
        const DataState state = dataState(data);
        for (const auto& [name, rows] : state)
            if (name.ends_with(".DAT") && name != "TBUPLATE.DAT")
                EXPECT_EQ(integrity(data + "/" + name), "ok") << step << " " << name;
        if (state == changed)
            ++oldSets;
        else if (state == exported)
            ++newSets;
        else
            ADD_FAILURE() << "step " << step << " left a mix of old and new files";
    }
    EXPECT_GT(oldSets, 5);
    EXPECT_GT(newSets, 5);
}

TEST_F(ExchangeCommandTest, ImportAndTakeoverRefuseWhileAnotherProgramHoldsTheData) {
    // What a program with the employee table open holds.
    FileLock open;
    ASSERT_FALSE(open.acquire(data + "/TBZAPOSL.DAT", ShareMode::Shared, 0600));
    for (const char* command : {"import", "takeover"}) {
        const MvzRun run = runMvz(data, {"--yes", command, exportDir});
        EXPECT_EQ(run.code, 1) << command;
        EXPECT_NE(run.err.find("TBZAPOSL.DAT: s podacima radi drugi program ili prozor"),
                  std::string::npos)
            << run.err;
    }
    EXPECT_EQ(dataState(data), changed);
}

TEST_F(ExchangeCommandTest, TakeoverFromTheCsvFilesOfAnotherProgram) {
    const std::string csv = root.file("iz drugog programa");
    fs::create_directory(csv);
    const std::string source = root.file("izvor");
    ASSERT_EQ(runMvz(source, {"init", "--demo"}).code, 0);
    for (const char* table : {"TBPOSLOD", "TBZAPOSL"}) {
        const MvzRun dump = runMvz(source, {"table", table, "dump", "--csv"});
        ASSERT_EQ(dump.code, 0) << dump.err;
        writeFile(csv + "/" + table + ".csv", dump.out);
    }

    // One wrong identifier and one employee of an employer not taken over:
    // both named by their line, and nothing is taken.
    const std::string good = fs::exists(csv + "/TBZAPOSL.csv") ? slurp(csv + "/TBZAPOSL.csv") : "";
    std::string bad = good;
    const std::size_t second = bad.find('\n', bad.find('\n') + 1) + 1; // line 3
    const std::size_t comma = bad.find(',', second);
    bad.replace(second, comma - second, "2"); // employer 2
    const std::size_t id = bad.find("20572565300");
    ASSERT_NE(id, std::string::npos);
    bad.replace(id, 11, "20572565301");
    writeFile(csv + "/TBZAPOSL.csv", bad);
    MvzRun run = runMvz(data, {"--yes", "takeover", csv});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("TBZAPOSL.csv, redak 3: poslodavac rednog broja 2"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("Provjerite identifikacijski broj osiguranika"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("GREŠKA KOD PREUZIMANJA ..."), std::string::npos);
    EXPECT_EQ(dataState(data), changed);

    writeFile(csv + "/TBZAPOSL.csv", good);
    run = runMvz(data, {"--yes", "takeover", csv});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.err.find("PODACI PREUZETI ..."), std::string::npos);
    const MvzRun rows = runMvz(data, {"table", "RAD", "dump", "--csv"});
    EXPECT_EQ(rows.out, runMvz(source, {"table", "RAD", "dump", "--csv"}).out);
}

} // namespace
