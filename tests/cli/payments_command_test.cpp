#include <gtest/gtest.h>

#include <fstream>

#include "cli/run_mvz.h"
#include "support/temp_dir.h"

using namespace mvz::test;

namespace {

// A line of the demo payer for December 2026 (6,600.00 base, 15% and 5%
// contributions) with the given municipality code.
std::string line(const std::string& municipality) {
    std::string name = "Peric Zeljka";
    name.resize(50, ' ');
    return "00001" + std::string(12, ' ') + "  81773745505" + "31" + "01" + "0050" + "2026" + "12" +
           "01" + "31" + "  17957931210" + name + municipality + "D" + "01" + "0" +
           "+00000000660000" + "+00000000660000" + "+00000000099000" + "+00000000033000" +
           "+00000000478723";
}

class PaymentsCommand : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(runMvz(dir.str(), {"init", "--demo"}).code, 0); }
    MvzRun check(const std::vector<std::string>& lines, std::vector<std::string> extra = {}) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        for (const std::string& l : lines)
            out << l << "\r\n";
        out.close();
        std::vector<std::string> args = {"payments", "check",  file,   "--payer", "1", "--type",
                                         "01",       "--year", "2026", "--month", "12"};
        args.insert(args.end(), extra.begin(), extra.end());
        return runMvz(dir.str(), args);
    }
    TempDir dir;
    std::string file = dir.file("uplate.txt");
};

TEST_F(PaymentsCommand, CleanFileExitsZeroWithTheSummary) {
    const MvzRun r = check({line("1333"), line("5509")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Ukupno obrađeno redaka: 2\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Retci koji zadovoljavaju kontrolama: 2\n"), std::string::npos);
    EXPECT_NE(r.out.find("Vremensko razdoblje: 1 - 31\n"), std::string::npos);
}

TEST_F(PaymentsCommand, WrongLineExitsOneAndListsItsFindings) {
    const std::string csv = dir.file("findings.csv");
    const MvzRun r = check({line("1333"), line("9999")}, {"--findings-csv", csv});
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_NE(r.out.find("2 OPCINA F Nepoznata šifra općine\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Podaci sa upozorenjima: 1\n"), std::string::npos);
    EXPECT_EQ(slurp(csv), "line,field,kind,name,message,start,end,value\r\n"
                          "2,OPCINA,F,Peric Zeljka,Nepoznata šifra općine,112,115,9999\r\n");
}

// A Ctrl-Z inside the file is an ordinary character: every line is checked.
// Only one that is the file's last byte ends it.
TEST_F(PaymentsCommand, OnlyACtrlZThatIsTheLastByteEndsTheFile) {
    std::string bytes;
    for (int i = 0; i < 20; ++i)
        bytes += line("1333") + "\r\n";
    bytes[2 * 196 + 70] = '\x1a'; // inside the name of line 3
    std::ofstream(file, std::ios::binary) << bytes << '\x1a';
    const MvzRun r = runMvz(dir.str(), {"payments", "check", file, "--payer", "1", "--type", "01",
                                        "--year", "2026", "--month", "12"});
    EXPECT_NE(r.out.find("Ukupno obrađeno redaka: 20\n"), std::string::npos) << r.out;
}

TEST_F(PaymentsCommand, UnreadableFileAndBadValues) {
    MvzRun r = runMvz(dir.str(), {"payments", "check", dir.file("missing"), "--payer", "1",
                                  "--type", "01", "--year", "2026", "--month", "12"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("Greška kod preuzimanja podataka " + dir.file("missing")),
              std::string::npos)
        << r.err;
    r = check({line("1333")}, {"--from", "1", "--to", "32"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Pogrešan dan"), std::string::npos) << r.err;
    EXPECT_EQ(runMvz(dir.str(), {"payments"}).code, 2);
}

} // namespace
