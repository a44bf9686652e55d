#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "data/storage_error.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

class TableAccessTest : public ::testing::Test {
  protected:
    TempDir dir;
    Station st{dir.str()};
    TableAccess& table(const char* name) { return st.open(name); }
    void addEmployer(int number, const std::string& name, const std::string& mb01 = "",
                     const std::string& mb02 = "") {
        TableAccess& pos = table("POS");
        pos.record().clear();
        set(pos, "REDBROJ", std::to_string(number));
        set(pos, "NAZIV", name);
        set(pos, "MB01", mb01);
        set(pos, "MB02", mb02);
        ASSERT_EQ(pos.add(), 0) << name;
    }
};

TEST_F(TableAccessTest, TextKeysFollowCroatianAlphabetBothWays) {
    const std::vector<std::string> names = {"Dž", "Ć", "D",  "Č", "Đ", "C",
                                            "Lj", "L", "Nj", "N", "Z", "Ž"};
    int n = 1;
    for (const auto& name : names)
        addEmployer(n++, name);
    TableAccess& pos = table("POS");
    const std::vector<std::string> sorted = {"C", "Č",  "Ć", "D",  "Dž", "Đ",
                                             "L", "Lj", "N", "Nj", "Z",  "Ž"};
    EXPECT_EQ(column(pos, "KEYNAZIV", "NAZIV"), sorted);
    EXPECT_EQ(column(pos, "KEYNAZIV", "NAZIV", true),
              std::vector<std::string>(sorted.rbegin(), sorted.rend()));
}

TEST_F(TableAccessTest, ReadsFromAnyKeyValueForwardsAndBackwards) {
    for (int i = 1; i <= 50; ++i)
        addEmployer(i * 2, "Firma " + std::to_string(i));
    TableAccess& pos = table("POS");
    pos.setOrder(pos.def().keyIndex("KEYREDBROJ"));
    pos.record().clear();
    set(pos, "REDBROJ", "31"); // between 30 and 32
    pos.setFromBuffer();
    ASSERT_EQ(pos.next(), 0);
    EXPECT_EQ(get(pos, "REDBROJ"), "32");
    ASSERT_EQ(pos.next(), 0);
    EXPECT_EQ(get(pos, "REDBROJ"), "34");
    ASSERT_EQ(pos.previous(), 0);
    EXPECT_EQ(get(pos, "REDBROJ"), "32");
    ASSERT_EQ(pos.previous(), 0);
    EXPECT_EQ(get(pos, "REDBROJ"), "30");
    set(pos, "REDBROJ", "31");
    pos.setFromBuffer();
    ASSERT_EQ(pos.previous(), 0);
    EXPECT_EQ(get(pos, "REDBROJ"), "30");

    // End marking: past the last record the read fails without a message.
    set(pos, "REDBROJ", "100");
    pos.setFromBuffer();
    ASSERT_EQ(pos.next(), 0);
    EXPECT_EQ(pos.next(), result::Failed);
    EXPECT_TRUE(pos.atEof());
    EXPECT_TRUE(st.reporter.boxes.empty());

    // Reading by position.
    set(pos, "REDBROJ", "20");
    ASSERT_EQ(pos.fetch(0), 0);
    const auto at = pos.position();
    pos.record().clear();
    ASSERT_EQ(pos.fetchPosition(at), 0);
    EXPECT_EQ(get(pos, "NAZIV"), "Firma 10");
}

TEST_F(TableAccessTest, CaseInsensitiveKeysCollideCaseSensitiveOnesDoNot) {
    TableAccess& vob = table("VOB");
    for (auto [code, text] : {std::pair{"30", "obrt"}, std::pair{"31", "OBRT"}}) {
        vob.record().clear();
        set(vob, "SIFRA", code);
        set(vob, "SKROPIS", text);
        EXPECT_EQ(vob.add(), 0) << code; // VOB:KEYNAZIV is unique but case-sensitive
    }
    // VUP:KEYNAZIV is case-insensitive with duplicates: both rows stay, in one sort position.
    TableAccess& vup = table("VUP");
    for (auto [code, text] :
         {std::pair{"01", "redovna isplata"}, std::pair{"02", "REDOVNA ISPLATA"}}) {
        vup.record().clear();
        set(vup, "SIFRA", code);
        set(vup, "OPIS", text);
        EXPECT_EQ(vup.add(), 0);
    }
    vup.record().clear();
    set(vup, "OPIS", "Redovna Isplata");
    ASSERT_EQ(vup.fetch(vup.def().keyIndex("KEYNAZIV")), 0);
    EXPECT_EQ(get(vup, "SIFRA"), "01");
    // A case-insensitive unique key refuses a value that differs only in case.
    TableAccess& vez = table("VEZ");
    for (auto voi : {"aa", "AA"}) {
        vez.record().clear();
        set(vez, "VOB", "31");
        set(vez, "VOI", voi);
        set(vez, "OO", "01");
        vez.add();
    }
    EXPECT_EQ(st.reporter.lastBox().title, "Duplicate Key Error");
    EXPECT_EQ(st.reporter.lastBox().text,
              "Adding this record creates a duplicate entry for the key: VOI, OO i VOB");
}

