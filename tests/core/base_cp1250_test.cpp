#include <gtest/gtest.h>

#include "base/cp1250.h"

#include <string>

using namespace mvz;

namespace {
// "ČĆĐŠŽčćđšž" as CP1250 bytes.
const std::string kCroatianCp1250 = "\xC8\xC6\xD0\x8A\x8E\xE8\xE6\xF0\x9A\x9E";
const std::string kCroatianUtf8 = "ČĆĐŠŽčćđšž";
} // namespace

TEST(Cp1250, CroatianLettersRoundTrip) {
    EXPECT_EQ(cp1250ToUtf8(kCroatianCp1250), kCroatianUtf8);
    EXPECT_EQ(utf8ToCp1250(kCroatianUtf8), kCroatianCp1250);
    EXPECT_EQ(cp1250ToUtf8("Obra\xE8un 100 \x80"), "Obračun 100 €");
}

TEST(Cp1250, EveryByteSurvivesRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    auto back = utf8ToCp1250(cp1250ToUtf8(all));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(Cp1250, RefusesWhatHasNoCp1250Form) {
    EXPECT_EQ(utf8ToCp1250("Ω"), std::nullopt);            // Greek, not in the code page
    EXPECT_EQ(utf8ToCp1250("ab\xC3"), std::nullopt);       // truncated sequence
    EXPECT_EQ(utf8ToCp1250("\xC0\xAF"), std::nullopt);     // overlong "/"
    EXPECT_EQ(utf8ToCp1250("\xED\xA0\x80"), std::nullopt); // encoded surrogate
    EXPECT_EQ(utf8ToCp1250Lossy("aΩb\xFF"), "a?b?");
    EXPECT_EQ(utf8ToCp1250(""), "");
}

TEST(Cp1250, UpperCaseIncludesCroatianLetters) {
    EXPECT_EQ(toUpperCp1250("\xE8\xE6\xF0\x9A\x9E abc"), "\xC8\xC6\xD0\x8A\x8E ABC");
    EXPECT_EQ(toUpperCp1250(kCroatianCp1250), "\xC8\xC6\xD0\x8A\x8E\xC8\xC6\xD0\x8A\x8E");
    // Sharp s and micro sign have no single upper-case letter in the code page.
    EXPECT_EQ(toUpperCp1250("\xDF\xB5"), "\xDF\xB5");
    EXPECT_EQ(toUpperCp1250('1'), '1');
}
