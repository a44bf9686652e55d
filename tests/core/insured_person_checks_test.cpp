#include <gtest/gtest.h>

#include <functional>

#include "data/csv_table_load.h"
#include "rules/insured_person_checks.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

constexpr int kThisYear = 2010;
const char* const kPerson = "0101990330000"; // a valid JMBG
const char* const kOther = "1503985330013";  // another one

const std::string kRef = "Provjerite kontrolnu tablicu za VOB=31 VOI=01 OO=01";

class InsuredPersonTest : public ::testing::Test {
  protected:
    void SetUp() override {
        load("VEZ", "VOB,VOI,OO,OBRMJE,GODINA,DANOD,DANDO,PLAGOD,PLAMJE,IZNOS7,IZNOS8,IZNOS9,"
                    "IZNOS10,IZNOS11\n"
                    "31,01,01,>0,>0,>0,>0,>0,>0,>0,>0,>0,>=0,>0\n");
        load("STO1", "CLANDN,VRSTOBRACUNA,VRSTAOBVEZNIKA,OSNOVOBRA,STAZ,PRVISTUP1,PRVISTUP2,"
                     "DRUGISTUP1,DRUGISTUP2\n"
                     "D,01,31,01,0,15.00,0.00,5.00,0.00\n"
                     "N,01,31,01,0,15.00,5.00,0.00,0.00\n");
        ASSERT_EQ(rad.open(), result::Ok);
        fill(rad, kPerson);
        st.reporter.clear();
    }

    void load(const char* table, const char* csv) {
        ASSERT_TRUE(loadCsvText(st.tables.access(table), csv, std::string(table) + ".csv").ok);
    }

    // A member's March 2010 payment that passes every check.
    static void fill(TableAccess& t, const char* id) {
        t.record().clear();
        for (const auto& [field, value] :
             std::initializer_list<std::pair<const char*, const char*>>{{"REDBROJ", "1"},
                                                                        {"JMBG", id},
                                                                        {"PREZIME", "Horvat Ana"},
                                                                        {"OPCINA", "0019"},
                                                                        {"VRSOBV", "31"},
                                                                        {"VRSTAUPLA", "01"},
                                                                        {"CLANDN", "D"},
                                                                        {"OSNOVA1", "01"},
                                                                        {"OSNOVA3", "0"},
                                                                        {"GODOBRA", "2010"},
                                                                        {"MJEOBRA", "3"},
                                                                        {"ODDANA", "1"},
                                                                        {"DODANA", "31"},
                                                                        {"IZNOS7", "1000.00"},
                                                                        {"IZNOS8", "1000.00"},
                                                                        {"IZNOS9", "150.00"},
                                                                        {"IZNOS10", "50.00"},
                                                                        {"IZNOS11", "700.00"}})
            set(t, field, value);
    }

    // Stores a copy of the edited row changed by `change`; its position.
    std::int64_t store(const std::function<void(TableAccess&)>& change) {
        TableAccess& other = st.tables.access("RAD1");
        EXPECT_EQ(other.open(), result::Ok);
        other.record().assign(rad.record().bytes());
        change(other);
        EXPECT_EQ(other.add(), result::Ok);
        const std::int64_t position = other.position();
        other.close();
        return position;
    }

    EntryOutcome save(SaveRequest request = {}) {
        request.currentYear = kThisYear;
        return checkBeforeSave(st.tables, rad.record(), request);
    }

    TempDir dir;
    Station st{dir.str()};
    TableAccess& rad = st.tables.access("RAD");
};

using Messages = std::vector<std::string>;

