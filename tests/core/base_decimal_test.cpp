#include <gtest/gtest.h>

#include "base/decimal.h"

#include <cstdint>
#include <limits>
#include <stdexcept>

using namespace mvz;

namespace {
Decimal d(const char* text, int scale = 2) {
    auto v = Decimal::parse(text, scale);
    if (!v) throw std::invalid_argument(text);
    return *v;
}
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
} // namespace

TEST(Decimal, ParseAndPrint) {
    struct Case {
        const char* text;
        int scale;
        const char* printed;
    };
    const Case cases[] = {
        {"12.3", 2, "12.30"},     {" -12,3 ", 2, "-12.30"},
        {"+5", 2, "5.00"},        {"5.", 2, "5.00"},
        {".5", 2, "0.50"},        {"0", 0, "0"},
        {"2.345", 2, "2.35"},     {"-2.345", 2, "-2.35"},
        {"2.3449999", 2, "2.34"}, {"0.005", 2, "0.01"},
        {"-0.004", 2, "0.00"},    {"1.5", 0, "2"},
        {"-1.5", 0, "-2"},        {"12.34567", 4, "12.3457"},
        {"000123", 2, "123.00"},  {"92233720368547758.07", 2, "92233720368547758.07"},
    };
    for (const Case& c : cases) {
        auto v = Decimal::parse(c.text, c.scale);
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_EQ(v->toString(), c.printed) << c.text;
        EXPECT_EQ(v->scale(), c.scale);
    }
}

TEST(Decimal, ParseRefusesGarbageAndOverflow) {
    for (const char* bad : {"", "  ", "-", ".", "1.2.3", "1,2.3", "1 000", "12a", "1e5", "- 1",
                            "++1", "92233720368547758.08", "99999999999999999999"})
        EXPECT_EQ(Decimal::parse(bad, 2), std::nullopt) << '"' << bad << '"';
    // Rounding up the last unit must not slip past the range either.
    EXPECT_EQ(Decimal::parse("92233720368547758.075", 2), std::nullopt);
}

TEST(Decimal, RescaleRoundsHalfAwayFromZero) {
    EXPECT_EQ(d("1.005", 3).rescale(2).toString(), "1.01");
    EXPECT_EQ(d("-1.005", 3).rescale(2).toString(), "-1.01");
    EXPECT_EQ(d("1.0049", 4).rescale(2).toString(), "1.00");
    EXPECT_EQ(d("12.5").rescale(0).toString(), "13");
    EXPECT_EQ(d("-0.5").rescale(0).toString(), "-1");
    EXPECT_EQ(d("1.5").rescale(4).toString(), "1.5000");
    EXPECT_THROW(Decimal::fromUnits(kMax, 0).rescale(1), std::overflow_error);
    EXPECT_THROW(d("1").rescale(Decimal::kMaxScale + 1), std::invalid_argument);
}

TEST(Decimal, ArithmeticIsExact) {
    EXPECT_EQ((d("0.1") + d("0.2")).toString(), "0.30");
    EXPECT_EQ((d("1.5", 1) + d("0.25")).toString(), "1.75");
    EXPECT_EQ((d("1.00") - d("2.5", 1)).toString(), "-1.50");
    Decimal sum = d("0");
    for (int i = 0; i < 1000; ++i)
        sum += d("0.01");
    EXPECT_EQ(sum, d("10"));
    EXPECT_EQ((-d("3.10")).toString(), "-3.10");
    EXPECT_EQ(d("-3.10").abs().toString(), "3.10");
    EXPECT_EQ(d("-3.10").sign(), -1);
    EXPECT_TRUE(d("0.00").isZero());
}

TEST(Decimal, MultiplyAndDivideRoundToTheStatedScale) {
    // Contribution: base 1234.56 at 15.00 % = 185.184 -> 185.18
    EXPECT_EQ(div(mul(d("1234.56"), d("15.00"), 4), d("100"), 2).toString(), "185.18");
    EXPECT_EQ(mul(d("0.05"), d("0.5", 1), 2).toString(), "0.03"); // 0.025 -> 0.03
    EXPECT_EQ(mul(d("-0.05"), d("0.5", 1), 2).toString(), "-0.03");
    EXPECT_EQ(mul(d("2"), d("3"), 6).toString(), "6.000000");
    EXPECT_EQ(div(d("1"), d("3"), 4).toString(), "0.3333");
    EXPECT_EQ(div(d("2"), d("3"), 4).toString(), "0.6667");
    EXPECT_EQ(div(d("-2"), d("3"), 4).toString(), "-0.6667");
    EXPECT_EQ(div(d("10", 0), d("0.0004", 4), 0).toString(), "25000");
    EXPECT_EQ(div(d("1.23456", 5), d("1", 0), 2).toString(), "1.23");
    // The 128-bit intermediate keeps large products exact before rounding.
    EXPECT_EQ(mul(d("90000000000.00"), d("0.1234", 4), 2).toString(), "11106000000.00");
    EXPECT_THROW(div(d("1"), d("0"), 2), std::domain_error);
}

