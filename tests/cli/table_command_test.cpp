#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

#include "cli/run_mvz.h"
#include "support/temp_dir.h"

using namespace mvz::test;

namespace {

constexpr const char* kPosHeader = "REDBROJ,MB01,MB02,JMBG,NAZIV,ADRESA,KONTAKT,TELEFON,EMAIL,"
                                   "VRSTOBVEZNIKA,IDENTIFIKATOR,OBRGOD,DANOD,DANDO\n";

int lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class TableCommand : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        demo_ = new TempDir;
        ASSERT_EQ(runMvz(demo_->str(), {"init", "--demo"}).code, 0);
    }
    static void TearDownTestSuite() {
        delete demo_;
        demo_ = nullptr;
    }
    // A fresh copy of the demo data for each test.
    void SetUp() override {
        std::filesystem::copy(demo_->path(), dir.path(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
    }
    MvzRun mvz(const std::vector<std::string>& args) { return runMvz(dir.str(), args); }

    TempDir dir;
    static TempDir* demo_;
};
TempDir* TableCommand::demo_ = nullptr;

TEST_F(TableCommand, ListsTheDemoEmployerAsCsv) {
    const MvzRun r = mvz({"table", "POS", "list", "--csv"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, std::string(kPosHeader) +
                         "1,,,\"  81773745505\",Tehnoservis Sava d.o.o.,\"Radnička cesta 47, "
                         "10000 Zagreb\",Marija Kovač,014567890,place@tehnoservis-sava.hr,31,49,0,"
                         "0,0\n");
    EXPECT_EQ(r.err, "");
    // The same table by file name, in any case, with a limit and backwards.
    const MvzRun opc = mvz(
        {"table", "tbopcine", "list", "--key", "KEYNAZIV", "--reverse", "--limit", "2", "--csv"});
    EXPECT_EQ(opc.code, 0) << opc.err;
    EXPECT_EQ(lines(opc.out), 3) << opc.out;
    const MvzRun from =
        mvz({"table", "OPC", "list", "--key", "OPC:KEYNAZIV", "--from", "opc:naziv=Zagreb"});
    EXPECT_EQ(from.code, 0) << from.err;
    EXPECT_NE(from.out.find("| Zagreb |"), std::string::npos) << from.out;
    EXPECT_EQ(from.out.find("| Split |"), std::string::npos) << "before Zagreb";
}

TEST_F(TableCommand, AddGetChangeAndDeleteWithItsCascade) {
    ASSERT_EQ(mvz({"table", "POS", "add", "REDBROJ=2", "JMBG=12345678903", "NAZIV=Drugi obrt",
                   "ADRESA=Ilica 1", "KONTAKT=Ana", "VRSTOBVEZNIKA=30"})
                  .code,
              0);
    // A calculation type outside the control table only warns.
    for (const char* id : {"12345678903", "98765432106"}) {
        const MvzRun added = mvz({"table", "RAD", "add", "REDBROJ=2", std::string("JMBG=") + id,
                                  "PREZIME=Radnik " + std::string(id), "CLANDN=N", "VRSTAUPLA=99",
                                  "GODOBRA=2025", "MJEOBRA=1", "ODDANA=1", "DODANA=31"});
        ASSERT_EQ(added.code, 0) << added.err;
    }

    MvzRun got = mvz({"table", "POS", "get", "REDBROJ=2", "--csv"});
    EXPECT_EQ(got.code, 0) << got.err;
    EXPECT_EQ(got.out, std::string(kPosHeader) +
                           "2,,,\"  12345678903\",Drugi obrt,Ilica 1,Ana,,,30,0,0,0,0\n");

    MvzRun changed = mvz({"table", "POS", "change", "REDBROJ=2", "--set", "NAZIV=Drugi obrt Ćuk"});
    EXPECT_EQ(changed.code, 0) << changed.err;
    got = mvz({"table", "POS", "get", "--key", "KEYNAZIV", "NAZIV=drugi obrt ćuk"});
    EXPECT_EQ(got.code, 1) << "KEYNAZIV is case-sensitive";
    got = mvz({"table", "POS", "get", "--key", "KEYNAZIV", "NAZIV=Drugi obrt Ćuk", "REDBROJ=2"});
    EXPECT_EQ(got.code, 0) << got.err;

    const MvzRun deleted = mvz({"table", "POS", "delete", "REDBROJ=2"});
    EXPECT_EQ(deleted.code, 0) << deleted.err;
    EXPECT_EQ(mvz({"table", "POS", "get", "REDBROJ=2"}).code, 1);
    const MvzRun left = mvz({"table", "RAD", "list", "--key", "KEYRBRFIRME", "--csv"});
    EXPECT_EQ(lines(left.out), 41) << "the employees of employer 2 went with it";
    EXPECT_EQ(left.out.find("Radnik"), std::string::npos) << left.out;
}

TEST_F(TableCommand, RefusedInputChangesNothing) {
    const std::string before = mvz({"table", "RAD", "dump", "--csv"}).out;
    const struct {
        std::vector<std::string> args;
        int code;
        const char* err;
    } cases[] = {
        {{"table", "POS", "add", "REDBROJ=1", "JMBG=12345678903", "NAZIV=Dupli", "ADRESA=a",
          "KONTAKT=k", "VRSTOBVEZNIKA=30"},
         1,
         "Duplicate Key Error: Adding this record creates a duplicate entry for the key: Redni "
         "broj obveznika"},
        {{"table", "RAD", "add", "REDBROJ=1", "JMBG=12345678903", "GODOBRA=abc"},
         1,
         "RAD:GODOBRA: \"abc\" is not a whole number; nothing was added"},
        {{"table", "RAD", "add", "REDBROJ=1", "PREZIME=" + std::string(61, 'x')},
         1,
         "RAD:PREZIME: the value is 61 characters long, the field holds 60"},
        {{"table", "RAD", "change", "--key", "KEYOSOBA", "JMBG=  20572565300", "--set",
          "IZNOS8=12.3.4"},
         1,
         "2 records of TBZAPOSL have KEYOSOBA"},
        {{"table", "POS", "change", "REDBROJ=1", "--set", "REDBROJ=x"},
         1,
         "POS:REDBROJ: \"x\" is not a whole number; nothing was changed"},
        {{"table", "POS", "delete", "REDBROJ=9"}, 1, "no record of TBPOSLOD has KEYREDBROJ"},
        {{"table", "NEMA", "list"}, 2, "there is no table NEMA"},
        {{"table", "RAD", "add", "BOJA=plava"}, 2, "table TBZAPOSL has no field BOJA"},
        {{"table", "RAD", "get", "--key", "KEYNEMA", "JMBG=1"}, 2, "has no key KEYNEMA"},
        {{"table", "RAD", "get", "PREZIME=x"}, 2, "RAD:PREZIME is not part of the key"},
        {{"table", "POS", "list", "--limit"}, 2, "--limit"},
        {{"table", "POS", "frobnicate"}, 2, ""},
    };
    for (const auto& c : cases) {
        const MvzRun r = mvz(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.back() << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    EXPECT_EQ(mvz({"table", "RAD", "dump", "--csv"}).out, before);
    EXPECT_EQ(mvz({"table", "POS", "dump"}).out.find("Dupli"), std::string::npos);
}

TEST_F(TableCommand, DumpedCsvLoadsBackAndABadFileLoadsNothing) {
    const MvzRun dump = mvz({"table", "RAD", "dump", "--csv"});
    ASSERT_EQ(dump.code, 0);
    {
        std::ofstream f(dir.file("rad.csv"), std::ios::binary);
        f << dump.out;
    }
    // Employees are loaded through the insured-person checks: beside their employer.
    TempDir other;
    ASSERT_EQ(runMvz(other.str(), {"init"}).code, 0);
    {
        std::ofstream f(dir.file("pos.csv"), std::ios::binary);
        f << mvz({"table", "POS", "dump", "--csv"}).out;
    }
    ASSERT_EQ(runMvz(other.str(), {"table", "POS", "load", dir.file("pos.csv")}).code, 0);
    const MvzRun loaded = runMvz(other.str(), {"table", "RAD", "load", dir.file("rad.csv")});
    EXPECT_EQ(loaded.code, 0) << loaded.err;
    EXPECT_EQ(loaded.out, "loaded 40 records into TBZAPOSL.DAT\n");
    EXPECT_EQ(runMvz(other.str(), {"table", "RAD", "dump", "--csv"}).out, dump.out);

    {
        std::ofstream f(dir.file("bad.csv"), std::ios::binary);
        f << "REDBROJ,JMBG,GODOBRA\r\n1,11111111111,2025\r\n1,22222222222,abc\r\n";
    }
    const MvzRun bad = runMvz(other.str(), {"table", "RAD", "load", dir.file("bad.csv")});
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.err.find("bad.csv, line 3: RAD:GODOBRA: \"abc\" is not a whole number; "
                           "nothing was loaded"),
              std::string::npos)
        << bad.err;
    EXPECT_EQ(runMvz(other.str(), {"table", "RAD", "dump", "--csv"}).out, dump.out);
}

TEST(InitCommand, RefusesToOverwriteAndNeedsAnExistingDirectory) {
    TempDir dir;
    const MvzRun first = runMvz(dir.str(), {"init"});
    EXPECT_EQ(first.code, 0) << first.err;
    const MvzRun aplparam = runMvz(dir.str(), {"table", "APL", "list", "--csv"});
    EXPECT_NE(aplparam.out.find("\n1,,,1111111111111,"), std::string::npos) << aplparam.out;

    const MvzRun again = runMvz(dir.str(), {"init", "--demo"});
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.err.find("already holds"), std::string::npos) << again.err;
    EXPECT_NE(again.err.find("APLPARAM.DAT"), std::string::npos) << again.err;
    EXPECT_EQ(runMvz(dir.str(), {"table", "POS", "list", "--csv"}).out, kPosHeader);

    const MvzRun missing = runMvz(dir.file("nowhere"), {"table", "POS", "list"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("does not exist"), std::string::npos) << missing.err;

    if (::geteuid() != 0) { // the superuser writes anywhere
        TempDir locked;
        std::filesystem::permissions(locked.path(), std::filesystem::perms::owner_read |
                                                        std::filesystem::perms::owner_exec);
        const MvzRun refused = runMvz(locked.str(), {"init"});
        EXPECT_EQ(refused.code, 1);
        EXPECT_NE(refused.err.find("cannot be written"), std::string::npos) << refused.err;
    }
}

TEST(TableCommandFiles, ADamagedDataFileIsNamedAndKept) {
    TempDir dir;
    {
        std::ofstream f(dir.file("TBPOSLOD.DAT"), std::ios::binary);
        f << "not a table";
    }
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"table", "POS", "list"},
          std::vector<std::string>{"table", "POS", "add", "REDBROJ=1"}}) {
        const MvzRun r = runMvz(dir.str(), args);
        EXPECT_EQ(r.code, 1) << args.back();
        EXPECT_NE(r.err.find("File Access Error: File (TBPOSLOD.DAT) could not be opened"),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(r.out, "");
    }
    std::ifstream in(dir.file("TBPOSLOD.DAT"));
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "not a table");
}

TEST(StatusCommand, ShowsTheDataFilesAndTheUsage) {
    TempDir dir;
    MvzRun empty = runMvz(dir.str(), {"status"});
    EXPECT_EQ(empty.code, 0);
    EXPECT_NE(empty.out.find("no data files yet"), std::string::npos) << empty.out;
    ASSERT_EQ(runMvz(dir.str(), {"init"}).code, 0);
    const MvzRun status = runMvz(dir.str(), {"status"});
    EXPECT_EQ(status.code, 0);
    EXPECT_NE(status.out.find("TBSTOPE.DAT        576 records"), std::string::npos) << status.out;
    EXPECT_NE(status.out.find("TBIZLFOLDER.TXT    1 line"), std::string::npos) << status.out;
    EXPECT_NE(status.out.find("Usage: mvz"), std::string::npos) << status.out;
}

} // namespace
