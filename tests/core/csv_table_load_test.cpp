#include <gtest/gtest.h>

#include <fstream>

#include "data/csv_table_load.h"
#include "data/csv_text.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

std::vector<std::vector<std::string>> fieldsOf(std::string_view text) {
    std::vector<CsvRow> rows;
    CsvSyntaxError error;
    EXPECT_TRUE(parseCsvText(text, rows, error)) << error.reason;
    std::vector<std::vector<std::string>> out;
    for (auto& r : rows)
        out.push_back(r.fields);
    return out;
}

TEST(CsvText, ReadsQuotedFieldsLineEndsAndByteOrderMark) {
    using Rows = std::vector<std::vector<std::string>>;
    EXPECT_EQ(fieldsOf("\xEF\xBB\xBF"
                       "a,b\r\n\"x, \"\"y\"\"\",\"  12\"\n\n1,\r\n"),
              (Rows{{"a", "b"}, {"x, \"y\"", "  12"}, {"1", ""}}));
    // A line end inside quotes belongs to the field; rows keep their first line.
    std::vector<CsvRow> rows;
    CsvSyntaxError error;
    ASSERT_TRUE(parseCsvText("h\n\"two\nlines\"\nlast", rows, error));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].fields[0], "two\nlines");
    EXPECT_EQ(rows[2].line, 4u);
    EXPECT_EQ(rows[2].fields[0], "last");
}

TEST(CsvText, SyntaxErrorsNameTheLine) {
    const struct {
        const char* text;
        std::size_t line;
        const char* reason;
    } cases[] = {
        {"a,b\n1,x\"y\n", 2, "a quote inside the unquoted field 2"},
        {"a\n\"x\"y\n", 2, "text follows the closing quote of field 1"},
        {"a\n1\n\"open\nstill open\n", 3, "a quoted field is not closed"},
    };
    for (const auto& c : cases) {
        std::vector<CsvRow> rows;
        CsvSyntaxError error;
        EXPECT_FALSE(parseCsvText(c.text, rows, error)) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_NE(error.reason.find(c.reason), std::string::npos) << error.reason;
    }
}

TEST(CsvText, FieldsAreQuotedOnlyWhereReadingBackNeedsIt) {
    EXPECT_EQ(csvRecord({"plain", "  12345678903", "a,b", "say \"hi\"", ">0  ", ""}),
              "plain,\"  12345678903\",\"a,b\",\"say \"\"hi\"\"\",\">0  \",\n");
    const std::vector<std::string> values = {" x", "a\nb", "Čć,\"", "end "};
    EXPECT_EQ(fieldsOf(csvRecord(values)), (std::vector<std::vector<std::string>>{values}));
}

class CsvTableLoad : public ::testing::Test {
  protected:
    TempDir dir;
    Station st{dir.str()};

    TableAccess& table(const char* name) { return st.tables.access(name); }

    CsvLoadResult load(const char* name, std::string_view text) {
        return loadCsvText(table(name), text, "in.csv");
    }

    std::vector<std::string> names() {
        TableAccess& pos = table("POS");
        EXPECT_EQ(pos.open(), 0);
        auto out = column(pos, "KEYREDBROJ", "NAZIV");
        pos.close();
        return out;
    }
};

