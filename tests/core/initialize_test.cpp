#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/day_number.h"
#include "data/csv_text.h"
#include "rules/contributions.h"
#include "setup/initialize.h"
#include "setup/sample_data.h"
#include "support/file_modes.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> dataFilesIn(const TempDir& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir.path()))
        if (e.is_regular_file() && e.path().filename().string()[0] != '.')
            out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

std::int64_t rowsOf(Station& st, const std::string& table) {
    TableAccess& t = st.tables.access(table);
    EXPECT_EQ(t.open(), 0) << table;
    const std::int64_t n = t.count();
    t.close();
    return n;
}

TEST(Initialize, CreatesTheParametersAndLoadsEverySampleTable) {
    TempDir dir;
    RecordingReporter rep;
    ErrorReporter errors(rep);
    errors.addMessages(standardMessages());
    const InitResult r = initializeDataDirectory(dir.str(), errors);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(rep.boxes.empty());
    std::vector<std::string> expected = initDataFiles(false);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dataFilesIn(dir), expected);

    Station st(dir.str());
    for (const SampleFile& f : sampleFiles("initial")) {
        std::vector<CsvRow> rows;
        CsvSyntaxError error;
        ASSERT_TRUE(parseCsvText(f.text, rows, error)) << f.name;
        EXPECT_EQ(rowsOf(st, f.stem), static_cast<std::int64_t>(rows.size()) - 1) << f.name;
    }
    EXPECT_EQ(rowsOf(st, "TBSTOPE"), 576);

    TableAccess& apl = st.tables.access("APL");
    ASSERT_EQ(apl.open(), 0);
    EXPECT_EQ(apl.count(), 1);
    set(apl, "RB", "1");
    ASSERT_EQ(apl.fetch(apl.def().keyIndex("KEYRB")), 0);
    EXPECT_EQ(get(apl, "JMBG"), "1111111111111");
    EXPECT_EQ(get(apl, "RADDIR"), "");
    EXPECT_EQ(slurp(dir.file("TBIZLFOLDER.TXT")), "\r\n") << "one line that names no folder";
}

TEST(Initialize, RefusesADirectoryThatHoldsAnyOfItsFiles) {
    TempDir dir;
    {
        std::ofstream keep(dir.file("TBSTOPE.DAT"), std::ios::binary);
        keep << "the user's own rates";
    }
    RecordingReporter rep;
    ErrorReporter errors(rep);
    errors.addMessages(standardMessages());
    const InitResult r = initializeDataDirectory(dir.str(), errors, {true, 0});
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("TBSTOPE.DAT"), std::string::npos) << r.error;
    EXPECT_EQ(dataFilesIn(dir), std::vector<std::string>{"TBSTOPE.DAT"});
    EXPECT_EQ(slurp(dir.file("TBSTOPE.DAT")), "the user's own rates");
    EXPECT_FALSE(fs::exists(dir.path() / "rad"));

    // A folder still to be made is made; one whose parent is missing is not.
    const InitResult missing = initializeDataDirectory(dir.file("nowhere/deeper"), errors);
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.error.find("cannot be created"), std::string::npos) << missing.error;
    EXPECT_FALSE(fs::exists(dir.path() / "nowhere"));
    const InitResult made = initializeDataDirectory(dir.file("new"), errors);
    EXPECT_TRUE(made.ok) << made.error;
    EXPECT_TRUE(fs::exists(dir.path() / "new" / "APLPARAM.DAT"));
}

TEST(Initialize, AFailedDemoTakesBackWhatItMade) {
    TempDir dir;
    {
        std::ofstream blocker(dir.file("mz0"), std::ios::binary); // a file where a folder goes
    }
    ::chmod(dir.str().c_str(), 0755);
    RecordingReporter rep;
    ErrorReporter errors(rep);
    errors.addMessages(standardMessages());
    const InitResult r = initializeDataDirectory(dir.str(), errors, {true, 0, true});
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("mz0"), std::string::npos) << r.error;
    EXPECT_EQ(dataFilesIn(dir), std::vector<std::string>{"mz0"});
    EXPECT_FALSE(fs::exists(dir.path() / "rad"));
    // Nor is the folder left shared, or the choice recorded.
    EXPECT_EQ(permissionsOf(dir.str()), 0755);
    EXPECT_FALSE(fs::exists(dir.path() / ".mvz-mode"));

    fs::remove(dir.path() / "mz0");
    EXPECT_TRUE(initializeDataDirectory(dir.str(), errors, {true, 0}).ok) << "and can run again";
}

// (rate + rate) x base / 100 in whole cents, rounded half away from zero,
// worked out apart from the service under test.
std::string expectedCents(const Decimal& r1, const Decimal& r2, const Decimal& base) {
    const std::int64_t hundredths = (r1.rescale(2).units() + r2.rescale(2).units()) *
                                    base.rescale(2).units(); // scale 4, percent
    const std::int64_t cents = (hundredths + 50 * 100) / (100 * 100);
    return Decimal::fromUnits(cents, 2).toString();
}

