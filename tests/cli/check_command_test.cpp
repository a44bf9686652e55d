// mvz check: the summary, the findings as lines, the CSV export, the
// transcript and the exit codes (0 without errors, 1 with, 2 for usage and
// unreadable files).

#include <gtest/gtest.h>

#include <fstream>

#include "base/day_number.h"
#include "cli/run_mvz.h"
#include "submission/digest.h"
#include "support/temp_dir.h"

using namespace mvz;
using namespace mvz::test;

namespace {

class CheckCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(runMvz(dir.str(), {"init", "--demo"}).code, 0);
        const CivilDate today = civilDate(todayDayNumber());
        const MvzRun form = runMvz(
            dir.str(), {"form", "--payer", "1", "--type", "01", "--from", "1", "--to",
                        std::to_string(daysInMonth(today.year, today.month)), "--mode", "single"});
        ASSERT_EQ(form.code, 0) << form.err;
        clean = dir.str() + "/izlaz/F0010050.TXT";
    }
    // The clean file with line 1 changed at a 0-based offset.
    std::string changed(std::size_t offset, const std::string& text) {
        std::string bytes = slurp(clean);
        bytes.replace(offset, text.size(), text);
        const std::string path = dir.file("changed.txt");
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    MvzRun check(std::vector<std::string> args) {
        args.insert(args.begin(), "check");
        return runMvz(dir.str(), args);
    }

    TempDir dir;
    std::string clean;
};

TEST_F(CheckCommand, CleanFileGivesTheSummaryAndExitZero) {
    const MvzRun r = check({clean});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "lines read:   24 (type 0: 1, type 3: 1, type 5: 20, type 7: 1, type 9: 1, "
                     "other: 0)\n"
                     "errors F:     0\n"
                     "warnings U:   0\n"
                     "control mark: " +
                         groupedMark(doSHAOnFile(clean)) + "\n");
}

TEST_F(CheckCommand, FindingsArePrintedExportedAndTranscribed) {
    const std::string file = changed(0, "X"); // the reserved field of the type-0 record
    const std::string csv = dir.file("findings.csv");
    const MvzRun r = check({file, "--findings-csv", csv, "--transcript"});
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_EQ(r.out.rfind("1 MV0REZ1 F SL0:MV0REZ1 mora biti prazno ili 000000000000\n", 0), 0u)
        << r.out;
    EXPECT_NE(r.out.find("errors F:     1\n"), std::string::npos);
    EXPECT_EQ(slurp(csv), "line,field,kind,name,message,start,end,value\r\n"
                          "1,MV0REZ1,F,Slog tipa 0,SL0:MV0REZ1 mora biti prazno ili 000000000000,"
                          "1,12,\"X           \"\r\n");
    EXPECT_EQ(slurp(dir.str() + "/rad/TBIZLAZ2.TXT"),
              "    1 MV0REZ1    F SL0:MV0REZ1 mora biti prazno ili 000000000000" +
                  std::string(25, ' ') + "\r\n");
    const MvzRun quiet = check({file, "--quiet"});
    EXPECT_EQ(quiet.code, 1);
    EXPECT_EQ(quiet.out.rfind("lines read:", 0), 0u) << quiet.out;
}

TEST_F(CheckCommand, WarningsAloneExitZero) {
    const MvzRun r = check({changed(223, "MZ501")}); // the format mark
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("1 MZ0OFOR U Pogrešna oznaka formata \n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("warnings U:   1\n"), std::string::npos);
}

// The bytes of a checked file never act on the terminal: an escape sequence
// in a field is printed escaped.
TEST_F(CheckCommand, ControlCharactersOfTheFileArePrintedEscaped) {
    const MvzRun r = check({changed(215, "\x1b[31m")}); // the sending date of record 0
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("1 MV0DTMN F Datum nije numerik=\\x1b[31m"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
}

TEST_F(CheckCommand, UnreadableFileAndUsageErrorsExitTwo) {
    const MvzRun missing = check({dir.file("missing.txt")});
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE(missing.err.find("Greška kod preuzimanja podataka " + dir.file("missing.txt")),
              std::string::npos)
        << missing.err;
    EXPECT_EQ(check({}).code, 2);
    EXPECT_EQ(check({clean, "--no-such-option"}).code, 2);
}

} // namespace
