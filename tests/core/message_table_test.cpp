#include <gtest/gtest.h>

#include "data/message_table.h"

#include <algorithm>
#include <set>

using mvz::ErrorEntry;
using mvz::MessageTableError;

namespace {

const ErrorEntry& entryOf(const std::vector<ErrorEntry>& table, std::uint16_t id) {
    auto it =
        std::find_if(table.begin(), table.end(), [id](const ErrorEntry& e) { return e.id == id; });
    if (it == table.end()) throw std::out_of_range("no message " + std::to_string(id));
    return *it;
}

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

} // namespace

TEST(MessageTable, ShippedTableHoldsEveryMessageOnce) {
    const auto& table = mvz::standardMessages();
    ASSERT_EQ(table.size(), 39u);
    std::multiset<int> ids;
    for (const ErrorEntry& e : table)
        ids.insert(e.id);
    for (int id = 1; id <= 40; ++id) {
        EXPECT_EQ(ids.count(id), id == 29 ? 0u : 1u) << "message " << id;
    }
    // Loaded in the order the table lists them.
    EXPECT_EQ(table.front().id, 27);
    EXPECT_EQ(table.back().id, 39);
}

TEST(MessageTable, ShippedTableTextsAreExact) {
    struct Expected {
        std::uint16_t id;
        int fatality;
        const char* title;
        const char* message;
    };
    const Expected cases[] = {
        {27, 5, "Invalid Key", "%File key file is invalid. Key must be rebuilt."},
        {32, 1, "Auto Increment Error",
         "Attempts to automatically number this record have failed.  Error: %ErrorText. Try "
         "Again?"},
        {1, 5, "Record Retrieval Error",
         "Error: (%ErrorText) attempting to access a record from the %File file.  Returning to "
         "previous window."},
        {7, 5, "Record Was Not Updated",
         "This record was changed by another station. Those changes will now be displayed. Use "
         "the Ditto Button or Ctrl+' to recall your changes."},
        {5, 5, "Dodati podatak?", "Upisali ste podatak koji ne postoji. Želite li ga dodati?"},
        {16, 5, "Range Error", "The value of %Field must be between %Message."},
        {23, 3, "File Access Error", "File (%File) could not be opened.  Error: %ErrorText."},
        {39, 2, "File Usage Error", "Attempt to use file (%File) before it was opened"},
    };
    const auto& table = mvz::standardMessages();
    for (const Expected& want : cases) {
        const ErrorEntry& e = entryOf(table, want.id);
        EXPECT_EQ(e.fatality, want.fatality) << want.id;
        EXPECT_EQ(e.title, want.title) << want.id;
        EXPECT_EQ(e.message, want.message) << want.id;
    }
}

TEST(MessageTable, WriteReproducesTheShippedBytesAndReadsBack) {
    const auto& table = mvz::standardMessages();
    std::string written = mvz::writeMessageTable(table);
    // Count 39, then the first entry: ID 27, severity 5, "Invalid Key".
    ASSERT_GE(written.size(), 6u);
    EXPECT_EQ(written.substr(0, 6), bytes({39, 0, 27, 0, 5, 11}));
    // "Ž" is one CP1250 byte (0x8E).
    EXPECT_NE(written.find('\x8E'), std::string::npos);

    auto back = mvz::readMessageTable(written);
    ASSERT_EQ(back.size(), table.size());
    for (std::size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].id, table[i].id);
        EXPECT_EQ(back[i].fatality, table[i].fatality);
        EXPECT_EQ(back[i].title, table[i].title);
        EXPECT_EQ(back[i].message, table[i].message);
    }
    EXPECT_EQ(mvz::writeMessageTable(back), written);
}

TEST(MessageTable, EmptyTableRoundTrips) {
    EXPECT_EQ(mvz::writeMessageTable({}), bytes({0, 0}));
    EXPECT_TRUE(mvz::readMessageTable(bytes({0, 0})).empty());
}

TEST(MessageTable, MalformedBytesAreRefused) {
    // One good entry: ID 0x0102, severity 5, title "T", text "ab".
    const std::string entry = bytes({2, 1, 5, 1, 'T', 2, 'a', 'b'});
    const struct {
        const char* what;
        std::string data;
    } cases[] = {
        {"empty", ""},
        {"half a count", bytes({1})},
        {"count without entries", bytes({1, 0})},
        {"count larger than the entries", bytes({2, 0}) + entry},
        {"huge count", bytes({0xFF, 0xFF}) + entry},
        {"cut in the ID", bytes({1, 0, 2})},
        {"cut in the title", bytes({1, 0, 2, 1, 5, 4, 'T'})},
        {"text length past the end", bytes({1, 0, 2, 1, 5, 1, 'T', 200, 'a', 'b'})},
        {"bytes after the last entry", bytes({1, 0}) + entry + "x"},
    };
    for (const auto& c : cases) {
        EXPECT_THROW(mvz::readMessageTable(c.data), MessageTableError) << c.what;
    }
    auto good = mvz::readMessageTable(bytes({1, 0}) + entry);
    ASSERT_EQ(good.size(), 1u);
    EXPECT_EQ(good[0].id, 0x0102);
    EXPECT_EQ(good[0].message, "ab");
}

TEST(MessageTable, WriteRefusesTextsThatDoNotFit) {
    EXPECT_THROW(mvz::writeMessageTable({{1, 5, "T", std::string(256, 'x')}}), MessageTableError);
    EXPECT_NO_THROW(mvz::writeMessageTable({{1, 5, "T", std::string(255, 'x')}}));
    // Cyrillic has no CP1250 code.
    EXPECT_THROW(mvz::writeMessageTable({{1, 5, "Ж", "x"}}), MessageTableError);
}