TEST_F(CsvTableLoad, AddsEveryRowThroughTheTable) {
    const auto r = load("POS", "\xEF\xBB\xBFPOS:REDBROJ,naziv,JMBG\r\n"
                               "2,\"Beta, d.o.o.\",\"  81773745505\"\r\n"
                               "1,Čvor obrt\r\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.added, 2u);
    EXPECT_EQ(names(), (std::vector<std::string>{"Čvor obrt", "Beta, d.o.o."}));
    TableAccess& pos = table("POS");
    ASSERT_EQ(pos.open(), 0);
    set(pos, "REDBROJ", "2");
    ASSERT_EQ(pos.fetch(0), 0);
    EXPECT_EQ(get(pos, "JMBG"), "  81773745505") << "leading blanks are kept";
    EXPECT_TRUE(st.reporter.boxes.empty());
}

TEST_F(CsvTableLoad, AutoNumberingApplies) {
    ASSERT_TRUE(load("OPC", "NAZIV,SIFRA\nZagreb,1333\nSplit,4090\n").ok);
    TableAccess& opc = table("OPC");
    ASSERT_EQ(opc.open(), 0);
    EXPECT_EQ(column(opc, "KEYREDB", "REDBROJ"), (std::vector<std::string>{"1", "2"}));
}

TEST_F(CsvTableLoad, ARefusedRowLeavesTheTableAsItWas) {
    ASSERT_TRUE(load("POS", "REDBROJ,NAZIV\n1,Prva\n").ok);
    const struct {
        const char* table;
        const char* text;
        const char* error; // expected in the error, with "in.csv"
    } cases[] = {
        {"POS", "REDBROJ,NAZIV\n5,Pet\n\n1,Dupla\n", "in.csv, line 4: TBPOSLOD refused the record"},
        {"POS", "REDBROJ,NAZIV,BOJA\n5,Pet,plava\n",
         "in.csv, line 1: table TBPOSLOD has no field BOJA"},
        {"POS", "REDBROJ,NAZIV\n5,Pet\nabc,Šest\n", "in.csv, line 3: POS:REDBROJ: \"abc\" is not"},
        {"POS", "REDBROJ,TELEFON\n5,01234567890\n",
         "in.csv, line 2: POS:TELEFON: the value is 11 "
         "characters long, the field holds 10"},
        {"POS", "REDBROJ,NAZIV\n5,Pet\n6,\"Šest\n", "in.csv, line 3: a quoted field is not closed"},
        {"POS", "REDBROJ,NAZIV\n5,Pet,x\n",
         "in.csv, line 2: the row has 3 fields, the header names 2"},
        {"POS", "REDBROJ,NAZIV,naziv\n", "in.csv, line 1: the field NAZIV is named twice"},
        {"POS", "", "in.csv: the file is empty"},
    };
    for (const auto& c : cases) {
        st.reporter.clear();
        const auto r = load(c.table, c.text);
        EXPECT_FALSE(r.ok) << c.text;
        EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
        EXPECT_NE(r.error.find("nothing was loaded"), std::string::npos) << r.error;
        EXPECT_EQ(names(), std::vector<std::string>{"Prva"}) << c.text;
    }
}

TEST_F(CsvTableLoad, ARecordRefusedByTheTableShowsItsMessage) {
    // The year check of page B refuses 1999; the rows before it are taken back.
    const auto r = load("OSI", "JMBG,GODOBRA\n  81773745505,2024\n  20572565300,1999\n");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("line 3"), std::string::npos) << r.error;
    EXPECT_EQ(st.reporter.lastBox().title, "Range Error");
    TableAccess& osi = table("OSI");
    ASSERT_EQ(osi.open(), 0);
    EXPECT_EQ(osi.count(), 0);
}

TEST_F(CsvTableLoad, TextTablesAreCheckedWholeBeforeALineIsWritten) {
    const std::string tooLong(129, 'x');
    EXPECT_FALSE(load("IZLF", "REDAK\n/a/\n" + tooLong + "\n").ok);
    TableAccess& folders = table("IZLF");
    ASSERT_EQ(folders.open(), 0);
    EXPECT_EQ(folders.count(), 0);
    folders.close();
    ASSERT_TRUE(load("IZLF", "REDAK\n/a/\n\"  b\"\n").ok);
    ASSERT_EQ(folders.open(), 0);
    EXPECT_EQ(column(folders, "", "REDAK"), (std::vector<std::string>{"/a/", "  b"}));
}

TEST_F(CsvTableLoad, FilesAreReadFromDisk) {
    {
        std::ofstream f(dir.file("pos.csv"), std::ios::binary);
        f << "REDBROJ,NAZIV\n7,Sedma\n";
    }
    const auto r = loadCsvFile(table("POS"), dir.file("pos.csv"));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(names(), std::vector<std::string>{"Sedma"});
    const auto missing = loadCsvFile(table("POS"), dir.file("none.csv"));
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.error.find("none.csv: cannot be read"), std::string::npos) << missing.error;
}

} // namespace
