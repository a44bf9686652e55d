// The tables kept by windows take from the command line only what their
// windows take: the same checks, messages and questions.

#include <gtest/gtest.h>

#include <fstream>

#include "cli/run_mvz.h"
#include "support/temp_dir.h"

using namespace mvz::test;

namespace {

class RegisterCommand : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        demo_ = new TempDir;
        ASSERT_EQ(runMvz(demo_->str(), {"init", "--demo"}).code, 0);
    }
    static void TearDownTestSuite() {
        delete demo_;
        demo_ = nullptr;
    }
    void SetUp() override {
        std::filesystem::copy(demo_->path(), dir.path(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
    }
    MvzRun mvz(const std::vector<std::string>& args) { return runMvz(dir.str(), args); }
    std::string dump(const char* table) { return mvz({"table", table, "dump", "--csv"}).out; }
    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(dir.file(name), std::ios::binary) << text;
        return dir.file(name);
    }

    TempDir dir;
    static TempDir* demo_;
};
TempDir* RegisterCommand::demo_ = nullptr;

const std::vector<std::string> kEmployer2 = {"REDBROJ=2",        "JMBG=12345678903",
                                             "NAZIV=Drugi obrt", "ADRESA=Ilica 1, Zagreb",
                                             "KONTAKT=Ivo Ivić", "VRSTOBVEZNIKA=30"};

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST_F(RegisterCommand, AddRefusesWhatTheWindowRefuses) {
    const std::vector<std::string> tables = {"POS", "RAD", "VUP", "OPC", "STO1", "VEZ", "APL"};
    std::vector<std::string> before;
    for (const auto& t : tables)
        before.push_back(dump(t.c_str()));
    const struct {
        std::vector<std::string> args;
        const char* err;
    } cases[] = {
        {{"table", "POS", "add", "REDBROJ=2", "NAZIV=Drugi obrt", "KONTAKT=Ivo",
          "VRSTOBVEZNIKA=30"},
         "Poslodavac i zaposlenici: Greška broj 7. Adresa obveznika je obvezan podatak"},
        {with({"table", "POS", "add"}, {"REDBROJ=888", "JMBG=12345678903", "NAZIV=x", "ADRESA=y",
                                        "KONTAKT=z", "VRSTOBVEZNIKA=30"}),
         "Redni broj obveznika mora biti od 1 do 999, osim 888"},
        {with({"table", "POS", "add"}, {"REDBROJ=3", "JMBG=12345678903", "NAZIV=x", "ADRESA=y",
                                        "KONTAKT=z", "VRSTOBVEZNIKA=77"}),
         "Pogrešna vrsta obveznika. Ispravite !"},
        {with({"table", "POS", "add"},
              {"REDBROJ=3", "JMBG=BADID", "NAZIV=x", "ADRESA=y", "KONTAKT=z", "VRSTOBVEZNIKA=30"}),
         "Provjerite identifikacijski broj obveznika"},
        {{"table", "RAD", "add", "REDBROJ=1", "JMBG=BADID", "OPCINA=1230", "CLANDN=N",
          "GODOBRA=2025", "MJEOBRA=1"},
         "PODACI O OSIGURANIKU I ZADNJOJ UPLATI: Provjerite identifikacijski broj osiguranika"},
        {{"table", "RAD", "add", "REDBROJ=5", "JMBG=12345678903", "GODOBRA=2025", "MJEOBRA=1"},
         "Poslodavac rednog broja 5 ne postoji"},
        {{"table", "VUP", "add", "SIFRA=7", "OPIS=Jednoznamenkasta"},
         "Greška. Šifra mora sadržavati 2 (dva) znaka"},
        {{"table", "VUP", "add", "SIFRA=", "OPIS=Bez šifre"}, "Greška. Šifra mora biti upisana"},
        {{"table", "OPC", "add", "SIFRA=1231", "NAZIV=Kriva"}, "Pogrešan šifra općine/grada"},
        {{"table", "STO1", "add", "CLANDN=D", "VRSTOBRACUNA=42", "VRSTAOBVEZNIKA=30",
          "OSNOVOBRA=01", "STAZ=0"},
         "Nepoznata vrsta obračuna \"42\""},
        {{"table", "VEZ", "add", "VOB=30", "VOI=01", "OO=01", "OBRMJE=<=>0"}, "OBRMJE: pravilo"},
        {{"table", "APL", "change", "RB=1", "--set", "JMBG=BADID"},
         "Provjerite identifikacijski broj ovlaštene osobe"},
        {{"table", "APL", "delete", "RB=1"}, "Aplikacijski parametri se ne brišu"},
        {{"table", "POS", "change", "REDBROJ=1", "--set", "REDBROJ=4"},
         "Redni broj obveznika ne može se mijenjati"},
    };
    for (const auto& c : cases) {
        const MvzRun r = mvz(c.args);
        EXPECT_EQ(r.code, 1) << c.args[1] << " " << c.args.back() << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    for (std::size_t i = 0; i < tables.size(); ++i)
        EXPECT_EQ(dump(tables[i].c_str()), before[i]) << tables[i] << " changed";
}

TEST_F(RegisterCommand, WhatTheWindowTakesIsStored) {
    const MvzRun added = mvz(with({"table", "POS", "add"}, kEmployer2));
    ASSERT_EQ(added.code, 0) << added.err;
    // The identifier is stored in its stored form, as the window leaves it.
    EXPECT_NE(dump("POS").find("\"  12345678903\",Drugi obrt"), std::string::npos) << dump("POS");
    const MvzRun code = mvz({"table", "VUP", "add", "SIFRA=77", "OPIS=Nova vrsta"});
    EXPECT_EQ(code.code, 0) << code.err;
    const MvzRun twice = mvz({"table", "VUP", "add", "SIFRA=78", "OPIS=nova VRSTA"});
    EXPECT_EQ(twice.code, 1);
    EXPECT_NE(twice.err.find("Greška. Dupli naziv pojma"), std::string::npos) << twice.err;
    // A control-table rule comes with its tree labels.
    const MvzRun rule = mvz({"table", "VEZ", "add", "VOB=30", "VOI=77", "OO=01", "OBRMJE=>0",
                             "GODINA=>0", "DANOD=>0", "DANDO=>0", "PLAGOD=>=0", "PLAMJE=>=0",
                             "IZNOS7=>0", "IZNOS8=>0", "IZNOS9=>0", "IZNOS10=>=0", "IZNOS11=>0"});
    EXPECT_EQ(rule.code, 0) << rule.err;
    EXPECT_NE(dump("STA2").find("Nova vrsta"), std::string::npos) << dump("STA2");
}

TEST_F(RegisterCommand, DeletingAnEmployerAsksFirstAndNoKeepsEverything) {
    const std::string employers = dump("POS");
    const std::string employees = dump("RAD");
    const MvzRun no = runMvz(dir.str(), {"--no", "table", "POS", "delete", "REDBROJ=1"});
    EXPECT_EQ(no.code, 1);
    EXPECT_NE(no.err.find("nothing was deleted"), std::string::npos) << no.err;
    EXPECT_EQ(dump("POS"), employers);
    EXPECT_EQ(dump("RAD"), employees);

    const MvzRun yes = runMvz(dir.str(), {"--yes", "table", "POS", "delete", "REDBROJ=1"});
    EXPECT_EQ(yes.code, 0) << yes.err;
    EXPECT_EQ(mvz({"table", "POS", "get", "REDBROJ=1"}).code, 1);
    const std::string left = dump("RAD");
    EXPECT_EQ(std::count(left.begin(), left.end(), '\n'), 1) << "the employees went with it";
}

TEST_F(RegisterCommand, LoadNamesEveryRefusedRowAndAddsNothing) {
    const std::string employers = dump("POS");
    const std::string file = write("pos.csv", "REDBROJ,JMBG,NAZIV,ADRESA,KONTAKT,VRSTOBVEZNIKA\n"
                                              "2,12345678903,Drugi,Ilica 1,Ana,30\n"
                                              "3,98765432106,Treći,,Ana,30\n"
                                              "4,98765432106,Četvrti,Ilica 4,Ana,30\n"
                                              "888,98765432106,Peti,Ilica 5,Ana,30\n");
    const MvzRun r = mvz({"table", "POS", "load", file});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(file + ", line 3: Greška broj 7. Adresa obveznika je obvezan podatak"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find(file + ", line 5: Redni broj obveznika mora biti od 1 do 999"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("line 2"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("line 4"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("2 rows were refused; nothing was loaded"), std::string::npos) << r.err;
    EXPECT_EQ(dump("POS"), employers);

    // Each row is judged against the rows before it: a code twice in one file.
    const std::string codes = write("vup.csv", "SIFRA,OPIS\n77,Prva\n78,Druga\n77,Treća\n");
    const MvzRun dup = mvz({"table", "VUP", "load", codes});
    EXPECT_EQ(dup.code, 1);
    EXPECT_NE(dup.err.find(codes + ", line 4: Greška. Dupla šifra"), std::string::npos) << dup.err;
    EXPECT_EQ(dump("VUP").find("Prva"), std::string::npos);

    const MvzRun good = mvz({"table", "POS", "load",
                             write("ok.csv", "REDBROJ,JMBG,NAZIV,ADRESA,KONTAKT,VRSTOBVEZNIKA\n"
                                             "2,12345678903,Drugi,Ilica 1,Ana,30\n")});
    EXPECT_EQ(good.code, 0) << good.err;
    EXPECT_EQ(good.out, "loaded 1 record into TBPOSLOD.DAT\n");
}

} // namespace