TEST_F(InsuredPersonTest, SaveChecksStopAtTheFirstFailure) {
    const std::string yearText = "Godina mora biti veća od 2004 i manja ili jednaka tekućoj godini";
    const struct {
        const char* what;
        std::function<void(TableAccess&, SaveRequest&)> change;
        Messages messages;
        PersonField focus;
        bool proceed;
    } cases[] = {
        {"all good", [](TableAccess&, SaveRequest&) {}, {}, PersonField::None, true},
        {"3-digit year",
         [](TableAccess&, SaveRequest& r) { r.yearText = "201"; },
         {"Godina mora biti 4-znamenkasta", yearText},
         PersonField::Year,
         false},
        {"year not numeric",
         [](TableAccess&, SaveRequest& r) { r.yearText = "20x1"; },
         {"Godina mora biti numerik", yearText},
         PersonField::Year,
         false},
        {"short non-numeric year",
         [](TableAccess&, SaveRequest& r) { r.yearText = "x"; },
         {"Godina mora biti numerik", "Godina mora biti 4-znamenkasta", yearText},
         PersonField::Year,
         false},
        {"next year",
         [](TableAccess& t, SaveRequest&) { set(t, "GODOBRA", "2011"); },
         {},
         PersonField::None,
         true},
        {"year after next",
         [](TableAccess& t, SaveRequest&) { set(t, "GODOBRA", "2012"); },
         {yearText},
         PersonField::Year,
         false},
        {"2004",
         [](TableAccess& t, SaveRequest&) { set(t, "GODOBRA", "2004"); },
         {yearText},
         PersonField::Year,
         false},
        {"membership before month",
         [](TableAccess& t, SaveRequest&) {
             set(t, "CLANDN", "");
             set(t, "MJEOBRA", "13");
         },
         {"Obvezno odredite da li je osoba član OMF ili nije"},
         PersonField::Membership,
         false},
        {"month not numeric",
         [](TableAccess&, SaveRequest& r) { r.monthText = "3a"; },
         {"Mjesec mora biti numerik sa vodećom nulom"},
         PersonField::Month,
         false},
        {"month 13",
         [](TableAccess& t, SaveRequest&) { set(t, "MJEOBRA", "13"); },
         {"Pogrešna oznaka mjeseca"},
         PersonField::Month,
         false},
        {"30 February from",
         [](TableAccess& t, SaveRequest&) {
             set(t, "MJEOBRA", "2");
             set(t, "ODDANA", "30");
         },
         {"Pogrešan dan"},
         PersonField::DayFrom,
         false},
        {"30 February to",
         [](TableAccess& t, SaveRequest&) { set(t, "MJEOBRA", "2"); },
         {"Pogrešan dan"},
         PersonField::DayTo,
         false},
        {"month 0 left to the control table",
         [](TableAccess& t, SaveRequest&) {
             set(t, "MJEOBRA", "0");
             set(t, "ODDANA", "45");
         },
         {"Greška - obračunski mjesec mora biti >0 " + kRef},
         PersonField::Month,
         false},
        {"day before the amounts",
         [](TableAccess& t, SaveRequest&) {
             set(t, "ODDANA", "0");
             set(t, "IZNOS7", "0");
         },
         {"Greška - razdoblje od mora biti >0. " + kRef},
         PersonField::DayFrom,
         false},
        {"gross 0",
         [](TableAccess& t, SaveRequest&) {
             set(t, "IZNOS7", "0");
             set(t, "JMBG", "1234567890123");
         },
         {"Greška - Iznos obračunane plaće mora biti >0. " + kRef},
         PersonField::Gross,
         false},
        {"pillar I 0",
         [](TableAccess& t, SaveRequest&) { set(t, "IZNOS9", "0"); },
         {"Greška - Iznos doprinosa za I. stup mora biti >0. " + kRef},
         PersonField::Pillar1,
         false},
        {"non-member paying pillar II",
         [](TableAccess& t, SaveRequest&) { set(t, "CLANDN", "N"); },
         {"Greška - Osoba nije član II.stupa"},
         PersonField::Pillar2,
         false},
        {"member without pillar II, before the net amount",
         [](TableAccess& t, SaveRequest&) {
             set(t, "IZNOS10", "0");
             set(t, "IZNOS11", "0");
         },
         {"Greška - Osoba je član II.stupa, osnovica veća od 0"},
         PersonField::Pillar2,
         false},
        {"net 0",
         [](TableAccess& t, SaveRequest&) { set(t, "IZNOS11", "0"); },
         {"Greška - Iznos ispaćene plaće mora biti >0. " + kRef},
         PersonField::Net,
         false},
        {"identifier",
         [](TableAccess& t, SaveRequest&) { set(t, "JMBG", "1234567890123"); },
         {"Provjerite identifikacijski broj osiguranika"},
         PersonField::Identifier,
         false},
        {"missing combination warns and goes on",
         [](TableAccess& t, SaveRequest&) {
             set(t, "OSNOVA1", "77");
             set(t, "IZNOS7", "0");
         },
         {"Upozorenje. Navedena kombinacija VOB=31 VOI=01 OO=77 nije uvedena u kontrolnu "
          "tablicu"},
         PersonField::None,
         true},
        {"missing combination, then the identifier",
         [](TableAccess& t, SaveRequest&) {
             set(t, "OSNOVA1", "77");
             set(t, "JMBG", "1234567890123");
         },
         {"Upozorenje. Navedena kombinacija VOB=31 VOI=01 OO=77 nije uvedena u kontrolnu "
          "tablicu",
          "Provjerite identifikacijski broj osiguranika"},
         PersonField::Identifier,
         false},
        {"type 99 skips rules and membership",
         [](TableAccess& t, SaveRequest&) {
             set(t, "VRSTAUPLA", "99");
             set(t, "MJEOBRA", "0");
             set(t, "CLANDN", "N");
             set(t, "IZNOS7", "0");
         },
         {},
         PersonField::None,
         true},
        {"type 88 still checks the identifier",
         [](TableAccess& t, SaveRequest&) {
             set(t, "VRSTAUPLA", "88");
             set(t, "IZNOS11", "0");
             set(t, "JMBG", "1234567890123");
         },
         {"Provjerite identifikacijski broj osiguranika"},
         PersonField::Identifier,
         false},
    };
    for (const auto& c : cases) {
        fill(rad, kPerson);
        SaveRequest request;
        c.change(rad, request);
        const EntryOutcome out = save(request);
        EXPECT_EQ(out.messages, c.messages) << c.what;
        EXPECT_EQ(out.focus, c.focus) << c.what;
        EXPECT_EQ(out.proceed, c.proceed) << c.what;
    }
    EXPECT_TRUE(st.reporter.boxes.empty());
}

