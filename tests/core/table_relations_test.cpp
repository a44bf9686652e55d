#include <gtest/gtest.h>

#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

struct Company {
    Station& st;
    void employer(int number, const std::string& name) {
        TableAccess& pos = st.tables.access("POS");
        ASSERT_EQ(pos.open(), 0);
        pos.record().clear();
        set(pos, "REDBROJ", std::to_string(number));
        set(pos, "NAZIV", name);
        ASSERT_EQ(pos.add(), 0);
    }
    void employee(int employer, const std::string& id) {
        TableAccess& rad = st.tables.access("RAD");
        ASSERT_EQ(rad.open(), 0);
        rad.record().clear();
        set(rad, "REDBROJ", std::to_string(employer));
        set(rad, "JMBG", id);
        set(rad, "PREZIME", "Osoba " + id);
        ASSERT_EQ(rad.add(), 0);
    }
    void pageB(const std::string& id) {
        TableAccess& osi = st.tables.access("OSI");
        ASSERT_EQ(osi.open(), 0);
        osi.record().clear();
        set(osi, "JMBG", id);
        set(osi, "GODOBRA", "2010");
        ASSERT_EQ(osi.add(), 0);
    }
    // Reads the employer by number into the buffer.
    void select(int number) {
        TableAccess& pos = st.tables.access("POS");
        pos.record().clear();
        set(pos, "REDBROJ", std::to_string(number));
        ASSERT_EQ(pos.fetch(pos.def().keyIndex("KEYREDBROJ")), 0);
    }
};

TEST(TableRelations, DeletingAnEmployerDeletesItsEmployeesOnly) {
    TempDir dir;
    Station st(dir.str());
    Company c{st};
    c.employer(1, "Prva");
    c.employer(2, "Druga");
    for (auto id : {"1", "2", "3"})
        c.employee(1, id);
    c.employee(2, "4");
    c.select(1);
    st.reporter.answers.push_back(ButtonYes);
    ASSERT_EQ(st.tables.relations("POS").remove(true), 0);
    EXPECT_EQ(st.reporter.lastBox().title, "Confirm Delete");
    EXPECT_EQ(st.reporter.lastBox().text,
              "Are you sure you want to delete the highlighted record?");
    EXPECT_EQ(column(st.tables.access("POS"), "KEYREDBROJ", "NAZIV"),
              std::vector<std::string>{"Druga"});
    EXPECT_EQ(column(st.tables.access("RAD"), "KEYOSOBA", "JMBG"), std::vector<std::string>{"4"});
}

TEST(TableRelations, NoAnswerKeepsEverything) {
    TempDir dir;
    Station st(dir.str());
    Company c{st};
    c.employer(1, "Prva");
    c.employee(1, "1");
    c.select(1);
    st.reporter.answers.push_back(ButtonNo);
    EXPECT_EQ(st.tables.relations("POS").remove(true), result::Failed);
    EXPECT_EQ(st.tables.access("POS").count(), 1);
    EXPECT_EQ(st.tables.access("RAD").count(), 1);
}

// With a restricting rule one level down, one employee that cannot go stops
// the whole deletion: the employer and every employee stay.
TEST(TableRelations, CascadeIsAllOrNothing) {
    std::vector<Relation> relations = standardRelations();
    for (auto& r : relations)
        if (r.parent == "RAD" && r.child == "OSI") r.onDelete = rule::Restrict;
    TempDir dir;
    Station st(dir.str(), relations);
    Company c{st};
    c.employer(1, "Prva");
    for (auto id : {"1", "2", "3"})
        c.employee(1, id);
    c.pageB("3"); // the third employee is referenced from a form
    c.select(1);
    EXPECT_EQ(st.tables.relations("POS").remove(), result::Failed);
    EXPECT_EQ(st.reporter.lastBox().title, "Referential Integrity Delete Error");
    EXPECT_EQ(st.reporter.lastBox().text,
              "This record is referenced from the file TBOSIGUR.DAT. This record cannot be deleted "
              "while these references exist.");
    EXPECT_EQ(st.tables.access("POS").count(), 1);
    EXPECT_EQ(column(st.tables.access("RAD"), "KEYOSOBA", "JMBG"),
              (std::vector<std::string>{"1", "2", "3"}));
    // The window's own buffer still shows the employer it was on.
    EXPECT_EQ(get(st.tables.access("POS"), "NAZIV"), "Prva");
}

TEST(TableRelations, ClearAndCascadeOnChangeAndClearOnDelete) {
    std::vector<Relation> relations = standardRelations();
    for (auto& r : relations)
        if (r.parent == "POS") {
            r.onChange = rule::Cascade;
            r.onDelete = rule::Clear;
        }
    TempDir dir;
    Station st(dir.str(), relations);
    Company c{st};
    c.employer(1, "Prva");
    c.employee(1, "1");
    c.employee(1, "2");
    c.select(1);
    set(st.tables.access("POS"), "REDBROJ", "7");
    ASSERT_EQ(st.tables.relations("POS").change(), 0);
    EXPECT_EQ(column(st.tables.access("RAD"), "KEYOSOBA", "REDBROJ"),
              (std::vector<std::string>{"7", "7"}));
    c.select(7);
    ASSERT_EQ(st.tables.relations("POS").remove(), 0);
    EXPECT_EQ(column(st.tables.access("RAD"), "KEYOSOBA", "REDBROJ"),
              (std::vector<std::string>{"0", "0"}));
}

TEST(TableRelations, RestrictOnChangePutsTheLinkBack) {
    std::vector<Relation> relations = standardRelations();
    for (auto& r : relations)
        if (r.parent == "POS") r.onChange = rule::Restrict;
    TempDir dir;
    Station st(dir.str(), relations);
    Company c{st};
    c.employer(1, "Prva");
    c.employee(1, "1");
    c.select(1);
    set(st.tables.access("POS"), "REDBROJ", "9");
    EXPECT_EQ(st.tables.relations("POS").change(), result::Failed);
    EXPECT_EQ(st.reporter.lastBox().title, "Referential Integrity Update Error");
    EXPECT_EQ(get(st.tables.access("POS"), "REDBROJ"), "1");
    EXPECT_EQ(column(st.tables.access("POS"), "KEYREDBROJ", "REDBROJ"),
              std::vector<std::string>{"1"});
}

} // namespace
