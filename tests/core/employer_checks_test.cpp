#include <gtest/gtest.h>

#include "data/csv_table_load.h"
#include "rules/employer_checks.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

class EmployerChecksTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(
            loadCsvText(st.tables.access("VOB"), "SIFRA,SKROPIS\n31,Poslodavac\n", "TBVRSOBV.csv")
                .ok);
        ASSERT_EQ(types.open(), result::Ok);
        ASSERT_EQ(pos.open(), result::Ok);
        pos.record().clear();
        set(pos, "REDBROJ", "1");
        set(pos, "NAZIV", "Tvrtka d.o.o.");
        set(pos, "ADRESA", "Ilica 1, Zagreb");
        set(pos, "KONTAKT", "Ana Horvat");
        set(pos, "VRSTOBVEZNIKA", "31");
        set(pos, "JMBG", "81773745505"); // an OIB typed left-aligned
    }

    TempDir dir;
    Station st{dir.str()};
    TableAccess& types = st.tables.access("VOB");
    TableAccess& pos = st.tables.access("POS");
};

TEST_F(EmployerChecksTest, TheFirstFailingStepGivesItsMessageAndField) {
    const struct {
        const char* field;
        const char* value;
        const char* message;
        EmployerField focus;
    } cases[] = {
        {"NAZIV", "   ", "Greška broj 6. Naziv ili prezime i ime je obvezan podatak",
         EmployerField::Name},
        {"ADRESA", "", "Greška broj 7. Adresa obveznika je obvezan podatak",
         EmployerField::Address},
        {"KONTAKT", "", "Greška broj 8. Kontakt osoba se obvezno upisuje", EmployerField::Contact},
        {"VRSTOBVEZNIKA", "99", "Pogrešna vrsta obveznika. Ispravite !", EmployerField::None},
        {"JMBG", "81773745506", "Provjerite identifikacijski broj obveznika ",
         EmployerField::Identifier},
    };
    for (const auto& c : cases) {
        Record saved = pos.record();
        set(pos, c.field, c.value);
        const EmployerCheck check = checkEmployerBeforeSave(types, pos.record());
        EXPECT_FALSE(check.ok) << c.field;
        EXPECT_EQ(check.message, c.message) << c.field;
        EXPECT_EQ(check.focus, c.focus) << c.field;
        pos.record() = saved;
    }
}

TEST_F(EmployerChecksTest, AnEarlierStepWinsOverALaterOne) {
    // A blank name with a wrong identifier and payer type: only the name is named.
    set(pos, "NAZIV", "");
    set(pos, "VRSTOBVEZNIKA", "99");
    set(pos, "JMBG", "123");
    EXPECT_EQ(checkEmployerBeforeSave(types, pos.record()).focus, EmployerField::Name);
}

TEST_F(EmployerChecksTest, ASoundEmployerPassesWithItsIdentifierInStoredForm) {
    const EmployerCheck check = checkEmployerBeforeSave(types, pos.record());
    EXPECT_TRUE(check.ok) << check.message;
    EXPECT_EQ(get(pos, "JMBG"), "  81773745505");
}

} // namespace