TEST(Initialize, DemoPayRowsAreConsistentWithTheRates) {
    TempDir dir;
    RecordingReporter rep;
    ErrorReporter errors(rep);
    errors.addMessages(standardMessages());
    const std::int32_t today = dayNumber(2025, 1, 15); // the month before is December 2024
    const InitResult r = initializeDataDirectory(dir.str(), errors, {true, today});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(rep.boxes.empty());

    Station st(dir.str());
    TableAccess& apl = st.tables.access("APL");
    ASSERT_EQ(apl.open(), 0);
    ASSERT_EQ(apl.next(), 0);
    EXPECT_EQ(get(apl, "JMBG"), "  89029274466");
    const std::string base = fs::absolute(dir.path()).lexically_normal().string();
    EXPECT_EQ(get(apl, "RADDIR"), base + "/rad/");
    EXPECT_EQ(get(apl, "ULAZDIR"), base + "/ulaz/");
    EXPECT_EQ(get(apl, "IZLAZDIR"), base + "/izlaz/");
    EXPECT_EQ(slurp(dir.file("TBIZLFOLDER.TXT")), base + "/mz0/\r\n");
    for (const char* sub : {"rad", "ulaz", "izlaz", "mz0"})
        EXPECT_TRUE(fs::is_directory(dir.path() / sub)) << sub;

    TableAccess& pos = st.tables.access("POS");
    ASSERT_EQ(pos.open(), 0);
    ASSERT_EQ(pos.count(), 1);
    ASSERT_EQ(pos.next(), 0);
    const std::string employer = get(pos, "REDBROJ");
    EXPECT_EQ(get(pos, "VRSTOBVEZNIKA"), "31");

    TableAccess& rates = st.tables.access("STO1");
    ASSERT_EQ(rates.open(), 0);
    TableAccess& rad = st.tables.access("RAD");
    ASSERT_EQ(rad.open(), 0);
    EXPECT_EQ(rad.count(), 40);
    int december = 0, january = 0, members = 0;
    rad.setStart();
    while (rad.next() == 0) {
        const Record& row = rad.record();
        const std::string id = get(rad, "JMBG");
        EXPECT_EQ(get(rad, "REDBROJ"), employer) << id;
        EXPECT_EQ(get(rad, "VRSOBV"), "31") << id;
        EXPECT_EQ(get(rad, "ODDANA"), "1") << id;
        const int year = std::stoi(get(rad, "GODOBRA"));
        const int month = std::stoi(get(rad, "MJEOBRA"));
        (year == 2024 && month == 12 ? december : january) += 1;
        EXPECT_TRUE((year == 2024 && month == 12) || (year == 2025 && month == 1)) << id;
        EXPECT_EQ(get(rad, "DODANA"), "31") << id;

        const std::string clan = get(rad, "CLANDN");
        const auto found = lookupRates(rates, {clan, get(rad, "VRSTAUPLA"), get(rad, "VRSOBV"),
                                               get(rad, "OSNOVA1"), get(rad, "OSNOVA3")});
        ASSERT_TRUE(found) << id;
        const Decimal p1 = row.decimal(row.def().fieldIndex("PRVISTUP1"));
        const Decimal p1b = row.decimal(row.def().fieldIndex("PRVISTUP2"));
        const Decimal p2 = row.decimal(row.def().fieldIndex("DRUGISTUP1"));
        const Decimal p2b = row.decimal(row.def().fieldIndex("DRUGISTUP2"));
        EXPECT_EQ(p1, found->pillar1First) << id;
        EXPECT_EQ(p1b, found->pillar1Second) << id;
        EXPECT_EQ(p2, found->pillar2First) << id;
        EXPECT_EQ(p2b, found->pillar2Second) << id;
        const Decimal basis = row.decimal(row.def().fieldIndex("IZNOS8"));
        EXPECT_EQ(get(rad, "IZNOS9"), expectedCents(p1, p1b, basis)) << id;
        EXPECT_EQ(get(rad, "IZNOS10"), expectedCents(p2, p2b, basis)) << id;
        EXPECT_GT(row.decimal(row.def().fieldIndex("IZNOS9")).sign(), 0) << id;
        if (clan == "D") {
            ++members;
            EXPECT_GT(row.decimal(row.def().fieldIndex("IZNOS10")).sign(), 0) << id;
        } else {
            EXPECT_TRUE(row.decimal(row.def().fieldIndex("IZNOS10")).isZero()) << id;
        }
    }
    EXPECT_EQ(december, 20);
    EXPECT_EQ(january, 20);
    EXPECT_EQ(members, 34); // 17 members, two months each
}

} // namespace