TEST_F(TableAccessTest, BlankEntriesAreLeftOutOfTheirKey) {
    addEmployer(0, "");
    addEmployer(0, "Bez broja");
    addEmployer(5, "Pet");
    TableAccess& pos = table("POS");
    EXPECT_EQ(column(pos, "KEYREDBROJ", "NAZIV"), std::vector<std::string>{"Pet"});
    EXPECT_EQ(column(pos, "KEYNAZIV", "NAZIV"), (std::vector<std::string>{"Bez broja", "Pet"}));
    EXPECT_EQ(column(pos, "", "NAZIV"), (std::vector<std::string>{"", "Bez broja", "Pet"}));
}

TEST_F(TableAccessTest, FetchingABlankKeyValueFindsNothingQuietlyAfterReadingToTheEnd) {
    addEmployer(5, "Pet");
    TableAccess& pos = table("POS");
    // The last read ran past the end: its error must not be taken for the fetch's.
    pos.setOrder(pos.def().keyIndex("KEYREDBROJ"));
    pos.setStart();
    while (pos.next() == 0) {
    }
    st.reporter.clear();
    pos.record().clear();
    EXPECT_NE(pos.fetch(pos.def().keyIndex("KEYREDBROJ")), 0);
    EXPECT_EQ(pos.lastError().code, err::RecordNotFound);
    EXPECT_TRUE(st.reporter.boxes.empty());
}

TEST_F(TableAccessTest, DuplicateKeyNamesFirstDuplicatedKey) {
    addEmployer(1, "Prva", "12345678", "0001");
    TableAccess& pos = table("POS");
    pos.record().clear();
    set(pos, "REDBROJ", "1");
    set(pos, "NAZIV", "Prva");
    set(pos, "MB01", "12345678");
    set(pos, "MB02", "0001");
    EXPECT_EQ(pos.add(), result::Failed);
    EXPECT_EQ(st.reporter.lastBox().text,
              "Adding this record creates a duplicate entry for the key: Redni broj obveznika");
    // Same business number under another employer number is not a duplicate of KEYMB,
    // but the same number, business number and different name is one of KEYMB.
    set(pos, "REDBROJ", "2");
    EXPECT_EQ(pos.add(), 0);
    EXPECT_EQ(pos.count(), 2);
    // A change that would repeat a unique key is refused as a failed change.
    set(pos, "REDBROJ", "1");
    EXPECT_EQ(pos.change(), result::Failed);
    EXPECT_EQ(st.reporter.lastBox().title, "Record was not updated");
    EXPECT_EQ(st.reporter.lastBox().text, "An error (Creates Duplicate Key (40)) was experienced "
                                          "when making changes to the TBPOSLOD.DAT file.");
}

