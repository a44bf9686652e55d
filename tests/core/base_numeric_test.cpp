#include <gtest/gtest.h>

#include "base/numeric.h"

using namespace mvz;

TEST(Numeric, NumericTest) {
    struct Case {
        const char* text;
        bool numeric;
    };
    const Case cases[] = {
        {"123", true},  {" 12", true},    {"12 ", true},    {"+1", true},     {"-1.5", true},
        {"1e5", true},  {"1E-5", true},   {"1.5e+3", true}, {"1.", true},     {".5", true},
        {"007", true},  {"", false},      {"   ", false},   {"12A4", false},  {"1 2", false},
        {"e5", false},  {"--1", false},   {"1e", false},    {"1e+", false},   {".", false},
        {"-", false},   {"- 1", false},   {"1,5", false},   {"1.2.3", false}, {".e5", false},
        {"\t1", false}, {"1e5.5", false}, {"12-", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isNumeric(c.text), c.numeric) << '"' << c.text << '"';
}

TEST(Numeric, DigitValueCountsNonDigitsAsZero) {
    EXPECT_EQ(digitValue('0'), 0);
    EXPECT_EQ(digitValue('7'), 7);
    EXPECT_EQ(digitValue('9'), 9);
    EXPECT_EQ(digitValue(' '), 0);
    EXPECT_EQ(digitValue('A'), 0);
}

TEST(Numeric, ParseInteger) {
    EXPECT_EQ(parseInteger(" 42 "), 42);
    EXPECT_EQ(parseInteger("-7"), -7);
    EXPECT_EQ(parseInteger("+7"), 7);
    EXPECT_EQ(parseInteger("9223372036854775807"), 9223372036854775807LL);
    EXPECT_EQ(parseInteger("9223372036854775808"), std::nullopt);
    for (const char* bad : {"", "  ", "+", "-", "+-1", "1.0", "1 2", "12a"})
        EXPECT_EQ(parseInteger(bad), std::nullopt) << '"' << bad << '"';
}
