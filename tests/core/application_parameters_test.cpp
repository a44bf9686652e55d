#include <gtest/gtest.h>

#include "base/day_number.h"
#include "setup/initialize.h"
#include "support/table_fixture.h"
#include "ui_model/application_parameters.h"

using namespace mvz;
using namespace mvz::test;

namespace {

class ApplicationParametersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Station init(dir.str());
        InitResult r =
            initializeDataDirectory(dir.str(), init.errors, {true, dayNumber(2010, 3, 15)});
        ASSERT_TRUE(r.ok) << r.error;
    }
    // Record 1 as another program reads it afterwards.
    std::string stored(const std::string& field) {
        Station st(dir.str());
        TableAccess& apl = st.tables.access("APL");
        EXPECT_EQ(apl.open(), 0);
        apl.setStart();
        std::string out;
        if (field == "COUNT")
            out = std::to_string(apl.count());
        else
            out = apl.next() == result::Ok ? get(apl, field) : "<none>";
        apl.close();
        return out;
    }
    std::string folderFile() { return slurp(dir.file("TBIZLFOLDER.TXT")); }

    TempDir dir;
};

TEST_F(ApplicationParametersTest, OpensOnRecordOneAndTheMz0Folder) {
    Station st(dir.str());
    ApplicationParameters p(st.tables);
    p.open();
    EXPECT_TRUE(st.reporter.boxes.empty());
    EXPECT_TRUE(p.recordFound());
    EXPECT_FALSE(p.readOnly());
    EXPECT_EQ(p.value("RB"), "1");
    EXPECT_EQ(p.value("RADDIR"), dir.str() + "/rad/");
    EXPECT_EQ(p.mz0Folder, dir.str() + "/mz0/");
    auto towns = p.municipalities();
    ASSERT_GT(towns.size(), 20u);
    EXPECT_EQ(towns.front().name, "Andrijaševci");
    EXPECT_EQ(towns.front().code, "0019");
}

TEST_F(ApplicationParametersTest, SavesTheStoredIdentifierFoldersWithSeparatorsAndOneMz0Line) {
    {
        Station st(dir.str());
        ApplicationParameters p(st.tables);
        p.open();
        EXPECT_EQ(p.setValue("JMBG", "12345678903"), "");
        EXPECT_EQ(p.setValue("NAZIV", "Knjigovodstvo Đurđa d.o.o."), "");
        EXPECT_EQ(p.setValue("RADDIR", "/srv/mvz/rad"), "");
        EXPECT_EQ(p.setValue("ULAZDIR", ""), "");
        p.chooseMunicipality({"Bakar", "0043"});
        p.mz0Folder = "/media/disketa";
        EXPECT_EQ(p.save(), ApplicationParameters::SaveResult::Saved);
        EXPECT_TRUE(st.reporter.boxes.empty());
        EXPECT_EQ(p.value("JMBG"), "  12345678903"); // written back into the field
        EXPECT_EQ(p.value("RADDIR"), "/srv/mvz/rad/");
        EXPECT_EQ(p.mz0Folder, "/media/disketa/");
    }
    EXPECT_EQ(stored("JMBG"), "  12345678903");
    EXPECT_EQ(stored("NAZIV"), "Knjigovodstvo Đurđa d.o.o.");
    EXPECT_EQ(stored("RADDIR"), "/srv/mvz/rad/");
    EXPECT_EQ(stored("ULAZDIR"), ""); // a blank folder stays blank
    EXPECT_EQ(stored("IZLAZDIR"), dir.str() + "/izlaz/");
    EXPECT_EQ(stored("NAZSJED"), "Bakar");
    EXPECT_EQ(stored("SIFSJED"), "0043");
    const std::string lines = folderFile();
    EXPECT_EQ(lines.rfind("/media/disketa/", 0), 0u) << lines;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;
}

TEST_F(ApplicationParametersTest, AnEmptyMz0FolderLeavesOneLineNamingNoFolder) {
    Station st(dir.str());
    ApplicationParameters p(st.tables);
    p.open();
    p.mz0Folder = "";
    EXPECT_EQ(p.save(), ApplicationParameters::SaveResult::Saved);
    const std::string lines = folderFile();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;
    EXPECT_EQ(lines.find_first_not_of(" \r\n"), std::string::npos) << lines;
}

TEST_F(ApplicationParametersTest, RefusesAnInvalidIdentifierAndWritesNothing) {
    const std::string before = folderFile();
    Station st(dir.str());
    ApplicationParameters p(st.tables);
    p.open();
    EXPECT_EQ(p.checkIdentifier("12345678904"), std::nullopt);
    ASSERT_EQ(st.reporter.boxes.size(), 1u);
    EXPECT_EQ(st.reporter.lastBox().text, "Provjerite identifikacijski broj ovlaštene osobe");
    EXPECT_EQ(st.reporter.lastBox().buttons, unsigned(ButtonOk));

    p.setValue("JMBG", "12345678904");
    p.mz0Folder = "/elsewhere/";
    EXPECT_EQ(p.save(), ApplicationParameters::SaveResult::IdentifierRefused);
    EXPECT_EQ(st.reporter.boxes.size(), 2u);
    p.close();
    EXPECT_NE(stored("JMBG"), "12345678904");
    EXPECT_EQ(folderFile(), before);
}

