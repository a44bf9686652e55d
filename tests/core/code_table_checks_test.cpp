#include <gtest/gtest.h>

#include "rules/code_table_checks.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

TEST(CalculationTypeChecks, CodeNeedsTwoCharacters) {
    for (const char* code : {"", " ", "1", "1 "}) {
        const CodeTableCheck c = checkCalculationTypeCode(code);
        EXPECT_EQ(c.message, "Greška. Šifra mora sadržavati 2 (dva) znaka") << '"' << code << '"';
        EXPECT_EQ(c.focus, CodeTableField::Code);
        EXPECT_FALSE(c.proceed);
    }
    const CodeTableCheck ok = checkCalculationTypeCode("01");
    EXPECT_TRUE(ok.proceed);
    EXPECT_EQ(ok.message, "");
    EXPECT_EQ(ok.focus, CodeTableField::None);
}

class NewCalculationType : public ::testing::Test {
  protected:
    void SetUp() override {
        TableAccess& t = types();
        ASSERT_EQ(t.open(), 0);
        addRow("01", "Redovna plaća");
        addRow("02", "Ispravak");
    }
    TableAccess& types() { return st.tables.access("VUP"); }
    void addRow(const std::string& code, const std::string& description) {
        TableAccess& t = types();
        t.record().clear();
        set(t, "SIFRA", code);
        set(t, "SKROPIS", "kratko");
        set(t, "OPIS", description);
        ASSERT_EQ(t.add(), 0);
    }
    // Fills the buffer as the row window would and runs the save check.
    CodeTableCheck check(const std::string& code, const std::string& description) {
        TableAccess& t = types();
        t.record().clear();
        set(t, "SIFRA", code);
        set(t, "SKROPIS", "novo");
        set(t, "OPIS", description);
        return checkNewCalculationType(t, t.record());
    }

    TempDir dir;
    Station st{dir.str()};
};

TEST_F(NewCalculationType, DuplicateCodeComesFirst) {
    const CodeTableCheck c = check("02", "Redovna plaća");
    EXPECT_EQ(c.message, "Greška. Dupla šifra");
    EXPECT_EQ(c.focus, CodeTableField::Code);
    EXPECT_FALSE(c.proceed);
}

TEST_F(NewCalculationType, DuplicateDescriptionIgnoresCase) {
    for (const char* description : {"Ispravak", "ISPRAVAK"}) {
        const CodeTableCheck c = check("03", description);
        EXPECT_EQ(c.message, "Greška. Dupli naziv pojma") << description;
        EXPECT_EQ(c.focus, CodeTableField::Description);
        EXPECT_FALSE(c.proceed);
    }
}

TEST_F(NewCalculationType, NewRowKeepsTheBufferAndCanBeAdded) {
    const CodeTableCheck c = check("03", "Ispravak plaće");
    EXPECT_TRUE(c.proceed);
    EXPECT_EQ(c.message, "");
    TableAccess& t = types();
    EXPECT_EQ(get(t, "SIFRA"), "03");
    EXPECT_EQ(get(t, "SKROPIS"), "novo");
    EXPECT_EQ(get(t, "OPIS"), "Ispravak plaće");
    ASSERT_EQ(t.add(), 0);
    EXPECT_EQ(column(t, "KEYSIFRA", "SIFRA"), (std::vector<std::string>{"01", "02", "03"}));
    EXPECT_TRUE(st.reporter.boxes.empty());
}

TEST_F(NewCalculationType, BlankDescriptionIsNoDuplicate) {
    addRow("05", "");
    EXPECT_TRUE(check("06", "").proceed);
}

TEST_F(NewCalculationType, ShortCodeIsRefusedOnSavingToo) {
    const CodeTableCheck c = check("7", "Nešto novo");
    EXPECT_EQ(c.message, "Greška. Šifra mora sadržavati 2 (dva) znaka");
    EXPECT_EQ(c.focus, CodeTableField::Code);
    EXPECT_FALSE(c.proceed);
}

} // namespace
