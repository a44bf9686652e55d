#include <gtest/gtest.h>

#include "rules/identifier.h"

using namespace mvz;

namespace {

struct IdCase {
    const char* id;
    bool strict;
    const char* stored; // nullptr: stored as given, padded to 13
    bool loose;
    const char* why;
};

// Control digits worked out by hand from the weights:
//   JMBG 010199000008 -> remainder 5, control 6; 010199000000 -> remainder 0;
//        010199000006 -> remainder 1; 100199000001 -> control 8
//   OIB  1234567890 -> 3; 0234567890 -> 1; 1034567890 -> 8
//   MB   1234567 -> 9; 1000007 -> remainder 0; 1000002 -> remainder 1; 0234567 -> 6
const IdCase kCases[] = {
    {"0101990000086", true, nullptr, true, "JMBG, control 11 - r"},
    {"0101990000087", false, nullptr, false, "JMBG, wrong control digit"},
    {"0101990000000", true, nullptr, true, "JMBG remainder 0, control 0"},
    {"0101990000001", false, nullptr, false, "JMBG remainder 0 needs 0"},
    {"0001990330006", false, nullptr, false, "day 00, control digit right"},
    {"0100990330004", false, nullptr, false, "month 00, control digit right"},
    {"0000000000000", false, nullptr, false, "thirteen zeros: day 00"},
    {"010199000000", false, nullptr, true, "12 digits: too short; loose reads the blank as 0"},
    {"01019900A0086", false, nullptr, true, "a letter: loose counts it as 0"},
    {"+101990000086", false, nullptr, true, "sign in a digit position"},
    {".101990000086", false, nullptr, true, "decimal point in a digit position"},
    {"1e01990000018", false, nullptr, true, "exponent letter in a digit position"},
    {"  12345678903", true, nullptr, true, "OIB as stored"},
    {"12345678903", true, "  12345678903", false, "OIB typed left-aligned; loose: a JMBG"},
    {" 12345678903", true, "  12345678903", false, "OIB typed one blank in"},
    {"  12345678904", false, nullptr, false, "OIB, wrong control digit"},
    {"  98765430070", true, nullptr, true, "OIB, control 10 -> 0"},
    {"  +2345678901", false, nullptr, true, "OIB with a sign"},
    {"  1e345678908", false, nullptr, true, "OIB with an exponent"},
    {"  1234567890", false, nullptr, false, "OIB of 10 digits"},
    {"", false, nullptr, false, "all blank"},
    {"             ", false, nullptr, false, "all blank, full width"},
    {"MBROJ12345679", true, nullptr, true, "MBROJ, control 11 - r"},
    {"MBROJ12345670", false, nullptr, true, "MBROJ wrong control: loose does not check it"},
    {"MBROJ10000020", true, nullptr, true, "MB remainder 1, control 0"},
    {"MBROJ10000021", false, nullptr, true, "MB remainder 1 needs 0"},
    {"MBROJ+2345676", false, nullptr, true, "MBROJ with a sign"},
    {"MBROJ1234A679", false, nullptr, false, "MBROJ with a letter"},
    {"MBROJ1234567", false, nullptr, true, "MBROJ of 7 digits"},
    {"MBROJ123456", false, nullptr, true, "11 characters: strict takes it for an OIB"},
    {"J123456790000", true, nullptr, true, "J form"},
    {"J12345679", true, nullptr, true, "J form, 10-13 blank"},
    {"J123456700000", false, nullptr, true, "J form, wrong control digit"},
    {"J1234567E1   ", false, nullptr, true, "J form with an exponent"},
    {"J1234567 0000", false, nullptr, false, "J form with a blank inside"},
    {"mbroj12345679", false, nullptr, false, "lower-case mbroj is a JMBG"},
    {"0101990000086x", false, "0101990000086x", false, "longer than the field"},
    {"0101990000086 ", true, nullptr, true, "trailing blank beyond the field"},
};

TEST(Identifier, StrictAndLooseChecks) {
    for (const IdCase& c : kCases) {
        SCOPED_TRACE(std::string("\"") + c.id + "\": " + c.why);
        const IdentifierResult r = CheckIdentifier(c.id);
        EXPECT_EQ(r.valid, c.strict);
        const std::string padded = (std::string(c.id) + std::string(13, ' ')).substr(0, 13);
        EXPECT_EQ(r.stored, c.stored ? std::string(c.stored) : padded);
        EXPECT_EQ(CheckIdentifierLoose(c.id), c.loose);
    }
}

TEST(Identifier, ZeroDayAndThirteenZerosFailOnlyByTheDayMonthRule) {
    // The control digits are right: only the "00" rule refuses them.
    EXPECT_TRUE(CheckJMBG("0000000000000"));
    EXPECT_TRUE(CheckJMBG("0001990330006"));
    EXPECT_TRUE(CheckJMBG("0100990330004"));
    EXPECT_FALSE(CheckIdentifier("0000000000000").valid);
}

TEST(Identifier, RemainderOneJmbgAndRemainderZeroMbHaveNoControlDigit) {
    for (char last = '0'; last <= '9'; ++last) {
        EXPECT_FALSE(CheckJMBG(std::string("010199000006") + last)) << last;
        EXPECT_FALSE(CheckMB(std::string("1000007") + last)) << last;
        EXPECT_FALSE(CheckIdentifierLoose(std::string("010199000006") + last)) << last;
    }
}

TEST(Identifier, OibNeedsElevenNumericCharacters) {
    EXPECT_TRUE(CheckOIB("12345678903"));
    EXPECT_TRUE(CheckOIB("  12345678903  ")); // surrounding blanks dropped
    EXPECT_FALSE(CheckOIB("1234567890"));
    EXPECT_FALSE(CheckOIB("123456789030"));
    EXPECT_FALSE(CheckOIB("1234567890A")); // not numeric
    EXPECT_FALSE(CheckOIB("12345 78903"));
    EXPECT_FALSE(CheckOIB(""));
}

TEST(Identifier, KindsFollowTheFirstCharacters) {
    const struct {
        const char* id;
        IdentifierKind loose, strict;
    } cases[] = {
        {"  12345678903", IdentifierKind::Oib, IdentifierKind::Oib},
        {"12345678903", IdentifierKind::Jmbg, IdentifierKind::Oib},
        {"", IdentifierKind::Oib, IdentifierKind::Oib},
        {"MBROJ12345679", IdentifierKind::Mbroj, IdentifierKind::Mbroj},
        {"MBROJ123456", IdentifierKind::Mbroj, IdentifierKind::Oib},
        {"J123456790000", IdentifierKind::J, IdentifierKind::J},
        {"0101990000086", IdentifierKind::Jmbg, IdentifierKind::Jmbg},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(identifierKind(c.id), c.loose) << c.id;
        EXPECT_EQ(strictIdentifierKind(c.id), c.strict) << c.id;
    }
    EXPECT_EQ(identifierKindName(IdentifierKind::Mbroj), "MBROJ");
}

TEST(Identifier, DayOfMonth) {
    const struct {
        int year, month, day;
        bool valid;
    } cases[] = {
        {2100, 2, 29, true},  {2023, 2, 29, false}, {2024, 2, 29, true},  {2024, 2, 30, false},
        {2024, 4, 31, false}, {2024, 6, 31, false}, {2024, 9, 31, false}, {2024, 11, 31, false},
        {2024, 4, 30, true},  {2024, 1, 31, true},  {2024, 12, 31, true}, {2024, 12, 32, false},
        {2024, 13, 1, false}, {2024, 0, 1, false},  {2024, -1, 1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckDayOfMonth(c.year, c.month, c.day), c.valid)
            << c.day << "." << c.month << "." << c.year;
}

} // namespace
