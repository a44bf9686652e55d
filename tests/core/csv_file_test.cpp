#include <gtest/gtest.h>

#include "support/temp_dir.h"

#include "data/csv_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using mvz::CsvFile;
using mvz::TextOpenMode;
using Fields = std::vector<std::string>;
namespace err = mvz::err;

TEST(CsvLine, SplitsFields) {
    struct Case {
        std::string line;
        Fields fields;
    };
    const std::vector<Case> cases = {
        {"1,2,TEXT", {"1", "2", "TEXT"}},
        {"", {""}},
        {",,", {"", "", ""}},
        {"\"a,b\",c", {"a,b", "c"}},
        {"\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},
        {"\"\"", {""}},
        {"\"\"\"\"", {"\""}},
        {" 12 , -3.5", {" 12 ", " -3.5"}},
        {"ab\"c,d", {"ab\"c", "d"}},   // a quote inside an unquoted field is text
        {"\"ab\"cd,e", {"abcd", "e"}}, // text after the closing quote stays with the field
        {"\"open, to the end", {"open, to the end"}},
        {"a\rb,c\r", {"a\rb", "c\r"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Fields fields{"left", "over"};
        mvz::parseCsvLine(c.line, fields);
        EXPECT_EQ(fields, c.fields);
    }
}

TEST(CsvLine, QuotesOnlyWhatNeedsItAndReadsBackTheSame) {
    struct Case {
        Fields fields;
        std::string line;
    };
    const std::vector<Case> cases = {
        {{"1", "2", "TEXT"}, "1,2,TEXT"},
        {{"a,b", "c"}, "\"a,b\",c"},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
        {{"", " x ", ""}, ", x ,"},
        {{"cr\r"}, "\"cr\r\""},
        {{"\"", ","}, "\"\"\"\",\",\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(mvz::formatCsvLine(c.fields), c.line);
        Fields back;
        mvz::parseCsvLine(c.line, back);
        EXPECT_EQ(back, c.fields);
    }
}

class CsvFileTest : public ::testing::Test {
  protected:
    void write(const std::string& bytes) {
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string contents() const { return mvz::test::slurp(path_); }

    mvz::test::TempDir tmp_;
    std::filesystem::path dir_ = tmp_.path();
    std::string path_ = tmp_.file("Dorvik09.csv");
};

TEST_F(CsvFileTest, ReadsRecordsUntilTheEnd) {
    write("1,2,\"A,B\"\r\n3,4,\"C\"\"D\"\n5,6,\"E\r\n\x1a"
          "7,8,LOST\r\n");
    CsvFile file;
    ASSERT_TRUE(file.open(path_, TextOpenMode::ReadOnly));
    Fields fields;
    std::vector<Fields> records;
    std::vector<std::uint64_t> positions;
    while (file.next(fields)) {
        records.push_back(fields);
        positions.push_back(file.position());
    }
    EXPECT_EQ(file.errorCode(), err::RecordNotAvailable);
    EXPECT_TRUE(fields.empty());
    // The open quote of the third record ends with its line.
    EXPECT_EQ(records,
              (std::vector<Fields>{{"1", "2", "A,B"}, {"3", "4", "C\"D"}, {"5", "6", "E"}}));
    ASSERT_EQ(positions.size(), 3u);
    ASSERT_TRUE(file.get(positions[1], fields));
    EXPECT_EQ(fields, (Fields{"3", "4", "C\"D"}));
}

TEST_F(CsvFileTest, WritesRecordsThatReadBackTheSame) {
    const std::vector<Fields> records = {
        {"1", "2", "3", "9.0", "MM+1", "\"quoted\"", "a,b"},
        {"", "", ""},
        {"trailing blanks  "},
    };
    CsvFile file;
    ASSERT_TRUE(file.create(path_));
    ASSERT_TRUE(file.open(path_));
    for (const Fields& r : records)
        ASSERT_TRUE(file.add(r)) << file.lastError().text;

    EXPECT_FALSE(file.append({"ok", "line\nfeed"}));
    EXPECT_EQ(file.errorCode(), err::UnsupportedDataType);
    EXPECT_FALSE(file.add({"ctrl\x1az"}));
    EXPECT_EQ(file.errorCode(), err::UnsupportedDataType);

    ASSERT_TRUE(file.set());
    Fields fields;
    std::vector<Fields> back;
    while (file.next(fields))
        back.push_back(fields);
    EXPECT_EQ(back, records);
    ASSERT_TRUE(file.close());
    EXPECT_EQ(contents(),
              "1,2,3,9.0,MM+1,\"\"\"quoted\"\"\",\"a,b\"\r\n,,\r\ntrailing blanks  \r\n");

    ASSERT_TRUE(file.open(path_, TextOpenMode::ReadOnly));
    EXPECT_FALSE(file.add({"x"}));
    EXPECT_EQ(file.errorCode(), err::AccessDenied);
}

} // namespace
