#include <gtest/gtest.h>

#include "base/cp1250.h"
#include "data/record.h"
#include "import/field_view.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace mvz {
void PrintTo(const FieldViewPair& p, std::ostream* os) {
    *os << '[' << p.label << "]=[" << p.value << ']';
}
} // namespace mvz

namespace {

// A 250-character CP1250 line of the given type whose characters are given
// by position (1-based) and UTF-8 text.
std::string line(char type, std::vector<std::pair<int, std::string>> parts) {
    std::string l(250, ' ');
    for (const auto& [at, text] : parts) {
        const std::string cp = *utf8ToCp1250(text);
        l.replace(at - 1, cp.size(), cp);
    }
    l[249] = type;
    return l;
}

TEST(FieldView, EachRecordTypeWithItsHeadingLabelsAndValues) {
    struct Case {
        std::string line;
        std::string heading;
        std::size_t used;
        // Pairs checked: index, label, value.
        std::vector<std::tuple<std::size_t, std::string, std::string>> pairs;
    };
    const Case cases[] = {
        {line('0', {{13, "  89029274466"}, {26, "Ured Šimić"}, {216, "10122026"}, {224, "MZ500"}}),
         "POČETNI SLOG FORMATA - tip sloga 0",
         11,
         {{0, "N MV0REZ1 ", std::string(12, ' ')},
          {1, "C MV0IBOO", "  89029274466"},
          {2, "C MV0NAOB ", "Ured Šimić" + std::string(40, ' ')},
          {3, "C MV0ADOB ", std::string(50, ' ')},
          {7, "C MV0DTMN", "10122026"},
          {8, "C MV0OFOR", "MZ500"},
          {9, "C MV0REZE", std::string(21, ' ')},
          {10, "N MV0TIPS", "0"}}},
        {line('3', {{26, "0050"}, {130, "311220260100001"}, {145, "-00000000001500"}}),
         "VODEĆI SLOG JEDNOG OBRASCA - tip sloga 3",
         17,
         {{2, "N MV3IDOB", "0050"},
          {5, "N MV3VROB", "31"},
          {6, "N MV3MMGG", "122026"},
          {7, "N MV3VROI", "01"},
          {8, "N MV3BROS", "00001"},
          {9, "N MV3IBRT", "-00000000001500"},
          {10, "N MV3IOST", std::string(15, ' ')},
          {16, "N MV3TIPS", "3"}}},
        {line('5', {{1, "00001"}, {19, "Horvat Ana"}, {49, "0133"}, {53, "011"}, {56, "0131"}}),
         "SLOG POJEDINAČNE TRANSAKCIJE - tip sloga 5",
         13,
         {{0, "N MV5RBRO", "00001"},
          {2, "C MV5PRIM", "Horvat Ana" + std::string(20, ' ')},
          {3, "N MV5GROP", "0133"},
          {4, "N MV5OSOB", "011"},
          {5, "N MV5RAZD", "0131"},
          // The 115 reserved characters show their first 50.
          {11, "C MV5REZE", std::string(50, ' ')},
          {12, "N MV5TIPS", "5"}}},
        {line('7', {{26, "0050"}, {30, "00020"}, {35, "10122026"}}),
         "ZAKLJUČNI SLOG JEDNOG OBRASCA - tip sloga 7",
         7,
         {{2, "N MV7RBSU", "0050"}, {3, "N MV7BRSL", "00020"}, {4, "N MV7DTRS", "10122026"}}},
        {line('9', {{26, "10122026"}, {34, "000001"}}),
         "ZAKLJUČNI SLOG FORMATA - tip sloga 9",
         6,
         {{2, "N MV9DTMN", "10122026"}, {3, "N MV9BROJ", "000001"}, {5, "N MV9TIPS", "9"}}},
    };
    for (const Case& c : cases) {
        const FieldView v = fieldView(c.line);
        SCOPED_TRACE(c.heading);
        EXPECT_EQ(v.heading, c.heading);
        EXPECT_EQ(v.used, c.used);
        for (const auto& [i, label, value] : c.pairs)
            EXPECT_EQ(v.pairs[i], (FieldViewPair{label, value})) << i;
        for (std::size_t i = c.used; i < kFieldViewPairs; ++i)
            EXPECT_EQ(v.pairs[i], FieldViewPair{}) << i;
    }
}

TEST(FieldView, AnotherTypeOrAShortLineShowsBlankPairs) {
    for (const std::string& l : {line('4', {{1, "12345"}}), line(' ', {}), std::string(249, '0')}) {
        const FieldView v = fieldView(l);
        EXPECT_EQ(v.heading, "");
        EXPECT_EQ(v.used, 0u);
        for (const FieldViewPair& p : v.pairs)
            EXPECT_EQ(p, FieldViewPair{});
    }
}

TEST(FieldView, TheLineOfATbizlazRowIsItsFivePieces) {
    TempDir dir;
    Station st(dir.str());
    TableAccess& ulz = st.tables.access("ULZ");
    Record& r = ulz.record();
    r.clear();
    const std::string l = line('5', {{1, "00001"}, {201, "x"}});
    for (int i = 0; i < 5; ++i)
        r.setText(r.def().fieldIndex(i == 3 ? "REEDAK4" : "REDAK" + std::to_string(i + 1)),
                  l.substr(i * 50, 50));
    EXPECT_EQ(lineOfRow(r), l);
    EXPECT_EQ(fieldView(lineOfRow(r)).pairs[0].value, "00001");
}

} // namespace
