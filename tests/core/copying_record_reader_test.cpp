// Reading a file once into fixed-length records while copying it: line ends,
// tabs, long lines, a closing Ctrl-Z, and lines that straddle the read blocks.

#include <gtest/gtest.h>

#include <fstream>

#include "import/copying_record_reader.h"
#include "support/temp_dir.h"

using namespace mvz;
using namespace mvz::test;

namespace {

TEST(CopyingRecordReader, SplitsLinesIntoRecordsAndCopiesEveryByte) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> records; // of 8 characters
    };
    const std::vector<Case> cases = {
        {"empty", "", {}},
        {"CR LF and lone LF", "ab\r\ncd\nef", {"ab      ", "cd      ", "ef      "}},
        {"lone CR is a character", "a\rb\r\n", {"a\rb     "}},
        {"tab to the next column of 8", "a\tb\r\n\t\tx\n", {"a       ", "        "}},
        {"longer line cut", "0123456789abc\r\nz\r\n", {"01234567", "z       "}},
        {"blank lines", "\r\n\n  \r\n", {"        ", "        ", "        "}},
        {"closing Ctrl-Z", "ab\r\n\x1a", {"ab      "}},
        {"Ctrl-Z after the last line", "ab\x1a", {"ab      "}},
        {"Ctrl-Z inside",
         "a\x1a"
         "b\r\n\x1a\r\ncd",
         {"a\x1a"
          "b     ",
          "\x1a       ", "cd      "}},
        {"NUL bytes", std::string("a\0b\n", 4), {std::string("a\0b     ", 8)}},
    };
    TempDir dir;
    for (std::size_t block : {std::size_t{10}, std::size_t{13}, std::size_t{1} << 20}) {
        for (const Case& c : cases) {
            const std::string source = dir.file("in"), copy = dir.file("copy");
            std::ofstream(source, std::ios::binary) << c.bytes;
            CopyingRecordReader reader(8, block);
            ASSERT_TRUE(reader.open(source, copy, 0600)) << c.what;
            std::vector<std::string> records;
            std::string_view record;
            while (reader.next(record))
                records.push_back(std::string(record));
            EXPECT_FALSE(reader.failed()) << c.what;
            EXPECT_TRUE(reader.finish()) << c.what;
            EXPECT_EQ(records, c.records) << c.what << " block " << block;
            EXPECT_EQ(slurp(copy), c.bytes) << c.what << " block " << block;
            EXPECT_EQ(reader.bytesRead(), c.bytes.size());
        }
    }
}

TEST(CopyingRecordReader, ALineLongerThanTheBlockIsReadOnce) {
    TempDir dir;
    const std::string bytes = std::string(100, 'x') + "\r\nnext\r\n";
    std::ofstream(dir.file("in"), std::ios::binary) << bytes;
    CopyingRecordReader reader(8, 16);
    ASSERT_TRUE(reader.open(dir.file("in"), dir.file("copy"), 0600));
    std::vector<std::string> records;
    std::string_view record;
    while (reader.next(record))
        records.push_back(std::string(record));
    EXPECT_EQ(records, (std::vector<std::string>{"xxxxxxxx", "next    "}));
    EXPECT_TRUE(reader.finish());
    EXPECT_EQ(slurp(dir.file("copy")), bytes);
}

TEST(CopyingRecordReader, MissingSourceOrCopyFolderFailsToOpen) {
    TempDir dir;
    std::ofstream(dir.file("in"), std::ios::binary) << "x";
    CopyingRecordReader reader(8);
    EXPECT_FALSE(reader.open(dir.file("missing"), dir.file("copy"), 0600));
    EXPECT_FALSE(reader.error().empty());
    EXPECT_FALSE(reader.open(dir.file("in"), dir.file("no/folder/copy"), 0600));
    EXPECT_FALSE(reader.open(dir.str(), dir.file("copy"), 0600)); // a folder
}

} // namespace