TEST_F(InsuredPersonTest, SavingStoresTheIdentifiersStoredForm) {
    set(rad, "JMBG", "12345678903"); // an OIB typed from the first character
    const EntryOutcome out = save();
    EXPECT_TRUE(out.proceed);
    EXPECT_EQ(rad.record().text(rad.def().fieldIndex("JMBG")), "  12345678903");
}

TEST_F(InsuredPersonTest, EarlierPaymentOfTheMonthExemptsAZeroAmount) {
    // Another month's payment does not count.
    store([](TableAccess& t) { set(t, "MJEOBRA", "4"); });
    // Another person's payment of the month does not count.
    store([](TableAccess& t) { set(t, "JMBG", kOther); });
    set(rad, "IZNOS7", "0");
    const Messages gross{"Greška - Iznos obračunane plaće mora biti >0. " + kRef};
    EXPECT_EQ(save().messages, gross);
    // The person's earlier payment of March with a positive gross amount.
    store([](TableAccess& t) { set(t, "IZNOS7", "1000.00"); });
    const EntryOutcome out = save();
    EXPECT_TRUE(out.proceed);
    EXPECT_TRUE(out.messages.empty());
}

TEST_F(InsuredPersonTest, RecordBeingChangedDoesNotExemptItself) {
    // The stored record had a gross amount; the user sets it to 0.
    const std::int64_t self = store([](TableAccess&) {});
    set(rad, "IZNOS7", "0");
    const EntryOutcome out = save({.storedPosition = self});
    EXPECT_FALSE(out.proceed);
    EXPECT_EQ(out.focus, PersonField::Gross);
    // A second stored payment of the month does exempt it.
    store([](TableAccess& t) { set(t, "IZNOS7", "1000.00"); });
    EXPECT_TRUE(save({.storedPosition = self}).proceed);
}

TEST_F(InsuredPersonTest, FieldReactions) {
    const struct {
        const char* year;
        Messages messages;
    } years[] = {
        {"2010", {}},
        {"2011", {}}, // leaving the field tests the lower bound only
        {"2004", {"Greška. Godina mora biti veća od 2004 a manja ili jednaka tekućoj"}},
        {"201",
         {"Greška. Godina mora biti 4-znamenkasta",
          "Greška. Godina mora biti veća od 2004 a manja ili jednaka tekućoj"}},
        {"2o10",
         {"Greška. Godina mora biti numerik",
          "Greška. Godina mora biti veća od 2004 a manja ili jednaka tekućoj"}},
    };
    for (const auto& y : years) {
        const EntryOutcome out = yearLeft(y.year);
        EXPECT_EQ(out.messages, y.messages) << y.year;
        EXPECT_EQ(out.focus, y.messages.empty() ? PersonField::None : PersonField::Year);
    }
    EXPECT_EQ(monthLeft("1x").messages, Messages{"Mjesec mora biti numerik"});
    EXPECT_EQ(monthLeft("13").messages, Messages{"Pogrešna oznaka mjeseca"});
    EXPECT_TRUE(monthLeft("0").proceed);
    EXPECT_TRUE(monthLeft("12").proceed);

    set(rad, "MJEOBRA", "2");
    set(rad, "ODDANA", "30");
    EXPECT_EQ(dayLeft(rad.record(), PersonField::DayFrom).messages, Messages{"Pogrešan dan"});
    EXPECT_EQ(dayLeft(rad.record(), PersonField::DayFrom).focus, PersonField::DayFrom);
    set(rad, "DODANA", "29"); // 2010 is no leap year
    EXPECT_EQ(dayLeft(rad.record(), PersonField::DayTo).focus, PersonField::DayTo);
    set(rad, "GODOBRA", "2012");
    EXPECT_TRUE(dayLeft(rad.record(), PersonField::DayTo).proceed);
    set(rad, "MJEOBRA", "0"); // no day check without a month
    EXPECT_TRUE(dayLeft(rad.record(), PersonField::DayFrom).proceed);

    EXPECT_TRUE(pillar2Left(rad.record()).proceed);
    set(rad, "CLANDN", "N");
    EXPECT_EQ(pillar2Left(rad.record()).messages,
              Messages{"Greška. Osiguranik nije član OMF. Nema doprinosa za II. stup"});
    set(rad, "IZNOS10", "0");
    EXPECT_TRUE(pillar2Left(rad.record()).proceed);

    set(rad, "JMBG", "12345678903");
    EXPECT_TRUE(identifierLeft(rad.record()).proceed);
    EXPECT_EQ(get(rad, "JMBG"), "  12345678903");
    set(rad, "JMBG", "12345678904");
    const EntryOutcome bad = identifierLeft(rad.record());
    EXPECT_EQ(bad.messages, Messages{"Provjerite identifikacijski broj osiguranika "});
    EXPECT_EQ(bad.focus, PersonField::Identifier);
}

