#include <gtest/gtest.h>

#include "support/temp_dir.h"

#include "data/line_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using mvz::LineFile;
using mvz::RawLineFile;
using mvz::TextOpenMode;
namespace err = mvz::err;

class LineFileTest : public ::testing::Test {
  protected:
    void write(const std::string& bytes) {
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string contents() const { return mvz::test::slurp(path_); }

    mvz::test::TempDir tmp_;
    std::filesystem::path dir_ = tmp_.path();
    std::string path_ = tmp_.file("T.TXT");
};

std::string padded(std::string text, std::size_t length) {
    text.resize(length, ' ');
    return text;
}

// Reads every record until the end; the end must be error 33.
std::vector<std::string> readAll(LineFile& file) {
    std::vector<std::string> records;
    for (std::string_view r = file.next(); !r.empty(); r = file.next())
        records.emplace_back(r);
    EXPECT_EQ(file.errorCode(), err::RecordNotAvailable);
    return records;
}

struct ReadCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines; // expected records before padding
};

TEST_F(LineFileTest, ReadsLinesIntoFixedRecords) {
    const std::string x250(250, 'x');
    const std::string y260 = std::string(250, 'y') + "0123456789";
    const std::vector<ReadCase> cases = {
        {"exact length", x250 + "\r\nNEXT\r\n", {x250, "NEXT"}},
        {"longer line is cut, next line follows",
         y260 + "\r\nNEXT\r\n",
         {y260.substr(0, 250), "NEXT"}},
        {"short line padded", std::string(100, 's') + "\r\n", {std::string(100, 's')}},
        {"tab to column 8", "A\tB\r\n", {"A       B"}},
        {"tabs at stops", "\tX\r\n12345678\tY\r\n", {"        X", "12345678        Y"}},
        {"tab far into a line", std::string(70, 'a') + "\tB\r\n", {std::string(70, 'a') + "  B"}},
        {"tab in the line after", "ABC\nD\tE\r\n", {"ABC", "D       E"}},
        {"Ctrl-Z far into a line", std::string(100, 'c') + "\x1arest\r\n", {std::string(100, 'c')}},
        {"Ctrl-Z ends the file", "ONE\r\nTWO\r\n\x1a", {"ONE", "TWO"}},
        {"Ctrl-Z inside a line", "ONE\r\nTW\x1aO\r\nTHREE\r\n", {"ONE", "TW"}},
        {"LF alone ends a line", "ONE\nTWO\nTHREE\n", {"ONE", "TWO", "THREE"}},
        {"mixed line ends", "ONE\r\nTWO\nTHREE\r\n", {"ONE", "TWO", "THREE"}},
        {"lone CR is text", "A\rB\r\nC\r\r\n", {"A\rB", "C\r"}},
        {"last line without end mark", "ONE\r\nTWO", {"ONE", "TWO"}},
        {"empty lines are blank records", "\r\n\nX\r\n", {"", "", "X"}},
        {"empty file", "", {}},
        {"only Ctrl-Z", "\x1a", {}},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        write(c.bytes);
        LineFile file(250);
        ASSERT_TRUE(file.open(path_, TextOpenMode::ReadOnly)) << file.lastError().text;
        std::vector<std::string> expected;
        for (const std::string& line : c.lines)
            expected.push_back(padded(line, 250));
        EXPECT_EQ(readAll(file), expected);
        EXPECT_EQ(file.lastError().text, "Record Not Available");
        // The end stays the end.
        EXPECT_TRUE(file.next().empty());
        EXPECT_EQ(file.errorCode(), err::RecordNotAvailable);
    }
}