TEST(Decimal, OverflowIsNeverSilent) {
    Decimal big = Decimal::fromUnits(kMax, 2);
    EXPECT_THROW(big + d("0.01"), std::overflow_error);
    EXPECT_THROW(-big - d("0.01"), std::overflow_error);
    EXPECT_THROW(mul(big, d("2"), 2), std::overflow_error);
    EXPECT_THROW(mul(d("100000"), d("100000"), Decimal::kMaxScale), std::overflow_error);
    EXPECT_THROW(div(big, d("0.01"), 2), std::overflow_error);
    EXPECT_THROW(Decimal::fromInteger(kMax / 10, 2), std::overflow_error);
    EXPECT_THROW(Decimal::fromUnits(std::numeric_limits<int64_t>::min(), 0), std::overflow_error);
    EXPECT_EQ((big - big).toString(), "0.00");
}

TEST(Decimal, ComparesValuesAcrossScales) {
    EXPECT_EQ(d("1.5", 1), d("1.50"));
    EXPECT_LT(d("1.49"), d("1.5", 1));
    EXPECT_GT(d("-1.49"), d("-1.5", 1));
    EXPECT_NE(d("0.01"), d("0", 0));
    EXPECT_LT(Decimal::fromUnits(-kMax, 0), Decimal::fromUnits(kMax, 9));
}

TEST(PackedDecimal, LayoutOfDigitsAndSign) {
    char field[4];
    ASSERT_TRUE(packDecimal(d("1234.56"), field, 4, 2));
    EXPECT_EQ(std::string(field, 4), std::string("\x01\x23\x45\x6C", 4));
    ASSERT_TRUE(packDecimal(d("-1.5", 1), field, 4, 2));
    EXPECT_EQ(std::string(field, 4), std::string("\x00\x00\x15\x0D", 4));
    EXPECT_EQ(unpackDecimal(field, 4, 2).toString(), "-1.50");
    // A value is rounded to the field's decimals first.
    ASSERT_TRUE(packDecimal(d("0.125", 3), field, 4, 2));
    EXPECT_EQ(unpackDecimal(field, 4, 2).toString(), "0.13");
}

TEST(PackedDecimal, RoundTripAndLimits) {
    for (const char* text : {"0", "0.01", "-0.01", "99999.99", "-99999.99", "12345.67"}) {
        char field[4];
        ASSERT_TRUE(packDecimal(d(text), field, 4, 2)) << text;
        EXPECT_EQ(unpackDecimal(field, 4, 2), d(text)) << text;
    }
    char field[4] = {'a', 'b', 'c', 'd'};
    EXPECT_FALSE(packDecimal(d("100000.00"), field, 4, 2));    // 7 digits only
    EXPECT_FALSE(packDecimal(d("99999.995", 3), field, 4, 2)); // rounds up past the digits
    EXPECT_EQ(std::string(field, 4), "abcd");

    char wide[10];
    Decimal largest = Decimal::fromUnits(kMax, 2);
    ASSERT_TRUE(packDecimal(largest, wide, 10, 2));
    EXPECT_EQ(unpackDecimal(wide, 10, 2), largest);
}

TEST(PackedDecimal, ReadingSignsAndDamage) {
    EXPECT_EQ(unpackDecimal("\x00\x12\x3B", 3, 0).toString(), "-123");
    EXPECT_EQ(unpackDecimal("\x00\x12\x3F", 3, 0).toString(), "123");
    EXPECT_EQ(unpackDecimal("\x00\x00\x00", 3, 2).toString(), "0.00"); // zeroed record
    EXPECT_EQ(tryUnpackDecimal("\x0A\x00\x0C", 3, 0), std::nullopt);
    EXPECT_THROW(unpackDecimal("\x0A\x00\x0C", 3, 0), std::invalid_argument);
    // 19 nines do not fit 64-bit units.
    EXPECT_EQ(tryUnpackDecimal("\x99\x99\x99\x99\x99\x99\x99\x99\x99\x9C", 10, 0), std::nullopt);
}
