#include <gtest/gtest.h>

#include "base/day_number.h"
#include "base/picture.h"

#include <stdexcept>

using namespace mvz;

namespace {
Picture pic(const char* text) {
    auto p = Picture::parse(text);
    if (!p) throw std::invalid_argument(text);
    return *p;
}
Decimal num(const char* text, int scale = 2) {
    return *Decimal::parse(text, scale);
}
} // namespace

TEST(Picture, ParseAcceptsTheSystemsPicturesOnly) {
    for (const char* good :
         {"@s60",  "s13",     "N4_",  "@N4_",   "N04",   "N02",     "N3_",     "n10.2",
          "N10.2", "N-_15`2", "N5`2", "N_12`2", "n15.2", "N15`4",   "N-015v2", "n-7.2",
          "n5",    "n4",      "D6.",  "@D06.",  "T1",    "N-12.`2", "N-_31.2", "N10.2B"})
        EXPECT_TRUE(Picture::parse(good).has_value()) << good;
    for (const char* bad : {"", "@", "s", "s0", "N", "N-", "N0", "N10.", "N10.2x", "N10..2",
                            "N10,`2", "D7", "D6x", "T2", "X10", "N10.99", "s60x"})
        EXPECT_FALSE(Picture::parse(bad).has_value()) << bad;
}

TEST(Picture, Widths) {
    EXPECT_EQ(pic("@s60").width(), 60);
    EXPECT_EQ(pic("N-015v2").width(), 15);
    EXPECT_EQ(pic("N_12`2").width(), 12);
    EXPECT_EQ(pic("D6.").width(), 10);
    EXPECT_EQ(pic("T1").width(), 5);
}

