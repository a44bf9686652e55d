#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include "data/file_lock.h"
#include "exchange/exchange.h"
#include "exchange/manifest.h"
#include "exchange/staged_swap.h"
#include "setup/initialize.h"
#include "support/data_state.h"
#include "support/demo_installation.h"
#include "support/file_modes.h"
#include "support/table_fixture.h"
#include <cstring>
#include <functional>
#include <set>

using namespace mvz;
using namespace mvz::test;
namespace fs = std::filesystem;

namespace {

void sql(const std::string& path, const std::string& statement) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* msg = nullptr;
    EXPECT_EQ(sqlite3_exec(db, statement.c_str(), nullptr, nullptr, &msg), SQLITE_OK)
        << (msg ? msg : "");
    sqlite3_free(msg);
    sqlite3_close(db);
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class ExchangeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(installDemo(data, errors));
        exportDir = root.file("izvoz čćž \"navodnici\" 'x' $(rm -rf) ; & * ?");
        ExchangeResult r = exportDatabase(data, exportDir, reporter);
        ASSERT_TRUE(r.ok) << r.detail;
        exported = dataState(data);
    }

    // Changes the installation so that it differs from the export.
    void changeData() {
        Station st(data);
        TableAccess& rad = st.open("RAD");
        ASSERT_EQ(rad.removeAll(), result::Ok);
        rad.close();
        TableAccess& pos = st.open("POS");
        pos.record().clear();
        set(pos, "REDBROJ", "7");
        set(pos, "NAZIV", "Druga tvrtka");
        ASSERT_EQ(pos.add(), result::Ok);
        pos.close();
        ASSERT_NE(dataState(data), exported);
    }

    TempDir root;
    std::string data = root.file("podaci");
    std::string exportDir;
    DataState exported;
    RecordingReporter reporter;
    ErrorReporter errors{reporter};
};

TEST_F(ExchangeTest, ExportThenImportBringsTheExportedDataBack) {
    EXPECT_TRUE(fs::exists(exportDir + "/" + kManifestName));
    EXPECT_EQ(dataState(exportDir), exported);
    // The copies hold the installation's data: private like it.
    EXPECT_EQ(permissionsOf(exportDir), 0700);
    EXPECT_EQ(permissionsOf(exportDir + "/TBZAPOSL.DAT"), 0600);

    changeData();
    const ExchangeResult r = importDatabase(data, exportDir, errors);
    ASSERT_TRUE(r.ok) << r.detail;
    EXPECT_EQ(r.message, "Podaci su importirani !");
    EXPECT_EQ(dataState(data), exported);
    EXPECT_FALSE(fs::exists(stagingFolder(data)));
    EXPECT_EQ(permissionsOf(data + "/TBPOSLOD.DAT"), 0600);
    // The program works on the imported tables as on its own.
    Station st(data);
    EXPECT_EQ(st.rows("RAD"), 40);
}

TEST_F(ExchangeTest, ExportAgainIntoTheSameFolderReplacesTheCopies) {
    changeData();
    const ExchangeResult r = exportDatabase(data, exportDir, reporter);
    ASSERT_TRUE(r.ok) << r.detail;
    EXPECT_EQ(r.message, "Export je završen. Provjerite");
    EXPECT_EQ(dataState(exportDir), dataState(data));
    for (const auto& entry : fs::directory_iterator(exportDir))
        EXPECT_EQ(entry.path().string().find(".mvz-tmp"), std::string::npos) << entry.path();
}

TEST_F(ExchangeTest, ImportRefusesABadSourceNamingTheFileAndChangesNothing) {
    const std::string zap = exportDir + "/TBZAPOSL.DAT";
    const struct {
        const char* what;
        std::function<void()> spoil;
        std::string named;
    } cases[] = {
        {"damaged table",
         [&] {
             std::fstream f(zap, std::ios::in | std::ios::out | std::ios::binary);
             f.seekp(4096); // the second page, whole
             f << std::string(4096, '\x5a');
         },
         "TBZAPOSL.DAT"},
        {"foreign SQLite file",
         [&] {
             fs::remove(zap);
             sql(zap, "CREATE TABLE rec(a); INSERT INTO rec VALUES(1)");
         },
         "TBZAPOSL.DAT"},
        {"another table's file",
         [&] {
             fs::copy_file(exportDir + "/TBOSNOBR.DAT", zap, fs::copy_options::overwrite_existing);
         },
         "TBZAPOSL.DAT"},
        {"another layout", [&] { sql(zap, "ALTER TABLE rec ADD COLUMN EXTRA TEXT"); },
         "TBZAPOSL.DAT"},
        {"not a database", [&] { writeFile(zap, std::string(8192, 'x')); }, "TBZAPOSL.DAT"},
        {"a folder in place of a file",
         [&] {
             fs::remove(zap);
             fs::create_directory(zap);
         },
         "TBZAPOSL.DAT"},
        {"a file the manifest names is missing", [&] { fs::remove(zap); }, "TBZAPOSL.DAT"},
        {"a table with other rows than exported",
         [&] { sql(zap, "DELETE FROM rec WHERE rowid = 1"); }, "TBZAPOSL.DAT"},
        {"no manifest", [&] { fs::remove(exportDir + "/" + kManifestName); }, kManifestName},
    };
    changeData();
    const DataState before = dataState(data);
    for (const auto& c : cases) {
        TempDir copy;
        const std::string saved = copy.file("saved");
        fs::copy(exportDir, saved, fs::copy_options::recursive);
        c.spoil();
        const ExchangeResult r = importDatabase(data, exportDir, errors);
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_EQ(r.message, "Greška kod importa podataka !") << c.what;
        EXPECT_NE(r.detail.find(c.named), std::string::npos) << c.what << ": " << r.detail;
        EXPECT_EQ(dataState(data), before) << c.what;
        EXPECT_FALSE(fs::exists(stagingFolder(data))) << c.what;
        fs::remove_all(exportDir);
        fs::rename(saved, exportDir);
    }
}

