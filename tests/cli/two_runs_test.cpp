// Two programs on one data folder that work through the same work file: the
// run that holds it finishes with its own file, the other is refused with the
// storage engine's message instead of reading the first one's.

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

#include "cli/run_mvz.h"
#include "submission/digest.h"
#include "support/temp_dir.h"

using namespace mvz;
using namespace mvz::test;

namespace {

// A payment-data line of the demo payer for December 2026.
std::string paymentLine(const std::string& person) {
    std::string name = "Peric Zeljka";
    name.resize(50, ' ');
    return "00001" + std::string(12, ' ') + "  81773745505" + "31" + "01" + "0050" + "2026" + "12" +
           "01" + "31" + person + name + "1333" + "D" + "01" + "0" + "+00000000660000" +
           "+00000000660000" + "+00000000099000" + "+00000000033000" + "+00000000478723";
}

class TwoRuns : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(runMvz(dir.str(), {"init", "--demo"}).code, 0); }
    std::string paymentFile(const std::string& name, int lines) {
        const std::string path = dir.file(name);
        std::ofstream out(path, std::ios::binary);
        const char* people[] = {"  17957931210", "  20092567543"};
        for (int i = 0; i < lines; ++i)
            out << paymentLine(people[i % 2]) << "\r\n";
        return path;
    }
    std::vector<std::string> december(const std::string& command, const std::string& file) {
        std::vector<std::string> args = {"payments", command,  file,   "--payer", "1", "--type",
                                         "01",       "--year", "2026", "--month", "12"};
        if (command == "form") args.insert(args.end(), {"--mode", "single"});
        return args;
    }
    TempDir dir;
};

TEST_F(TwoRuns, APaymentCheckHoldsItsWorkCopyUntilItsLastLine) {
    const std::string three = paymentFile("three.txt", 3);
    const std::string two = paymentFile("two.txt", 2);
    MvzChild check(dir.str(), december("check", three),
                   {"MVZ_TEST_POINT=payments-check-copied:stop"});
    ASSERT_TRUE(check.waitStopped());
    const MvzRun form = runMvz(dir.str(), december("form", two));
    EXPECT_EQ(form.code, 1);
    EXPECT_NE(form.err.find("Greška. Open TBUPLATE Access Denied"), std::string::npos) << form.err;
    check.signal(SIGCONT);
    const MvzRun checked = check.finish();
    EXPECT_EQ(checked.code, 0) << checked.err;
    EXPECT_NE(checked.out.find("Ukupno obrađeno redaka: 3\n"), std::string::npos) << checked.out;
    // Once the check is over the form reads its own file.
    const MvzRun again = runMvz(dir.str(), december("form", two));
    EXPECT_EQ(again.code, 0) << again.err;
    EXPECT_NE(again.out.find("lines read 2, taken 2"), std::string::npos) << again.out;
}

// A check holds the collective run's work copy TBZOVAK1.TXT until its
// results are committed, and a collective run holds it while it merges.
TEST_F(TwoRuns, ACheckAndACollectiveRunDoNotShareTheirWorkCopy) {
    ASSERT_EQ(runMvz(dir.str(),
                     {"form", "--payer", "1", "--type", "01", "--year", "2026", "--month", "12",
                      "--from", "1", "--to", "31", "--date", "10.12.2026", "--mode", "collective"})
                  .code,
              0);
    const std::string payerFile = dir.str() + "/izlaz/F0010050.TXT";
    const std::string workCopy = dir.str() + "/rad/TBZOVAK1.TXT";
    // Another submission file to check: the payer file with its form twice.
    const std::string other = dir.file("other.txt");
    std::ofstream(other, std::ios::binary) << slurp(payerFile) << slurp(payerFile);

    {
        MvzChild check(dir.str(), {"check", other, "--quiet"},
                       {"MVZ_TEST_POINT=check-before-commit:stop"});
        ASSERT_TRUE(check.waitStopped());
        const MvzRun collect = runMvz(dir.str(), {"collect", "--date", "10.12.2026"});
        EXPECT_EQ(collect.code, 1);
        EXPECT_NE(collect.err.find("Greška. Open TBZOVAK1.TXT Access Denied"), std::string::npos)
            << collect.err;
        check.signal(SIGCONT);
        EXPECT_EQ(check.finish().code, 0);
        EXPECT_EQ(slurp(workCopy), slurp(other));
    }
    {
        MvzChild collect(dir.str(), {"collect", "--date", "10.12.2026"},
                         {"MVZ_TEST_POINT=collect-merging:stop"});
        ASSERT_TRUE(collect.waitStopped());
        const MvzRun check = runMvz(dir.str(), {"check", other, "--quiet"});
        EXPECT_EQ(check.code, 1);
        EXPECT_NE(check.err.find("Greška. Open TBZOVAK1.TXT Access Denied"), std::string::npos)
            << check.err;
        collect.signal(SIGCONT);
        const MvzRun collected = collect.finish();
        EXPECT_EQ(collected.code, 0) << collected.err;
        EXPECT_NE(collected.out.find("files 1, forms 1"), std::string::npos) << collected.out;
        EXPECT_EQ(slurp(workCopy), slurp(payerFile));
    }
}

} // namespace