TEST(Picture, FormatsNumbers) {
    struct Case {
        const char* picture;
        const char* value;
        const char* shown;
    };
    const Case cases[] = {
        {"N4_", "1234", "1234"},
        {"N4_", "7", "   7"},
        {"N4_", "0", "    "},
        {"N4_", "12345", "####"},
        {"N04", "7", "0007"},
        {"N04", "2010", "2010"},
        {"N04", "12345", "####"},
        {"N02", "5", "05"},
        {"N02", "0", "00"},
        {"N3_", "0", "   "},
        {"N3_", "42", " 42"},
        {"n5", "12", "   12"},
        {"n5", "12345", "12345"}, // grouped it would not fit, so it is shown plain
        {"n4", "-12", " -12"},
        {"n10.2", "1234.5", "  1,234.50"},
        {"n10.2", "1234567.89", "1234567.89"},
        {"n10.2", "-1234567.89", "##########"},
        {"n10.2", "0", "      0.00"},
        {"n10.2", "-0.5", "     -0.50"},
        {"n10.2", "0.005", "      0.01"},
        {"N10.2", "-1234.567", " -1,234.57"},
        {"N-_15`2", "1234567.89", "     1234567,89"},
        {"N-_15`2", "-0.01", "          -0,01"},
        {"N5`2", "20", "20,00"},
        {"N5`2", "7.2", " 7,20"},
        {"N5`2", "100", "#####"},
        {"N_12`2", "1234567.89", "  1234567,89"},
        {"N_12`2", "0", "        0,00"},
        {"n15.2", "1234567.8", "   1,234,567.80"},
        {"N15`4", "1234.5", "     1.234,5000"},
        {"N15`4", "-1234567.12345", "-1.234.567,1235"},
        {"N-015v2", "1234.5", "000000000123450"},
        {"N-015v2", "-1234.5", "-00000000123450"},
        {"N-015v2", "0", "000000000000000"},
        {"N-015v2", "123456789012.34", "012345678901234"},
        {"N-015v2", "-1234567890123.45", "###############"},
        {"n-7.2", "20", "  20.00"},
        {"n-7.2", "-5.25", "  -5.25"},
        {"N-12.`2", "1234.5", "    1.234,50"},
        {"N10.2B", "0", "          "},
        {"N-_31.2", "-1234.5", "                       -1234.50"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pic(c.picture).format(num(c.value, 5)), c.shown) << c.picture << " " << c.value;
}

TEST(Picture, FormatsWholeNumbersTextDatesAndTimes) {
    EXPECT_EQ(pic("N04").format(12LL), "0012");
    EXPECT_EQ(pic("n10.2").format(1234LL), "  1,234.00");
    EXPECT_EQ(pic("n5").format(-9223372036854775807LL - 1), "#####");

    EXPECT_EQ(pic("@s6").format(std::string_view("abc")), "abc   ");
    EXPECT_EQ(pic("@s6").format(std::string_view("abcdefgh")), "abcdef");
    EXPECT_EQ(pic("@s60").format(std::string_view("Naziv")).size(), 60u);
    EXPECT_EQ(pic("N10.2").format(std::string_view(" 12.5")), "     12.50");
    EXPECT_EQ(pic("N10.2").format(std::string_view("abc")), "##########");

    Picture date = pic("D6.");
    EXPECT_EQ(date.formatDate(dayNumber(2010, 12, 8)), "08.12.2010");
    EXPECT_EQ(date.formatDate(dayNumber(1801, 1, 1)), "01.01.1801");
    EXPECT_EQ(date.formatDate(0), "          ");
    EXPECT_EQ(date.format(static_cast<long long>(dayNumber(2024, 2, 29))), "29.02.2024");
    EXPECT_EQ(pic("D6").formatDate(dayNumber(2010, 12, 8)), "08/12/2010");

    Picture time = pic("T1");
    EXPECT_EQ(time.formatTime(timeOfDay(14, 5, 59)), "14:05");
    EXPECT_EQ(time.formatTime(timeOfDay(9, 0)), "09:00");
    EXPECT_EQ(time.formatTime(0), "     ");
    EXPECT_EQ(pic("T4").formatTime(timeOfDay(14, 5, 9)), "14:05:09");
}

TEST(Picture, ReadsWhatItFormats) {
    struct Case {
        const char* picture;
        const char* value;
    };
    const Case cases[] = {
        {"n10.2", "1234.5"},   {"n10.2", "-0.5"},      {"N_12`2", "1234567.89"},
        {"N-_15`2", "-12.34"}, {"n15.2", "1234567.8"}, {"N15`4", "-1234.5678"},
        {"N-015v2", "1234.5"}, {"N-015v2", "-1234.5"}, {"N-12.`2", "1234.5"},
        {"N5`2", "7.2"},       {"N04", "7"},           {"n-7.2", "-5.25"},
    };
    for (const Case& c : cases) {
        Picture p = pic(c.picture);
        Decimal value = num(c.value, p.places());
        auto back = p.read(p.format(value), p.places());
        ASSERT_TRUE(back.has_value()) << c.picture << " " << c.value;
        EXPECT_EQ(*back, value) << c.picture << " " << c.value;
    }
}

TEST(Picture, ReadsPaymentFileAmounts) {
    Picture p = pic("N-015v2");
    struct Case {
        const char* text;
        const char* value;
    };
    const Case cases[] = {
        {"000000000123450", "1234.50"},
        {"-00000000123450", "-1234.50"},
        {"+00000000123450", "1234.50"},
        {" 00000000123450", "1234.50"},
        {"-      123450  ", "-1234.50"},
        {"               ", "0.00"},
        {"5", "0.05"},
        {"99999999999999", "999999999999.99"},
    };
    for (const Case& c : cases) {
        auto v = p.read(c.text, 2);
        ASSERT_TRUE(v.has_value()) << '"' << c.text << '"';
        EXPECT_EQ(v->toString(), c.value) << '"' << c.text << '"';
    }
    for (const char* bad : {"0000000001234.5", "00000000012345-", "0000 000012345", "--123",
                            "00000000012A450", "-", "99999999999999999999"})
        EXPECT_EQ(p.read(bad, 2), std::nullopt) << '"' << bad << '"';
}

TEST(Picture, ReadsTypedNumbers) {
    struct Case {
        const char* picture;
        const char* text;
        const char* value; // nullptr: refused
    };
    const Case cases[] = {
        {"n10.2", "  1,234.50 ", "1234.50"},
        {"n10.2", "1234.5", "1234.50"},
        {"n10.2", "+ 12", "12.00"},
        {"n10.2", "1.005", "1.01"},
        {"n10.2", ".5", "0.50"},
        {"n10.2", "12,50", nullptr}, // a decimal comma in a decimal-point picture
        {"n10.2", "1,23,4.00", nullptr},
        {"n10.2", "12.3.4", nullptr},
        {"n10.2", "1 234", nullptr},
        {"n10.2", "abc", nullptr},
        {"n10.2", ".", nullptr},
        {"N_12`2", "1234,56", "1234.56"},
        {"N_12`2", "1.234,56", "1234.56"},
        {"N_12`2", "12.5", nullptr},
        {"N5`2", "20,5", "20.50"},
        {"N3_", "   ", "0.00"},
        {"N04", "0012", "12.00"},
    };
    for (const Case& c : cases) {
        auto v = pic(c.picture).read(c.text, 2);
        if (c.value == nullptr) {
            EXPECT_EQ(v, std::nullopt) << c.picture << " \"" << c.text << '"';
        } else {
            ASSERT_TRUE(v.has_value()) << c.picture << " \"" << c.text << '"';
            EXPECT_EQ(v->toString(), c.value) << c.picture << " \"" << c.text << '"';
        }
    }
}

TEST(Picture, ReadsDatesAndTimes) {
    Picture date = pic("D6.");
    EXPECT_EQ(date.readDate("08.12.2010"), dayNumber(2010, 12, 8));
    EXPECT_EQ(date.readDate(" 8.12.2010. "), dayNumber(2010, 12, 8));
    EXPECT_EQ(date.readDate("08122010"), dayNumber(2010, 12, 8));
    EXPECT_EQ(date.readDate("8/1/2010"), dayNumber(2010, 1, 8));
    EXPECT_EQ(date.readDate(""), 0);
    for (const char* bad : {"29.02.2023", "32.01.2010", "08.12.10", "08.12.20101", "08..2010",
                            "x8.12.2010", "31042010"})
        EXPECT_EQ(date.readDate(bad), std::nullopt) << bad;

    Picture time = pic("T1");
    EXPECT_EQ(time.readTime("14:05"), timeOfDay(14, 5));
    EXPECT_EQ(time.readTime(" 9:05 "), timeOfDay(9, 5));
    EXPECT_EQ(time.readTime("09:05:30"), timeOfDay(9, 5, 30));
    EXPECT_EQ(time.readTime(""), 0);
    for (const char* bad : {"24:00", "14:60", "14", "14:5", "14:05:", "1405", "a4:05"})
        EXPECT_EQ(time.readTime(bad), std::nullopt) << bad;
}
