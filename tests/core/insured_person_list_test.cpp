#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "print/insured_person_list.h"
#include "setup/initialize.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

using Fields = std::vector<std::pair<const char*, std::string>>;

void addRow(Station& st, const char* table, const Fields& fields) {
    TableAccess& t = st.open(table);
    t.record().clear();
    for (const auto& [field, value] : fields)
        set(t, field, value);
    EXPECT_EQ(t.add(), result::Ok) << table;
    t.close();
}

void addEmployer(Station& st, long number, const Fields& more = {}) {
    Fields fields = {{"REDBROJ", std::to_string(number)},
                     {"NAZIV", "Poslodavac " + std::to_string(number)},
                     {"ADRESA", "Ulica " + std::to_string(number)},
                     {"KONTAKT", "Kontakt"}};
    fields.insert(fields.end(), more.begin(), more.end());
    addRow(st, "POS", fields);
}

// An employee row of March 2010: employer, identifier, name, from and to day.
void addEmployee(Station& st, long employer, const std::string& id, const std::string& name,
                 int from, int to, const Fields& more = {}) {
    Fields fields = {{"REDBROJ", std::to_string(employer)},
                     {"JMBG", id},
                     {"PREZIME", name},
                     {"OPCINA", "1333"},
                     {"CLANDN", "D"},
                     {"OSNOVA1", "01"},
                     {"OSNOVA3", "0"},
                     {"GODOBRA", "2010"},
                     {"MJEOBRA", "3"},
                     {"ODDANA", std::to_string(from)},
                     {"DODANA", std::to_string(to)}};
    fields.insert(fields.end(), more.begin(), more.end());
    addRow(st, "RAD", fields);
}

