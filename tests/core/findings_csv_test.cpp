// The CSV export of findings: header, one row per finding in the order
// given, quoting of commas, quotes, line ends and outer blanks, and a file
// that takes its name only when finished.

#include <gtest/gtest.h>

#include <filesystem>

#include "import/findings_csv.h"
#include "support/temp_dir.h"

using namespace mvz;
using namespace mvz::test;

namespace {

Finding finding(long line, std::string name, std::string message, std::string value) {
    Finding f;
    f.line = line;
    f.field = "MV5IMPR";
    f.kind = 'U';
    f.name = std::move(name);
    f.message = std::move(message);
    f.start = 19;
    f.end = 48;
    f.value = std::move(value);
    return f;
}

TEST(FindingsCsv, WritesOneQuotedRowPerFindingAfterTheHeader) {
    TempDir dir;
    const std::string path = dir.file("findings.csv");
    FindingsCsv csv;
    ASSERT_TRUE(csv.open(path));
    csv.add(finding(3, "  17957931210 Perić, Željka", "Poruka \"navodnik\"", "Perić, Željka   "));
    csv.add(finding(7, "Slog tipa 5", "dva\r\nretka", "abc"));
    Finding whole;
    whole.line = 23;
    whole.field = "MV3DIOI";
    whole.kind = 'F';
    whole.message = "Zbroj III.1";
    csv.add(whole);
    EXPECT_FALSE(std::filesystem::exists(path)); // not before it is finished
    ASSERT_TRUE(csv.finish());
    EXPECT_EQ(csv.rows(), 3);
    EXPECT_EQ(slurp(path),
              "line,field,kind,name,message,start,end,value\r\n"
              "3,MV5IMPR,U,\"  17957931210 Perić, Željka\",\"Poruka \"\"navodnik\"\"\","
              "19,48,\"Perić, Željka   \"\r\n"
              "7,MV5IMPR,U,Slog tipa 5,\"dva\r\nretka\",19,48,abc\r\n"
              "23,MV3DIOI,F,,Zbroj III.1,0,0,\r\n");
}

TEST(FindingsCsv, AnAbandonedExportKeepsTheEarlierFile) {
    TempDir dir;
    const std::string path = dir.file("findings.csv");
    {
        FindingsCsv csv;
        ASSERT_TRUE(csv.open(path));
        ASSERT_TRUE(csv.finish());
    }
    {
        FindingsCsv csv;
        ASSERT_TRUE(csv.open(path));
        csv.add(finding(1, "x", "y", "z"));
        csv.abandon();
    }
    EXPECT_EQ(slurp(path), "line,field,kind,name,message,start,end,value\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator{}),
              1);
    FindingsCsv nowhere;
    EXPECT_FALSE(nowhere.open(dir.file("no/such/folder.csv")));
    EXPECT_FALSE(nowhere.error().empty());
}

// A spreadsheet runs a cell that begins with "=" or "@": such values get an
// apostrophe; signed amounts and other values stay as they are.
TEST(FindingsCsv, ValuesASpreadsheetWouldRunGetAnApostrophe) {
    EXPECT_EQ(findingCsvRow(finding(1, "=HYPERLINK(\"x\")", "poruka", "@SUM(A1)")),
              "1,MV5IMPR,U,\"'=HYPERLINK(\"\"x\"\")\",poruka,19,48,'@SUM(A1)\r\n");
    EXPECT_EQ(findingCsvRow(finding(2, "Perić", "poruka", "+00000000660000")),
              "2,MV5IMPR,U,Perić,poruka,19,48,+00000000660000\r\n");
    EXPECT_EQ(findingCsvRow(finding(3, " =1", "poruka", "-5")),
              "3,MV5IMPR,U,\" =1\",poruka,19,48,-5\r\n");
}

} // namespace