TEST_F(ExchangeTest, ImportFromAFolderWithoutEmployersIsTheWrongFolder) {
    for (const std::string& folder : {root.file("nema"), root.str()}) {
        EXPECT_FALSE(holdsEmployerTable(folder));
        const ExchangeResult r = importDatabase(data, folder, errors);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, "Greška. Pogrešan pretinac!");
        EXPECT_NE(r.detail.find(folder), std::string::npos) << r.detail;
    }
    EXPECT_EQ(dataState(data), exported);
}

TEST_F(ExchangeTest, ImportAndTakeoverRefuseWhileTheDataIsInUse) {
    changeData();
    const DataState before = dataState(data);
    {
        // A window with the control table open.
        Station st(data);
        st.open("VEZ");
        const ExchangeResult r = importDatabase(data, exportDir, errors);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.detail.find("VEZNATAB.DAT: s podacima radi drugi program"), std::string::npos)
            << r.detail;
        EXPECT_FALSE(takeOver(data, exportDir, errors).ok);
    }
    {
        // A run that denies others writing to the form table.
        FileLock run;
        ASSERT_FALSE(run.acquire(data + "/TBOBRAZA.DAT", ShareMode::DenyWrite, 0600));
        const ExchangeResult r = importDatabase(data, exportDir, errors);
        EXPECT_NE(r.detail.find("TBOBRAZA.DAT"), std::string::npos) << r.detail;
    }
    EXPECT_EQ(dataState(data), before);
    EXPECT_TRUE(importDatabase(data, exportDir, errors).ok);
}

TEST_F(ExchangeTest, ExportNamesTheFileItCouldNotCopy) {
    sql(data + "/TBOSNOBR.DAT", "PRAGMA writable_schema=ON; UPDATE sqlite_schema SET "
                                "sql='x' WHERE name='rec'");
    const ExchangeResult r = exportDatabase(data, root.file("drugi"), reporter);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Greška kod exporta");
    EXPECT_NE(r.detail.find("TBOSNOBR.DAT"), std::string::npos) << r.detail;
    for (const auto& entry : fs::directory_iterator(root.file("drugi")))
        ADD_FAILURE() << "left behind: " << entry.path();
}

TEST_F(ExchangeTest, ExportWhileAnotherProcessAddsRowsCopiesACountTheTableHad) {
    Station st(data);
    const long long start = st.rows("RAD");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Adds ten rows per transaction, so a copy taken between two
        // transactions holds start + 10k rows.
        Station writer(data);
        TableAccess& rad = writer.tables.access("RAD1");
        if (rad.open(true) != result::Ok) ::_exit(2);
        for (int batch = 0; batch < 60; ++batch) {
            if (writer.tables.storage().begin({rad.file()})) ::_exit(3);
            for (int i = 0; i < 10; ++i) {
                rad.record().clear();
                rad.record().setFromDisplay(rad.def().fieldIndex("REDBROJ"), "1");
                rad.record().setFromDisplay(rad.def().fieldIndex("PREZIME"),
                                            "Novi " + std::to_string(batch * 10 + i));
                if (rad.add(true) != result::Ok) ::_exit(4);
            }
            if (writer.tables.storage().commit()) ::_exit(5);
        }
        ::_exit(0);
    }
    std::set<long long> seen;
    for (int i = 0; i < 15; ++i) {
        const std::string target = root.file("snimka" + std::to_string(i));
        const ExchangeResult r = exportDatabase(data, target, reporter);
        ASSERT_TRUE(r.ok) << r.detail;
        EXPECT_EQ(integrity(target + "/TBZAPOSL.DAT"), "ok");
        Station copy(target);
        const long long n = copy.rows("RAD");
        EXPECT_EQ((n - start) % 10, 0) << n;
        seen.insert(n);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_GE(*seen.begin(), start);
    EXPECT_LE(*seen.rbegin(), start + 600);
}

