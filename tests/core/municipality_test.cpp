#include <gtest/gtest.h>

#include <optional>

#include "rules/municipality.h"

using namespace mvz;

namespace {

TEST(Municipality, ControlDigit) {
    // 1x4 + 2x3 + 3x2 = 16, remainder 5, control 6.
    EXPECT_TRUE(CheckMunicipalityCode("1236"));
    EXPECT_FALSE(CheckMunicipalityCode("1230"));
    // 3x4 = 12, remainder 1: control 0.
    EXPECT_TRUE(CheckMunicipalityCode("3000"));
    EXPECT_FALSE(CheckMunicipalityCode("3001"));
    // 1, 1, 2 gives 11, remainder 0: no fourth digit is right.
    for (char last = '0'; last <= '9'; ++last)
        EXPECT_FALSE(CheckMunicipalityCode(std::string("112") + last)) << last;
    // Remainder 0 as well; the row window lets "0000" through on its own.
    EXPECT_FALSE(CheckMunicipalityCode("0000"));
    for (const char* notDigits : {"12A4", "+236", "1.36", "1e36", " 236", "123", "12366"})
        EXPECT_FALSE(CheckMunicipalityCode(notDigits)) << notDigits;
}

TEST(Municipality, RowWindowCodeCheck) {
    const char* kShort = "Greška. Šifra općine/grada ima 4 znaka";
    const char* kNotNumeric = "Pogrešna šifre općine/grada";
    const char* kWrong = "Pogrešan šifra općine/grada";
    const struct {
        const char* code;
        const char* message; // nullptr: accepted
        bool sound;
    } cases[] = {
        {"1236", nullptr, false},    {"0000", nullptr, false},    {"3000", nullptr, false},
        {"1230", kWrong, true},      {"1120", kWrong, true},      {"1129", kWrong, true},
        {"12A4", kNotNumeric, true}, {"+123", kNotNumeric, true}, // a sign is no digit of a code
        {"0.00", kNotNumeric, true}, {"1e36", kNotNumeric, true}, {"  00", kNotNumeric, true},
        {"123", kShort, false},      {"123 ", kShort, false},     {"", kShort, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.code + "\"");
        const std::optional<MunicipalityCodeError> error = checkMunicipalityCodeField(c.code);
        if (!c.message) {
            EXPECT_FALSE(error.has_value());
            continue;
        }
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->message, c.message);
        EXPECT_EQ(error->errorSound, c.sound);
    }
}

} // namespace
