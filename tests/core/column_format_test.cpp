#include "ui_model/column_format.h"

#include <gtest/gtest.h>

namespace mvz {
namespace {

ColumnFormat col(int width, ColumnAlign align, int indent, std::string header, ColumnAlign hAlign,
                 int hIndent, std::string picture, bool resizable = true) {
    ColumnFormat c;
    c.width = width;
    c.align = align;
    c.indent = indent;
    c.resizable = resizable;
    c.modifiers = resizable ? "M" : "";
    c.header = std::move(header);
    c.headerAlign = hAlign;
    c.headerIndent = hIndent;
    c.picture = std::move(picture);
    return c;
}

using A = ColumnAlign;

TEST(ColumnFormat, EmployerListColumns) {
    auto cols = parseColumnFormat(
        "25R(2)|M~Rbr~R(10)@N4_@73L(2)|M~Identifikacijski broj~L(5)@s13@152L(2)|M~Naziv "
        "obveznika~@s60@154L(2)|M~Adresa obveznika~@s60@27L(2)|M~Vrsta~@s2@56L(2)|M~"
        "Identifikator~@s4@");
    ASSERT_EQ(cols.size(), 6u);
    EXPECT_EQ(cols[0], col(25, A::Right, 2, "Rbr", A::Right, 10, "N4_"));
    EXPECT_EQ(cols[1], col(73, A::Left, 2, "Identifikacijski broj", A::Left, 5, "s13"));
    // Without its own alignment the header follows the column.
    EXPECT_EQ(cols[2], col(152, A::Left, 2, "Naziv obveznika", A::Left, 2, "s60"));
    EXPECT_EQ(cols[5], col(56, A::Left, 2, "Identifikator", A::Left, 2, "s4"));
}

TEST(ColumnFormat, EmployeeListColumnsWithCroatianHeadersAndCentredHeaders) {
    auto cols = parseColumnFormat(
        "67L(2)|M~Identifikacijski broj~@s13@146L(2)|M~Prezime i ime~L(3)@s35@34L(2)|M~Općina~L("
        "4)@s4@31L(2)|M~OMF~@s1@20L(2)|M~OO~@s2@18L(2)|M~ B~@s1@33R(4)|M~GGGG~C(2)@N04@26R(4)|M~"
        "MM~C@N02@22R(5)|M~Od~@N02@8R(3)|M~Do~C(2)@N02@");
    ASSERT_EQ(cols.size(), 10u);
    EXPECT_EQ(cols[2], col(34, A::Left, 2, "Općina", A::Left, 4, "s4"));
    EXPECT_EQ(cols[5].header, " B"); // leading blank kept
    EXPECT_EQ(cols[6], col(33, A::Right, 4, "GGGG", A::Center, 2, "N04"));
    // An alignment letter without an indent: indent 0.
    EXPECT_EQ(cols[7], col(26, A::Right, 4, "MM", A::Center, 0, "N02"));
    EXPECT_EQ(cols[9], col(8, A::Right, 3, "Do", A::Center, 2, "N02"));
}

TEST(ColumnFormat, MinimalColumnsAndOtherModifiers) {
    auto cols = parseColumnFormat("40L|30D(6)|_M~Iznos~@n10.2@");
    ASSERT_EQ(cols.size(), 2u);
    EXPECT_EQ(cols[0], col(40, A::Left, 0, "", A::Left, 0, "", false));
    EXPECT_EQ(cols[1].align, A::Decimal);
    EXPECT_EQ(cols[1].modifiers, "_M");
    EXPECT_TRUE(cols[1].resizable);
    EXPECT_EQ(cols[1].picture, "n10.2");
    EXPECT_TRUE(parseColumnFormat("").empty());
}

TEST(ColumnFormat, MalformedStringsNameThePosition) {
    for (const char* bad : {"R(2)|M~Rbr~", "25X|", "25R(2|M", "25R(2)M~Rbr~", "25R|M~Rbr",
                            "25R|M~Rbr~@N4_", "25R()|"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(parseColumnFormat(bad), ColumnFormatError);
    }
    try {
        parseColumnFormat("25R(2)|M~Rbr~R(10)@N4_@7");
        FAIL();
    } catch (const ColumnFormatError& e) {
        EXPECT_NE(std::string(e.what()).find("position 25"), std::string::npos) << e.what();
    }
}

} // namespace
} // namespace mvz