TEST_F(ApplicationParametersTest, AcceptsThePlaceholderAndTheStoredOib) {
    Station st(dir.str());
    ApplicationParameters p(st.tables);
    EXPECT_EQ(p.checkIdentifier("1111111111111"), "1111111111111");
    EXPECT_EQ(p.checkIdentifier("12345678903"), "  12345678903");
    EXPECT_TRUE(st.reporter.boxes.empty());
}

TEST_F(ApplicationParametersTest, AMissingRecordIsReportedAndAddedOnSave) {
    {
        Station st(dir.str());
        TableAccess& apl = st.tables.access("APL");
        ASSERT_EQ(apl.open(), 0);
        ASSERT_EQ(apl.removeAll(), 0);
        apl.close();
    }
    Station st(dir.str());
    ApplicationParameters p(st.tables);
    p.open();
    ASSERT_EQ(st.reporter.boxes.size(), 1u);
    EXPECT_EQ(st.reporter.lastBox().text, "Greska kod citanja APLPARAm rb=35");
    EXPECT_FALSE(p.recordFound());
    EXPECT_EQ(p.value("RB"), "1");
    p.setValue("JMBG", "1111111111111");
    p.setValue("NAZIV", "Novi servis");
    EXPECT_EQ(p.save(), ApplicationParameters::SaveResult::Saved);
    EXPECT_EQ(p.save(), ApplicationParameters::SaveResult::Saved); // now a change, not a second add
    p.close();
    EXPECT_EQ(stored("RB"), "1");
    EXPECT_EQ(stored("NAZIV"), "Novi servis");
    EXPECT_EQ(stored("COUNT"), "1");
}

TEST_F(ApplicationParametersTest, HoldsTheParametersAgainstOtherWritersWhileOpen) {
    Station window(dir.str());
    ApplicationParameters p(window.tables);
    p.open();
    ASSERT_FALSE(p.readOnly());

    // Another program that wants to write gets read-only access.
    Station other(dir.str());
    TableAccess& apl = other.tables.access("APL");
    ASSERT_EQ(apl.open(), 0);
    ASSERT_EQ(other.reporter.boxes.size(), 1u);
    EXPECT_EQ(other.reporter.lastBox().title, "Access Denied");
    apl.close();

    // A reader (the main frame reads the parameters) is not in the way.
    Station frame(dir.str());
    TableAccess& reader = frame.tables.access("APL");
    reader.setShareMode(ShareMode::ReadOnly);
    EXPECT_EQ(reader.open(), 0);
    EXPECT_TRUE(frame.reporter.boxes.empty());
    p.setValue("NAZIV", "Promijenjeno");
    EXPECT_EQ(p.save(), ApplicationParameters::SaveResult::Saved);
    reader.close();

    p.close();
    Station after(dir.str());
    EXPECT_EQ(after.tables.access("APL").open(), 0);
    EXPECT_TRUE(after.reporter.boxes.empty());
}

TEST_F(ApplicationParametersTest, ASecondStationReadsOnlyAndCannotSave) {
    Station first(dir.str());
    ApplicationParameters holder(first.tables);
    holder.open();

    Station second(dir.str());
    ApplicationParameters p(second.tables);
    p.open();
    EXPECT_TRUE(p.readOnly());
    EXPECT_TRUE(p.recordFound());
    ASSERT_EQ(second.reporter.boxes.size(), 1u);
    EXPECT_EQ(second.reporter.lastBox().title, "Access Denied");
    p.setValue("NAZIV", "Druga stanica");
    EXPECT_EQ(p.save(), ApplicationParameters::SaveResult::Failed);
    EXPECT_EQ(second.reporter.lastBox().text, "Put Error 5");
    holder.close();
    p.close();
    EXPECT_NE(stored("NAZIV"), "Druga stanica");
}

TEST(WithTrailingSeparator, EndsAFolderWithOneSeparator) {
    EXPECT_EQ(withTrailingSeparator("/a/b"), "/a/b/");
    EXPECT_EQ(withTrailingSeparator("/a/b/"), "/a/b/");
    EXPECT_EQ(withTrailingSeparator("/a/b   "), "/a/b/");
    EXPECT_EQ(withTrailingSeparator("   "), "");
    EXPECT_EQ(withTrailingSeparator(""), "");
}

} // namespace