// The lines of a page, top to bottom, each left to right: texts whose tops
// are less than 2 mm apart (a smaller type sits a little lower) share a line.
std::vector<std::vector<std::string>> lines(const Page& page) {
    std::map<int, std::vector<std::pair<int, std::string>>> byY;
    for (const PageItem& item : page.items)
        if (const auto* t = std::get_if<TextItem>(&item)) byY[t->y].emplace_back(t->x, t->text);
    std::vector<std::vector<std::pair<int, std::string>>> merged;
    int top = -1000;
    for (auto& [y, texts] : byY) {
        if (y - top >= 20) {
            merged.emplace_back();
            top = y;
        }
        merged.back().insert(merged.back().end(), texts.begin(), texts.end());
    }
    std::vector<std::vector<std::string>> out;
    for (auto& texts : merged) {
        std::stable_sort(texts.begin(), texts.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        auto& line = out.emplace_back();
        for (auto& [x, text] : texts)
            line.push_back(text);
    }
    return out;
}

const std::vector<std::string> kCaptions = {
    "OIB/MBG",     "Prezime i ime", "Općina",  "Osnov",    "Razdoblje od - do",
    "Iznos plaće", "Osnovica",      "I. stup", "II. stup", "Neto"};

// The detail lines of every page: what stands between the captions and the foot.
std::vector<std::vector<std::string>> detailLines(const PageModel& model) {
    std::vector<std::vector<std::string>> out;
    for (const Page& page : model.pages) {
        bool below = false;
        for (auto& line : lines(page)) {
            if (line.front().rfind("Stranica ", 0) == 0) break;
            if (below) out.push_back(line);
            if (line == kCaptions) below = true;
        }
        EXPECT_TRUE(below) << "a page without the column captions";
    }
    return out;
}

class InsuredPersonList : public ::testing::Test {
  protected:
    void SetUp() override {
        Station init(dir.str());
        ASSERT_TRUE(initializeDataDirectory(dir.str(), init.errors).ok);
    }
    TempDir dir;
};

TEST_F(InsuredPersonList, BasisAndPeriodTexts) {
    Station st(dir.str());
    TableAccess& rad = st.open("RAD");
    struct Case {
        Fields fields;
        const char* basis;
        const char* period;
    } cases[] = {
        {{{"CLANDN", "D"},
          {"OSNOVA1", "01"},
          {"OSNOVA3", "0"},
          {"OSNOVA4", "1"},
          {"ODDANA", "1"},
          {"DODANA", "31"},
          {"MJEOBRA", "3"},
          {"GODOBRA", "2010"}},
         "D 01 0 1",
         "01.03.2010. - 31.03.2010."},
        // A blank mark keeps its place; nothing trails the last code.
        {{{"CLANDN", "N"},
          {"OSNOVA1", "02"},
          {"OSNOVA4", "5"},
          {"ODDANA", "15"},
          {"DODANA", "9"},
          {"MJEOBRA", "12"},
          {"GODOBRA", "2026"}},
         "N 02   5",
         "15.12.2026. - 09.12.2026."},
    };
    for (const Case& c : cases) {
        rad.record().clear();
        for (const auto& [field, value] : c.fields)
            set(rad, field, value);
        EXPECT_EQ(insuredBasisText(rad.record()), c.basis);
        EXPECT_EQ(insuredPeriodText(rad.record()), c.period);
    }
    rad.close();
}

TEST_F(InsuredPersonList, TheEmployerHeading) {
    Station st(dir.str());
    TableAccess& pos = st.open("POS");
    struct Case {
        Fields fields;
        const char* employer;
        const char* contact;
    } cases[] = {
        {{{"JMBG", "  81773745505"},
          {"NAZIV", "Tehnoservis Sava d.o.o."},
          {"ADRESA", "Radnička cesta 47, 10000 Zagreb"},
          {"TELEFON", "014567890"},
          {"KONTAKT", "Marija Kovač"},
          {"EMAIL", "place@tehnoservis-sava.hr"}},
         "81773745505   Tehnoservis Sava d.o.o.",
         "Radnička cesta 47, 10000 Zagreb,  tel: 014567890, Marija Kovač, "
         "place@tehnoservis-sava.hr"},
        // Business numbers instead of the identifier; no telephone, no e-mail.
        {{{"MB01", "12345678"},
          {"MB02", "0001"},
          {"NAZIV", "Lipa"},
          {"ADRESA", "Ilica 1"},
          {"KONTAKT", "Ana"}},
         "12345678 0001   Lipa",
         "Ilica 1, Ana"},
    };
    for (const Case& c : cases) {
        pos.record().clear();
        for (const auto& [field, value] : c.fields)
            set(pos, field, value);
        EXPECT_EQ(insuredListEmployerLine(pos.record()), c.employer);
        EXPECT_EQ(insuredListContactLine(pos.record()), c.contact);
    }
    pos.close();
}

TEST_F(InsuredPersonList, PrintsOnlyThatEmployersRowsInKeyOrder) {
    Station st(dir.str());
    for (long n : {1, 2, 3})
        addEmployer(
            st, n, n == 2 ? Fields{{"JMBG", "  81773745505"}, {"TELEFON", "014567890"}} : Fields{});
    // Rows of the neighbours on both sides, and the employer's own out of order.
    addEmployee(st, 3, "  10000000001", "Treći Prvi", 1, 31);
    addEmployee(st, 2, "  42854859232", "Kovačević Ana", 1, 31,
                {{"CLANDN", "N"}, {"OSNOVA1", "02"}, {"IZNOS7", "-12.50"}});
    addEmployee(st, 1, "  99999999999", "Prvi Zadnji", 1, 31);
    addEmployee(st, 2, "  20572565300", "Horvat Ivan", 16, 31,
                {{"IZNOS7", "8900.00"},
                 {"IZNOS8", "8900.00"},
                 {"IZNOS9", "1780.00"},
                 {"IZNOS10", "445.00"},
                 {"IZNOS11", "6102.84"}});
    addEmployee(st, 2, "  20572565300", "Horvat Ivan", 1, 15,
                {{"OSNOVA4", "1"}, {"IZNOS8", "1234567.89"}});

    ReportResult r = printInsuredPersons(st.tables, 2, "08.12.2010 14:05", st.reporter);
    ASSERT_EQ(r.status, ReportStatus::Done);
    EXPECT_TRUE(st.reporter.boxes.empty());
    EXPECT_EQ(r.records, 3);
    EXPECT_EQ(r.pages.title, "O S I G U R A N I C I");
    ASSERT_EQ(r.pages.pages.size(), 1u);
    const Page& page = r.pages.pages.front();
    EXPECT_GT(page.width, page.height) << "landscape";

    const auto all = lines(page);
    ASSERT_GE(all.size(), 3u);
    EXPECT_EQ(all[0], (std::vector<std::string>{"O S I G U R A N I C I", "08.12.2010 14:05"}));
    EXPECT_EQ(all[1], std::vector<std::string>{"81773745505   Poslodavac 2"});
    EXPECT_EQ(all[2], std::vector<std::string>{"Ulica 2,  tel: 014567890, Kontakt"});
    EXPECT_EQ(all.back(), std::vector<std::string>{"Stranica 1 od 1"});

    // Identifier, then to-day; zero amounts are printed as 0.00.
    const std::vector<std::vector<std::string>> expected = {
        {"20572565300", "Horvat Ivan", "1333", "D 01 0 1", "01.03.2010. - 15.03.2010.", "0.00",
         "1234567.89", "0.00", "0.00", "0.00"},
        {"20572565300", "Horvat Ivan", "1333", "D 01 0", "16.03.2010. - 31.03.2010.", "8,900.00",
         "8,900.00", "1,780.00", "445.00", "6,102.84"},
        {"42854859232", "Kovačević Ana", "1333", "N 02 0", "01.03.2010. - 31.03.2010.", "-12.50",
         "0.00", "0.00", "0.00", "0.00"},
    };
    EXPECT_EQ(detailLines(r.pages), expected);
}

TEST_F(InsuredPersonList, ALongListRepeatsTheHeadingAndKeepsLongNamesWhole) {
    Station st(dir.str());
    addEmployer(st, 7);
    const std::string longName = "Kovačević-Horvatinčić Ana-Marija Petronela Katarina Đurđica";
    char id[16];
    for (int i = 0; i < 60; ++i) {
        std::snprintf(id, sizeof id, "  %011lld", 10000000000LL + i);
        addEmployee(st, 7, id, i == 30 ? longName : "Osoba " + std::to_string(i), 1, 31);
    }
    ReportResult r = printInsuredPersons(st.tables, 7, "", st.reporter);
    ASSERT_EQ(r.status, ReportStatus::Done);
    EXPECT_EQ(r.records, 60);
    ASSERT_GE(r.pages.pages.size(), 2u);
    const std::string total = std::to_string(r.pages.pages.size());
    for (std::size_t p = 0; p < r.pages.pages.size(); ++p) {
        const auto page = lines(r.pages.pages[p]);
        EXPECT_EQ(page[1], std::vector<std::string>{"Poslodavac 7"}) << p;
        EXPECT_EQ(page.back(),
                  std::vector<std::string>{"Stranica " + std::to_string(p + 1) + " od " + total});
    }
    // Every record once, in order; the long name goes on below its record in
    // whole words, nothing of it cut.
    const auto details = detailLines(r.pages);
    std::vector<std::string> ids, name;
    bool inLongName = false;
    for (const auto& line : details) {
        if (line.size() == 1) {
            ASSERT_TRUE(inLongName) << line.front();
            name.push_back(line.front());
            continue;
        }
        ASSERT_EQ(line.size(), kCaptions.size());
        ids.push_back(line[0]);
        inLongName = line[0] == "10000000030";
        if (inLongName) name.push_back(line[1]);
    }
    ASSERT_EQ(ids.size(), 60u);
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
    ASSERT_GE(name.size(), 2u);
    std::string joined;
    for (const std::string& part : name)
        joined += (joined.empty() ? "" : " ") + part;
    EXPECT_EQ(joined, longName);
}

TEST_F(InsuredPersonList, AnUnknownEmployerFailsAndOneWithoutRowsHasNone) {
    Station st(dir.str());
    addEmployer(st, 1);
    addEmployer(st, 2);
    addEmployee(st, 1, "  20572565300", "Horvat Ivan", 1, 31);

    ReportResult r = printInsuredPersons(st.tables, 5, "", st.reporter);
    EXPECT_EQ(r.status, ReportStatus::Failed);
    EXPECT_TRUE(r.pages.pages.empty());
    ASSERT_EQ(st.reporter.boxes.size(), 1u);
    EXPECT_EQ(st.reporter.lastBox().title, "O S I G U R A N I C I");
    EXPECT_EQ(st.reporter.lastBox().text, "Nema poslodavca s rednim brojem 5.");

    // A number no employer can have is unknown too, not another employer's.
    st.reporter.clear();
    EXPECT_EQ(printInsuredPersons(st.tables, 65536 + 1, "", st.reporter).status,
              ReportStatus::Failed);
    EXPECT_EQ(st.reporter.boxes.size(), 1u);

    st.reporter.clear();
    r = printInsuredPersons(st.tables, 2, "", st.reporter);
    EXPECT_EQ(r.status, ReportStatus::NoRecords);
    EXPECT_TRUE(st.reporter.boxes.empty());
    EXPECT_EQ(r.records, 0);
}

} // namespace