TEST_F(ExchangeTest, AnUncommittedStagingIsRemovedAndACommittedOneFinished) {
    // Cut short before the commit: the data stays as it is.
    fs::create_directory(stagingFolder(data));
    fs::copy_file(data + "/TBPOSLOD.DAT", stagingFolder(data) + "/TBZAPOSL.DAT");
    EXPECT_TRUE(recoverInterruptedExchange(data));
    EXPECT_FALSE(fs::exists(stagingFolder(data)));
    EXPECT_EQ(dataState(data), exported);

    // Cut short after the commit, one file moved already: the other follows.
    changeData();
    const DataState changed = dataState(data);
    fs::create_directory(stagingFolder(data));
    fs::copy_file(exportDir + "/TBZAPOSL.DAT", stagingFolder(data) + "/TBZAPOSL.DAT");
    fs::copy_file(exportDir + "/TBPOSLOD.DAT", data + "/TBPOSLOD.DAT",
                  fs::copy_options::overwrite_existing);
    writeFile(stagingFolder(data) + "/commit", "TBPOSLOD.DAT\nTBZAPOSL.DAT\n");
    EXPECT_TRUE(recoverInterruptedExchange(data));
    EXPECT_FALSE(fs::exists(stagingFolder(data)));
    EXPECT_EQ(dataState(data)["TBZAPOSL.DAT"], exported["TBZAPOSL.DAT"]);
    EXPECT_EQ(dataState(data)["TBPOSLOD.DAT"], exported["TBPOSLOD.DAT"]);
    EXPECT_EQ(dataState(data)["VEZNATAB.DAT"], changed.at("VEZNATAB.DAT"));

    EXPECT_FALSE(recoverInterruptedExchange(data)); // nothing left
}

TEST_F(ExchangeTest, AFullDiskRefusesTheExportAndTheImport) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root";
    TempDir small;
    if (::mount("tmpfs", small.str().c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "a tmpfs cannot be mounted here: " << std::strerror(errno);
    struct Unmount {
        std::string at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{small.str()};

    const ExchangeResult out = exportDatabase(data, small.file("izvoz"), reporter);
    EXPECT_FALSE(out.ok);
    EXPECT_NE(out.detail.find(".DAT: nema dovoljno mjesta na disku"), std::string::npos)
        << out.detail;
    for (const auto& entry : fs::directory_iterator(small.file("izvoz")))
        ADD_FAILURE() << "left behind: " << entry.path();

    // An installation on the small disk with no room for a second copy.
    const std::string full = small.file("podaci");
    fs::create_directory(full);
    for (const char* name : {"TBPOSLOD.DAT", "TBZAPOSL.DAT"})
        fs::copy_file(data + "/" + name, full + "/" + name);
    {
        std::ofstream filler(small.file("filler"), std::ios::binary);
        const std::string block(4096, '\0');
        while (filler.write(block.data(), block.size()))
            ;
    }
    fs::resize_file(small.file("filler"), fs::file_size(small.file("filler")) - 16384);
    const DataState before = dataState(full);
    const ExchangeResult in = importDatabase(full, exportDir, errors);
    EXPECT_FALSE(in.ok);
    EXPECT_NE(in.detail.find("nema dovoljno mjesta na disku"), std::string::npos) << in.detail;
    EXPECT_EQ(dataState(full), before);
    EXPECT_FALSE(fs::exists(stagingFolder(full)));
}

TEST_F(ExchangeTest, TakeoverReplacesEmployersAndEmployeesOnly) {
    const std::string fresh = root.file("nova");
    ASSERT_TRUE(initializeDataDirectory(fresh, errors, InitOptions{}).ok);
    const DataState before = dataState(fresh);

    const ExchangeResult r = takeOver(fresh, data, errors);
    ASSERT_TRUE(r.ok) << r.detail;
    EXPECT_EQ(r.message, "PODACI PREUZETI ...");
    DataState after = dataState(fresh);
    EXPECT_EQ(after["TBPOSLOD.DAT"], exported["TBPOSLOD.DAT"]);
    EXPECT_EQ(after["TBZAPOSL.DAT"], exported["TBZAPOSL.DAT"]);
    DataState rest = before;
    for (DataState* state : {&after, &rest}) {
        state->erase("TBPOSLOD.DAT");
        state->erase("TBZAPOSL.DAT");
    }
    EXPECT_EQ(after, rest); // nothing else taken over
}

TEST_F(ExchangeTest, TakeoverOfOneTableOnlyTakesNeither) {
    const std::string source = root.file("samo poslodavci");
    fs::create_directory(source);
    fs::copy_file(data + "/TBPOSLOD.DAT", source + "/TBPOSLOD.DAT");
    changeData();
    const DataState before = dataState(data);
    for (const std::string& folder : {source, root.file("nema")}) {
        const ExchangeResult r = takeOver(data, folder, errors);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, "GREŠKA KOD PREUZIMANJA ...");
        EXPECT_FALSE(r.detail.empty());
    }
    EXPECT_NE(takeOver(data, source, errors).detail.find("TBZAPOSL.DAT"), std::string::npos);
    EXPECT_EQ(dataState(data), before);
}

} // namespace