TEST_F(InsuredPersonTest, EnteringContributionFieldsProposesAmounts) {
    TableAccess& rates = st.tables.access("STO1");
    ASSERT_EQ(rates.open(), result::Ok);
    set(rad, "IZNOS8", "1234.56");
    ASSERT_TRUE(proposeContribution(rates, rad.record(), Pillar::One));
    EXPECT_EQ(get(rad, "IZNOS9"), "185.18"); // 15 % of 1234.56 = 185.184
    EXPECT_EQ(get(rad, "PRVISTUP1"), "15.00");
    EXPECT_EQ(get(rad, "DRUGISTUP1"), "0.00"); // pillar II rates are copied on entering pillar II
    ASSERT_TRUE(proposeContribution(rates, rad.record(), Pillar::Two));
    EXPECT_EQ(get(rad, "IZNOS10"), "61.73"); // 61.728
    EXPECT_EQ(get(rad, "DRUGISTUP1"), "5.00");

    // A non-member's row: both pillar I rates apply, pillar II is 0.
    set(rad, "CLANDN", "N");
    ASSERT_TRUE(proposeContribution(rates, rad.record(), Pillar::One));
    EXPECT_EQ(get(rad, "IZNOS9"), "246.91");
    EXPECT_EQ(get(rad, "PRVISTUP2"), "5.00");
    ASSERT_TRUE(proposeContribution(rates, rad.record(), Pillar::Two));
    EXPECT_EQ(get(rad, "IZNOS10"), "0.00");

    // No rate row: the field keeps what the user typed.
    set(rad, "OSNOVA3", "1");
    set(rad, "IZNOS9", "99.99");
    const Record before = rad.record();
    EXPECT_FALSE(proposeContribution(rates, rad.record(), Pillar::One));
    EXPECT_TRUE(rad.record() == before);
    rates.close();
}

TEST_F(InsuredPersonTest, NamesAndCodesAreLookedUp) {
    load("OPC", "REDBROJ,GRAD,NAZIV,SIFRA,POREZ,PRIREZ\n1,N,Andrijaševci,0019,12.00,0.00\n"
                "2,N,Antunovac,0027,12.00,0.00\n");
    load("VUP", "SIFRA,SKROPIS,OPIS\n01,Mjesečni obračun,Redovni mjesečni obračun\n");
    TableAccess& places = st.tables.access("OPC");
    ASSERT_EQ(places.open(), result::Ok);
    EXPECT_TRUE(takeMunicipalityByName(places, rad.record(), "Antunovac"));
    EXPECT_EQ(get(rad, "OPCINA"), "0027");
    EXPECT_FALSE(takeMunicipalityByName(places, rad.record(), "Nigdje"));
    EXPECT_EQ(get(rad, "OPCINA"), "0027");
    EXPECT_TRUE(takeMunicipalityByName(places, rad.record(), "Andrijaševci"));
    EXPECT_EQ(get(rad, "OPCINA"), "0019");
    TableAccess& types = st.tables.access("VUP");
    ASSERT_EQ(types.open(), result::Ok);
    EXPECT_EQ(shortDescription(types, "01"), "Mjesečni obračun");
    EXPECT_EQ(shortDescription(types, "77"), "");
    EXPECT_TRUE(st.reporter.boxes.empty());
}

} // namespace