// Lines crossing buffer ends, longer than the buffer, and CR LF split across
// two fills must read the same as with one buffer holding the whole file.
TEST_F(LineFileTest, SmallBuffersReadTheSameAsOneLargeBuffer) {
    std::string bytes;
    for (int i = 0; i < 300; ++i) {
        std::string line(static_cast<std::size_t>((i * 37) % 53), static_cast<char>('a' + i % 26));
        if (i % 7 == 0) line += "\tT";
        bytes += line + (i % 5 == 0 ? "\n" : "\r\n");
    }
    bytes += "TAIL";
    write(bytes);

    LineFile whole(20, 1 << 20);
    ASSERT_TRUE(whole.open(path_, TextOpenMode::ReadOnly));
    const std::vector<std::string> expected = readAll(whole);
    ASSERT_EQ(expected.size(), 301u);

    for (std::size_t bufferSize : {2, 3, 7, 21, 22, 23, 64, 257}) {
        SCOPED_TRACE(bufferSize);
        LineFile small(20, bufferSize);
        ASSERT_TRUE(small.open(path_, TextOpenMode::ReadOnly));
        EXPECT_EQ(readAll(small), expected);

        RawLineFile raw(bufferSize);
        ASSERT_TRUE(raw.open(path_, TextOpenMode::ReadOnly));
        std::string_view line;
        std::size_t count = 0;
        while (raw.nextLine(line))
            ++count;
        EXPECT_EQ(raw.errorCode(), err::RecordNotAvailable);
        EXPECT_EQ(count, 301u);
        EXPECT_EQ(line, std::string_view{});
    }
}

TEST_F(LineFileTest, RawLinesKeepTheirWholeText) {
    const std::string longLine(5000, 'L');
    write("short\r\n" + longLine + "\nlast");
    RawLineFile file(16);
    ASSERT_TRUE(file.open(path_, TextOpenMode::ReadOnly));
    std::string_view line;
    ASSERT_TRUE(file.nextLine(line));
    EXPECT_EQ(line, "short");
    ASSERT_TRUE(file.nextLine(line));
    EXPECT_EQ(line, longLine);
    ASSERT_TRUE(file.nextLine(line));
    EXPECT_EQ(line, "last");
    EXPECT_FALSE(file.nextLine(line));
}

TEST_F(LineFileTest, WritesClippedLinesThatReadBackIdentical) {
    LineFile file(10);
    ASSERT_TRUE(file.create(path_));
    ASSERT_TRUE(file.open(path_));
    EXPECT_TRUE(file.add("AB  C     "));
    EXPECT_TRUE(file.add("          "));
    EXPECT_TRUE(file.append("0123456789XYZ")); // longer than the record
    ASSERT_TRUE(file.close());
    EXPECT_EQ(contents(), "AB  C\r\n\r\n0123456789\r\n");

    ASSERT_TRUE(file.open(path_, TextOpenMode::ReadOnly));
    EXPECT_EQ(readAll(file), (std::vector<std::string>{"AB  C     ", "          ", "0123456789"}));
}