TEST_F(TableAccessTest, AutoNumberingStartsAtOneAndCounts) {
    TableAccess& opc = table("OPC");
    for (auto [name, code] :
         {std::pair{"Zagreb", "1333"}, std::pair{"Split", "4090"}, std::pair{"Rijeka", "3735"}}) {
        opc.record().clear();
        set(opc, "NAZIV", name);
        set(opc, "SIFRA", code);
        ASSERT_EQ(opc.add(), 0);
    }
    // A duplicate code is refused by its own key, not retried with fresh numbers.
    opc.record().clear();
    set(opc, "NAZIV", "Drugi Zagreb");
    set(opc, "SIFRA", "1333");
    EXPECT_EQ(opc.add(), result::Failed);
    EXPECT_EQ(st.reporter.lastBox().text,
              "Adding this record creates a duplicate entry for the key: Šifra općine/grada");
    EXPECT_EQ(column(opc, "KEYREDB", "REDBROJ"), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(column(opc, "KEYREDB", "NAZIV"),
              (std::vector<std::string>{"Zagreb", "Split", "Rijeka"}));

    // A reserved number of a cancelled insert is given back.
    opc.record().clear();
    ASSERT_EQ(opc.primeAutoNumber(), 0);
    EXPECT_EQ(get(opc, "REDBROJ"), "4");
    EXPECT_EQ(opc.count(), 4);
    ASSERT_EQ(opc.cancelAutoNumber(), 0);
    EXPECT_EQ(opc.count(), 3);
    // A reserved number is kept by the add that follows.
    ASSERT_EQ(opc.primeAutoNumber(), 0);
    set(opc, "NAZIV", "Osijek");
    set(opc, "SIFRA", "3123");
    ASSERT_EQ(opc.add(), 0);
    EXPECT_EQ(column(opc, "KEYREDB", "NAZIV").back(), "Osijek");
    EXPECT_EQ(opc.count(), 4);

    // When the highest number the field can hold is taken, the add fails at
    // once instead of asking to try again and again.
    opc.record().clear();
    set(opc, "REDBROJ", "32767");
    std::int64_t rowid = 0;
    ASSERT_FALSE(opc.file()->insert(opc.record(), rowid));
    opc.record().clear();
    set(opc, "NAZIV", "Pula");
    EXPECT_EQ(opc.add(), result::Failed);
    EXPECT_EQ(st.reporter.lastBox().title, "Record Insert Error");
    EXPECT_EQ(st.reporter.lastBox().text, "An error was experienced during the creation of a "
                                          "record. Error: Invalid Key Length (88).");
}

TEST_F(TableAccessTest, CalculationYearOutOfRangeIsRefusedOnAddAndChange) {
    TableAccess& osi = table("OSI");
    osi.record().clear();
    set(osi, "JMBG", "0101990330001");
    set(osi, "GODOBRA", "2000");
    EXPECT_EQ(osi.add(), result::Failed);
    EXPECT_EQ(st.reporter.lastBox().title, "Range Error");
    EXPECT_EQ(st.reporter.lastBox().text,
              "The value of Obračunska godina must be between 2001 and 2100.");
    EXPECT_EQ(osi.count(), 0);
    set(osi, "GODOBRA", "2010");
    ASSERT_EQ(osi.add(), 0);
    set(osi, "GODOBRA", "2101");
    EXPECT_EQ(osi.change(), result::Failed);
    EXPECT_EQ(st.reporter.boxes.size(), 2u);
    osi.setOrder(-1);
    ASSERT_EQ(osi.next(), 0);
    EXPECT_EQ(get(osi, "GODOBRA"), "2010");
    // The error table takes any year: a finding is never lost to a range check.
    TableAccess& gre = table("GRE");
    set(gre, "GODOBRA", "1999");
    EXPECT_EQ(gre.add(), 0);
}

// A stored text holds no control character (a line break or tab in a name
// would break the records formed from it); the tables that keep an input
// file's lines as they are take any byte.
TEST_F(TableAccessTest, ControlCharactersAreRefusedInStoredTexts) {
    addEmployer(1, "Tehno servis");
    TableAccess& pos = table("POS");
    for (const char* value : {"Tehno\r\nservis", "Tehno\tservis", "Tehno\x1b[31m"}) {
        SCOPED_TRACE(value);
        set(pos, "NAZIV", value);
        EXPECT_EQ(pos.change(), result::Failed);
        EXPECT_EQ(st.reporter.lastBox().title, "Field contents error");
    }
    EXPECT_EQ(st.reporter.lastBox().text, "The value of POS:NAZIV must not hold control "
                                          "characters; it holds \\x1b at character 6.");
    pos.record().clear();
    set(pos, "REDBROJ", "2");
    set(pos, "ADRESA", "Ilica\n1");
    EXPECT_EQ(pos.add(), result::Failed);
    EXPECT_EQ(pos.count(), 1);
    TableAccess& gre = table("GRE");
    set(gre, "PREZIME", "Radnik\tTab");
    set(gre, "GODOBRA", "2026");
    EXPECT_EQ(gre.add(), 0);
}

TEST_F(TableAccessTest, ChangeByAnotherStationIsDetectedAndShown) {
    addEmployer(1, "Staro ime");
    Station other(dir.str());
    TableAccess& mine = table("POS");
    TableAccess& theirs = other.tables.access("POS");
    ASSERT_EQ(theirs.open(), 0);
    mine.setOrder(0);
    theirs.setOrder(0);
    ASSERT_EQ(mine.next(), 0);
    ASSERT_EQ(theirs.next(), 0);
    set(theirs, "NAZIV", "Njihovo ime");
    ASSERT_EQ(theirs.change(), 0);
    set(mine, "NAZIV", "Moje ime");
    EXPECT_EQ(mine.change(), result::Failed);
    EXPECT_EQ(st.reporter.lastBox().title, "Record Was Not Updated");
    EXPECT_EQ(st.reporter.lastBox().text, "This record was changed by another station.");
    EXPECT_EQ(get(mine, "NAZIV"), "Njihovo ime");
    // Once re-read, the change goes through; the redisplay variant shows message 7.
    set(mine, "NAZIV", "Moje ime");
    EXPECT_EQ(mine.change(), 0);
    set(theirs, "NAZIV", "Opet njihovo");
    EXPECT_EQ(theirs.change(true), result::Failed);
    EXPECT_EQ(other.reporter.lastBox().text,
              "This record was changed by another station. Those changes will now be displayed. "
              "Use the Ditto Button or Ctrl+' to recall your changes.");
    EXPECT_EQ(get(theirs, "NAZIV"), "Moje ime");
}

TEST_F(TableAccessTest, UseBeforeOpenEndsTheProgram) {
    TableAccess& pos = st.tables.access("POS");
    EXPECT_EQ(pos.next(), result::Fatal);
    EXPECT_EQ(st.reporter.lastBox().title, "File Usage Error");
    EXPECT_EQ(st.reporter.lastBox().text, "Attempt to use file (TBPOSLOD.DAT) before it was opened "
                                          " Press OK to end this application");
    EXPECT_TRUE(st.reporter.ended());
}

TEST_F(TableAccessTest, MissingFileIsCreatedButTheDBaseSourceIsNot) {
    EXPECT_EQ(st.tables.access("POS").open(), 0);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "TBPOSLOD.DAT"));
    EXPECT_TRUE(st.reporter.boxes.empty());
    EXPECT_EQ(st.tables.access("DOR").open(), result::Fatal);
    EXPECT_EQ(st.reporter.lastBox().title, "File Access Error");
    EXPECT_EQ(st.reporter.lastBox().text,
              "File (Dorvik.dbf) could not be opened.  Error: No Create Attribute (54).  Press OK "
              "to end this application");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Dorvik.dbf"));
}

