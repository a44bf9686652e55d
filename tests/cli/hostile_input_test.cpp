// Input that is no file, values with control characters, a checked file with
// an escape sequence, and a full disk: each is refused or reported in plain
// words, and nothing is left half done.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include "cli/run_mvz.h"
#include "support/temp_dir.h"

using namespace mvz::test;
namespace fs = std::filesystem;

namespace {

class HostileInput : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(runMvz(data(), {"init", "--demo"}).code, 0); }
    std::string data() const { return dir.str(); }
    MvzRun formDecember() {
        return runMvz(data(),
                      {"form", "--payer", "1", "--type", "01", "--year", "2026", "--month", "12",
                       "--from", "1", "--to", "31", "--date", "10.12.2026", "--mode", "single"});
    }
    TempDir dir;
};

// Every command that reads an input file refuses a folder, a FIFO without a
// writer and a device with one message and exit 2, and copies nothing.
TEST_F(HostileInput, WhatIsNoRegularFileIsRefusedByEveryCommand) {
    const std::string folder = dir.file("folder");
    const std::string fifo = dir.file("fifo");
    fs::create_directory(folder);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::vector<std::string> year = {"--payer", "1",    "--type",  "01",
                                           "--year",  "2026", "--month", "12"};
    for (const std::string& input : {folder, fifo, std::string("/dev/zero")}) {
        std::vector<std::vector<std::string>> commands = {
            {"check", input},
            {"payments", "check", input},
            {"payments", "form", input, "--mode", "single"},
            {"table", "RAD", "load", input},
            {"table", "TBT", "load", input},
            {"digest", input}};
        for (auto& args : commands) {
            if (args[0] == "payments") args.insert(args.end(), year.begin(), year.end());
            SCOPED_TRACE(args[0] + " " + args[1] + " " + input);
            const MvzRun r = runMvz(data(), args);
            EXPECT_EQ(r.code, 2);
            EXPECT_EQ(r.err, "mvz: " + input + " is not a regular file\n");
        }
    }
    for (const auto& e : fs::directory_iterator(dir.path() / "rad"))
        ADD_FAILURE() << "left in the working folder: " << e.path();
}

// Control characters never reach a stored text field, and a record that is
// not 250 printable characters is never written to a submission file.
TEST_F(HostileInput, ControlCharactersAreRefusedWhereValuesAreStored) {
    const MvzRun changed =
        runMvz(data(), {"table", "POS", "change", "REDBROJ=1", "--set", "NAZIV=Tehno\r\nservis"});
    EXPECT_EQ(changed.code, 1);
    EXPECT_NE(changed.err.find("Field contents error: The value of POS:NAZIV must not hold control "
                               "characters; it holds \\x0d at character 6."),
              std::string::npos)
        << changed.err;
    const std::string csv = dir.file("rad.csv");
    std::ofstream(csv) << "REDBROJ,JMBG,PREZIME,OPCINA,CLANDN,GODOBRA,MJEOBRA\n"
                          "1,17957931210,\"Radnik\r\nNovi\",1333,D,2026,12\n"
                          "1,17957931210,\"Radnik\tTab\",1333,D,2026,12\n";
    const std::string before = runMvz(data(), {"table", "RAD", "dump", "--csv"}).out;
    const MvzRun loaded = runMvz(data(), {"table", "RAD", "load", csv});
    EXPECT_EQ(loaded.code, 1);
    EXPECT_NE(loaded.err.find("RAD:PREZIME must not hold control characters"), std::string::npos)
        << loaded.err;
    EXPECT_EQ(runMvz(data(), {"table", "RAD", "dump", "--csv"}).out, before);

    // A control character written into the table by other means: forming
    // refuses the row and leaves no payer file (and would refuse the record).
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((data() + "/TBZAPOSL.DAT").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "UPDATE rec SET PREZIME = 'Radnik' || char(13) || char(10) || 'Novi' "
                           "WHERE rowid = (SELECT MIN(rowid) FROM rec WHERE MJEOBRA = 12)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    const MvzRun formed = formDecember();
    EXPECT_EQ(formed.code, 1);
    EXPECT_NE(formed.err.find("The value of OSI:PREZIME must not hold control characters"),
              std::string::npos)
        << formed.err;
    EXPECT_FALSE(fs::exists(dir.path() / "izlaz" / "F0010050.TXT"));
}

// A full disk or folder is called so and named, and the run changes nothing.
TEST_F(HostileInput, AFullDiskIsNamed) {
    ASSERT_EQ(formDecember().code, 0);
    const std::string payerFile = data() + "/izlaz/F0010050.TXT";
    const std::string rad = data() + "/rad";
    if (::mount("tmpfs", rad.c_str(), "tmpfs", 0, "size=4k") != 0)
        GTEST_SKIP() << "a small tmpfs cannot be mounted here: " << std::strerror(errno);
    // A file larger than the working folder can hold.
    const std::string big = dir.file("big.txt");
    {
        const std::string lines = slurp(payerFile);
        std::ofstream out(big, std::ios::binary);
        for (int i = 0; i < 4; ++i)
            out << lines;
    }
    const MvzRun check = runMvz(data(), {"check", big, "--quiet"});
    const MvzRun form = formDecember();
    ::umount(rad.c_str());
    EXPECT_EQ(check.code, 1);
    EXPECT_NE(check.err.find("Greška kod preuzimanja podataka " + big +
                             ": disk je pun (u pretincu " + rad + " nema mjesta)"),
              std::string::npos)
        << check.err;
    EXPECT_EQ(form.code, 1);
    EXPECT_NE(form.err.find("Disk full: no space left in " + rad), std::string::npos) << form.err;
    EXPECT_EQ(form.err.find("Input/output error"), std::string::npos) << form.err;
}

} // namespace