TEST_F(LineFileTest, AppendingKeepsTheLastLineItsOwn) {
    struct Case {
        const char* name;
        std::string before;
        std::string after;
    };
    const std::vector<Case> cases = {
        {"Ctrl-Z is overwritten", "ONE\r\n\x1a", "ONE\r\nNEW\r\n"},
        {"file of only Ctrl-Z", "\x1a", "NEW\r\n"},
        {"line without end mark gets one", "ONE", "ONE\r\nNEW\r\n"},
        {"Ctrl-Z right after a line", "ONE\x1a", "ONE\r\nNEW\r\n"},
        {"LF line end is kept", "ONE\n", "ONE\nNEW\r\n"},
        {"empty file", "", "NEW\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write(c.before);
        LineFile file(10);
        ASSERT_TRUE(file.open(path_));
        ASSERT_TRUE(file.add("NEW"));
        ASSERT_TRUE(file.close());
        EXPECT_EQ(contents(), c.after);
    }
}

TEST_F(LineFileTest, ReadOnlyFileRefusesWritingWithAccessDenied) {
    write("ONE\r\n");
    LineFile file(10);
    ASSERT_TRUE(file.open(path_, TextOpenMode::ReadOnly));
    EXPECT_FALSE(file.add("TWO"));
    EXPECT_EQ(file.errorCode(), err::AccessDenied);
    EXPECT_EQ(file.lastError().text, "Access Denied");
    EXPECT_FALSE(file.empty());
    EXPECT_EQ(file.errorCode(), err::AccessDenied);
    // Reading still works and clears the error.
    EXPECT_EQ(file.next(), padded("ONE", 10));
    EXPECT_EQ(file.errorCode(), err::None);
    ASSERT_TRUE(file.close());
    EXPECT_EQ(contents(), "ONE\r\n");
}

TEST_F(LineFileTest, GetReadsTheLineAtAByteOffset) {
    write("FIRST\r\nSECOND\nTHIRD\r\n");
    LineFile file(8);
    ASSERT_TRUE(file.open(path_, TextOpenMode::ReadOnly));
    std::vector<std::uint64_t> positions;
    while (!file.next().empty())
        positions.push_back(file.position());
    EXPECT_EQ(positions, (std::vector<std::uint64_t>{0, 7, 14}));

    EXPECT_EQ(file.get(14), padded("THIRD", 8));
    EXPECT_EQ(file.position(), 14u);
    EXPECT_EQ(file.get(0), padded("FIRST", 8));
    // Reading goes on after the line got.
    EXPECT_EQ(file.next(), padded("SECOND", 8));
    EXPECT_EQ(file.get(9), padded("COND", 8)); // from inside a line
    EXPECT_TRUE(file.get(21).empty());
    EXPECT_EQ(file.errorCode(), err::RecordNotAvailable);
    EXPECT_TRUE(file.get(1000).empty());
    EXPECT_EQ(file.errorCode(), err::RecordNotAvailable);

    ASSERT_TRUE(file.set());
    EXPECT_EQ(file.next(), padded("FIRST", 8));
}

TEST_F(LineFileTest, EmptyTruncatesAndWritingStartsAfresh) {
    write("ONE\r\nTWO\r\n");
    LineFile file(5);
    ASSERT_TRUE(file.open(path_));
    EXPECT_EQ(file.next(), padded("ONE", 5));
    ASSERT_TRUE(file.add("LOST")); // still buffered: empty() drops it
    ASSERT_TRUE(file.empty());
    EXPECT_TRUE(file.next().empty());
    EXPECT_EQ(file.errorCode(), err::RecordNotAvailable);
    ASSERT_TRUE(file.add("NEW"));
    ASSERT_TRUE(file.set());
    EXPECT_EQ(readAll(file), std::vector<std::string>{padded("NEW", 5)});
    ASSERT_TRUE(file.close());
    EXPECT_EQ(contents(), "NEW\r\n");
}

TEST_F(LineFileTest, ReadsSeeLinesAddedMeanwhile) {
    write("ONE\r\n");
    LineFile writer(5);
    LineFile reader(5);
    ASSERT_TRUE(writer.open(path_));
    ASSERT_TRUE(reader.open(path_, TextOpenMode::ReadOnly));
    EXPECT_EQ(readAll(reader).size(), 1u);
    EXPECT_EQ(readAll(writer).size(), 1u);

    ASSERT_TRUE(writer.add("TWO"));
    // The writer's own read writes its buffer out first.
    EXPECT_EQ(writer.next(), padded("TWO", 5));
    EXPECT_EQ(reader.next(), padded("TWO", 5));
    ASSERT_TRUE(writer.add("THREE"));
    ASSERT_TRUE(writer.flush());
    EXPECT_EQ(reader.next(), padded("THREE", 5));
}

// Input files from other programs: a Ctrl-Z ends the file only as its last
// byte; elsewhere it is an ordinary character of its line.
TEST_F(LineFileTest, ACtrlZInsideTheFileEndsItOnlyUnderTheTableRule) {
    write("a\r\nb\x1a"
          "c\r\n\x1a\r\nd\x1a");
    LineFile tables(4, 2); // a small buffer: the rule holds across refills
    ASSERT_TRUE(tables.open(path_, TextOpenMode::ReadOnly));
    EXPECT_EQ(readAll(tables), (std::vector<std::string>{"a   ", "b   "}));
    LineFile input(4, 2);
    input.setCtrlZRule(mvz::CtrlZRule::OnlyAsLastByte);
    ASSERT_TRUE(input.open(path_, TextOpenMode::ReadOnly));
    EXPECT_EQ(readAll(input), (std::vector<std::string>{"a   ",
                                                        "b\x1a"
                                                        "c ",
                                                        "\x1a   ", "d   "}));
}

TEST_F(LineFileTest, SharingModesBetweenTwoOpeners) {
    struct Case {
        TextOpenMode first;
        TextOpenMode second;
        bool secondOpens;
    };
    using M = TextOpenMode;
    const std::vector<Case> cases = {
        {M::ReadOnly, M::ReadOnly, true},    {M::ReadOnly, M::ReadWrite, true},
        {M::ReadWrite, M::ReadOnly, true},   {M::ReadWrite, M::ReadWrite, false},
        {M::ReadWrite, M::Exclusive, false}, {M::Exclusive, M::ReadOnly, false},
        {M::Exclusive, M::ReadWrite, false}, {M::ReadOnly, M::Exclusive, false},
    };
    write("ONE\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << static_cast<int>(c.first) << " then " << static_cast<int>(c.second));
        LineFile first(5);
        LineFile second(5);
        ASSERT_TRUE(first.open(path_, c.first));
        EXPECT_EQ(second.open(path_, c.second), c.secondOpens);
        if (!c.secondOpens) {
            EXPECT_EQ(second.errorCode(), err::AccessDenied);
            EXPECT_FALSE(second.isOpen());
            // Creating the file anew is refused while it is open.
            LineFile creator(5);
            EXPECT_FALSE(creator.create(path_));
            EXPECT_EQ(creator.errorCode(), err::AccessDenied);
            // Once the first opener is gone, the second gets in.
            ASSERT_TRUE(first.close());
            EXPECT_TRUE(second.open(path_, c.second)) << second.lastError().text;
        }
        EXPECT_EQ(second.next(), padded("ONE", 5));
    }
    EXPECT_EQ(contents(), "ONE\r\n");
}

TEST_F(LineFileTest, OpenAndCreateErrors) {
    LineFile file(5);
    EXPECT_FALSE(file.open(path_));
    EXPECT_EQ(file.errorCode(), err::FileNotFound);
    EXPECT_FALSE(file.create((dir_ / "no" / "such.txt").string()));
    EXPECT_EQ(file.errorCode(), err::FileNotFound);

    // Operations on a file that is not open.
    EXPECT_TRUE(file.next().empty());
    EXPECT_EQ(file.errorCode(), err::FileNotOpen);
    EXPECT_FALSE(file.add("X"));
    EXPECT_EQ(file.errorCode(), err::FileNotOpen);

    write("OLD\r\n");
    ASSERT_TRUE(file.create(path_));
    EXPECT_EQ(contents(), "");
    ASSERT_TRUE(file.open(path_));
    EXPECT_FALSE(file.open(path_));
    EXPECT_EQ(file.errorCode(), err::FileAlreadyOpen);
    EXPECT_TRUE(file.isOpen());
}

// A write that fails is reported by the operation that writes the buffer out.
TEST_F(LineFileTest, FailedWriteIsReported) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    LineFile file(5);
    if (!file.open("/dev/full")) GTEST_SKIP() << file.lastError().text;
    ASSERT_TRUE(file.add("X"));
    EXPECT_FALSE(file.close());
    EXPECT_EQ(file.errorCode(), err::FileSystemError);
    EXPECT_EQ(file.lastError().osCode, ENOSPC + 300);
    EXPECT_FALSE(file.isOpen());
}

} // namespace