TEST_F(TableAccessTest, DamagedFileIsRefusedWithItsName) {
    std::ofstream(dir.file("TBPOSLOD.DAT")) << "this is not a table";
    EXPECT_EQ(st.tables.access("POS").open(), result::Fatal);
    EXPECT_EQ(st.reporter.lastBox().text,
              "File (TBPOSLOD.DAT) could not be opened.  Error: Invalid Data File (36).  Press OK "
              "to end this application");
    std::ifstream in(dir.file("TBPOSLOD.DAT"));
    std::string content;
    std::getline(in, content);
    EXPECT_EQ(content, "this is not a table");
}

TEST_F(TableAccessTest, DeniedWritingFallsBackToReadingWithMessage2) {
    TableAccess& batch = table("ULZ");
    Station other(dir.str());
    TableAccess& run = other.tables.access("ULZ");
    run.setShareMode(ShareMode::DenyWrite);
    batch.close();
    ASSERT_EQ(run.open(), 0);
    EXPECT_EQ(batch.open(), 0);
    EXPECT_EQ(st.reporter.lastBox().title, "Access Denied");
    EXPECT_EQ(st.reporter.lastBox().text,
              "Could not get write access to TBIZLAZ.DAT so trying read-only.");
    set(batch, "TIPSLOGA", "5");
    EXPECT_EQ(batch.add(), result::Failed);
    EXPECT_EQ(st.reporter.lastBox().title, "Record Insert Error");
    EXPECT_EQ(
        st.reporter.lastBox().text,
        "An error was experienced during the creation of a record. Error: Access Denied (5).");
    EXPECT_EQ(batch.count(), 0);
    set(run, "TIPSLOGA", "5");
    EXPECT_EQ(run.add(), 0);
}

} // namespace
