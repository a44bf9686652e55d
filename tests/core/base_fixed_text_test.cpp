#include <gtest/gtest.h>

#include "base/fixed_text.h"

using namespace mvz;

TEST(FixedText, SetFixedPadsAndClipsWithoutTerminator) {
    char field[6] = {'x', 'x', 'x', 'x', 'x', '#'};
    setFixed(field, 5, "ab");
    EXPECT_EQ(std::string(field, 6), "ab   #");
    setFixed(field, 5, "abcdefgh");
    EXPECT_EQ(std::string(field, 6), "abcde#");
    EXPECT_EQ(fixed("", 3), "   ");
    EXPECT_EQ(fixed("abcd", 2), "ab");
}

TEST(FixedText, BlanksAndComparison) {
    EXPECT_EQ(clipRight("  ab c  "), "  ab c");
    EXPECT_EQ(clipRight("   "), "");
    EXPECT_EQ(trim("  ab c  "), "ab c");
    EXPECT_EQ(trim("   "), "");
    EXPECT_TRUE(equalIgnoringTrailingBlanks("ABC", "ABC   "));
    EXPECT_FALSE(equalIgnoringTrailingBlanks(" ABC", "ABC"));
    EXPECT_TRUE(equalIgnoringTrailingBlanks("", "    "));
    EXPECT_TRUE(isBlank(""));
    EXPECT_TRUE(isBlank("    "));
    EXPECT_FALSE(isBlank("  .  "));
    EXPECT_EQ(leftJustified("  12345678901"), "12345678901  ");
    EXPECT_EQ(leftJustified("   "), "   ");
}
