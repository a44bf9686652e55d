#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <fmt/format.h>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "data/record.h"
#include "import/checked_file.h"
#include "import/print_from_file.h"
#include "submission/digest.h"
#include "submission/page_b_rows.h"
#include "submission/record_format.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;
namespace fs = std::filesystem;

namespace {

Decimal amount(const char* text) {
    return *Decimal::parse(text, 2);
}

std::string line3(int identifier = 50, Decimal total7 = amount("1000.00")) {
    FormHeaderRecord h;
    h.MV3IBOO = "  12345678903";
    h.MV3IDOB = identifier;
    h.MV3NAOB = *utf8ToCp1250("Obrt Šimić"); // lines hold CP1250
    h.MV3ADOB = "Ilica 1, Zagreb";
    h.MV3VROB = 31;
    h.MV3MMGG = {12, 2026};
    h.MV3VROI = 1;
    h.MV3BROS = 13;
    h.MV3IBRT = total7;
    h.MV3IOSN = amount("900.00");
    h.MV3IST1 = amount("135.00");
    h.MV3IST2 = amount("45.00");
    h.MV3INET = amount("700.00");
    h.MV3IGMM = {2027, 1};
    return buildLine(h, PositiveSign::Zero).line;
}

std::string line5(int n, Decimal pay = amount("100.00")) {
    InsuredRecord r;
    r.MV5RBRO = n;
    r.MV5IBOO = "  " + std::to_string(10000000000LL + n);
    r.MV5IMPR = "Osoba " + std::to_string(n);
    r.MV5GROP = "0133";
    r.MV5OSOB = "011";
    r.MV5RAZD = {1, 31};
    r.MV5IBRT = pay;
    r.MV5IOSN = amount("90.00");
    r.MV5IST1 = amount("13.50");
    r.MV5IST2 = amount("4.50");
    r.MV5INET = amount("70.00");
    return buildLine(r, PositiveSign::Plus).line;
}

std::string line7(long long count) {
    FormEndRecord e;
    e.MV7IBOO = "  12345678903";
    e.MV7IDOB = 50;
    e.MV7BRSL = count;
    e.MV7DTRS = {2026, 12, 10};
    return buildLine(e).line;
}

std::string line0() {
    SenderRecord s;
    s.MV0IBOO = "  89029274466";
    s.MV0NAZO = "Ured";
    s.MV0DTMN = {2026, 12, 10};
    return buildLine(s).line;
}

// A data folder with working and output folders, and a file to print.
class PrintFromFile : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(work);
        fs::create_directories(output);
        TableAccess& apl = st.tables.access("APL");
        ASSERT_EQ(apl.open(), 0);
        apl.record().clear();
        set(apl, "RB", "1");
        set(apl, "RADDIR", work);
        set(apl, "IZLAZDIR", output);
        ASSERT_EQ(apl.add(), 0);
        apl.close();
    }
    std::string writeFile(const std::vector<std::string>& lines,
                          const std::string& name = "F0010050.TXT") {
        const std::string path = output + name;
        std::ofstream out(path, std::ios::binary);
        for (const auto& l : lines)
            out << l << "\r\n";
        return path;
    }
    std::vector<std::string> formFile(int persons) {
        std::vector<std::string> lines{line0(), line3()};
        for (int n = 1; n <= persons; ++n)
            lines.push_back(line5(n));
        lines.push_back(line7(persons));
        return lines;
    }
    // The prepared rows of a link key in print order: identifier and name.
    std::vector<std::string> preparedRows(const std::string& link) {
        std::vector<std::string> out;
        forEachPreparedRow(st.tables, link, PageBOrder::Rows, [&](const Record& r) {
            out.push_back(std::string(trim(r.text(r.def().fieldIndex("JMBG")))));
            return true;
        });
        return out;
    }
    std::string pageA(const std::string& link, const std::string& field) {
        return st.lookUp("A", "KONVEZA", link, field);
    }

    TempDir dir;
    Station st{dir.str()};
    const std::string work = dir.str() + "/rad/";
    const std::string output = dir.str() + "/izlaz/";
};

TEST_F(PrintFromFile, PageBRowsArePaddedToWholeSheets) {
    struct Case {
        int persons;
        long long rows, fillers;
    };
    for (const Case c : {Case{13, 13, 11}, Case{12, 12, 0}, Case{1, 1, 11}, Case{0, 0, 0}}) {
        SCOPED_TRACE(c.persons);
        const PageBPrintJob job =
            preparePageBFromFile(st.tables, st.reporter, writeFile(formFile(c.persons)));
        ASSERT_EQ(job.outcome, PrintPreparation::Ready);
        EXPECT_EQ(job.linkKey, "999005001");
        EXPECT_EQ(job.rows, c.rows);
        EXPECT_EQ(job.fillers, c.fillers);
        const auto rows = preparedRows(job.linkKey);
        ASSERT_EQ(static_cast<long long>(rows.size()), c.rows + c.fillers);
        for (long long i = 0; i < c.fillers; ++i)
            EXPECT_EQ(rows[c.rows + i], fmt::format("99999999999{:02}", i + 1));
    }
    EXPECT_TRUE(st.reporter.boxes.empty());
    EXPECT_EQ(st.reporter.statuses.back(), "Gotova priprema. Ispis...");
}

TEST_F(PrintFromFile, PageBRowTakesTheFieldsOfItsLineAndStopsAtTheFirstFormEnd) {
    std::vector<std::string> lines{
        line0(), line3(), line5(1, amount("-15.00")), line7(1), line3(51), line5(2), line7(1)};
    const PageBPrintJob job = preparePageBFromFile(st.tables, st.reporter, writeFile(lines));
    ASSERT_EQ(job.outcome, PrintPreparation::Ready);
    EXPECT_EQ(job.rows, 1);
    EXPECT_EQ(job.formIdentifier, "0050");
    EXPECT_EQ(job.year, "2026");
    EXPECT_EQ(job.payerIdentifier, "  12345678903");

    TableAccess& t = st.tables.access("OSI2");
    ASSERT_EQ(t.open(), 0);
    EXPECT_EQ(t.count(), 12);
    t.setOrder(0);
    ASSERT_EQ(t.next(), 0);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"JMBG", "  10000000001"}, {"PREZIME", "Osoba 1"},
        {"OPCINA", "0133"},        {"CLANDN", ""},
        {"OSNOVA1", "01"},         {"OSNOVA3", "1"},
        {"OBRRAZD1", "1"},         {"OBRRAZD2", "31"},
        {"IZNOS7", "-15.00"},      {"IZNOS8", "90.00"},
        {"IZNOS9", "13.50"},       {"IZNOS10", "4.50"},
        {"IZNOS11", "70.00"},      {"IDENTIFIKATOR", "9990050"},
        {"VRSUPL", "01"},          {"KONVEZA", "999005001"},
        {"GODOBRA", "2026"},       {"OBRMJE", "12"}};
    for (const auto& [field, value] : expected)
        EXPECT_EQ(get(t, field), value) << field;
}

TEST_F(PrintFromFile, PageBWithoutACopyOfTheFileStopsAndKeepsTheEarlierRows) {
    const PageBPrintJob first =
        preparePageBFromFile(st.tables, st.reporter, writeFile(formFile(3)));
    ASSERT_EQ(first.outcome, PrintPreparation::Ready);
    const std::string missing = output + "NEMA.TXT";
    const PageBPrintJob job = preparePageBFromFile(st.tables, st.reporter, missing);
    EXPECT_EQ(job.outcome, PrintPreparation::CopyFailed);
    EXPECT_EQ(st.reporter.lastBox().text, "Greška kod preuzimanja " + missing);
    EXPECT_EQ(preparedRows(first.linkKey).size(), 12u);
}

TEST(PageBPayerIdentifier, JmbgOrBusinessNumbers) {
    struct Case {
        std::string jmbg, mb01, mb02, shown;
    };
    const Case cases[] = {
        {"  12345678903", "", "", "  12345678903"},
        {"0000000000000", "12345678", "0001", "123456780001"},
        {"0000000000000", "12345678", "0000", "12345678 "},
        {"", "12345678", "0001", std::string(13, ' ')},
    };
    Record a(*findTable("A"));
    for (const Case& c : cases) {
        a.clear();
        a.setText(a.def().fieldIndex("JMBG"), c.jmbg);
        a.setText(a.def().fieldIndex("MB01"), c.mb01);
        a.setText(a.def().fieldIndex("MB02"), c.mb02);
        EXPECT_EQ(pageBPayerIdentifier(a), c.shown) << c.jmbg;
    }
}

TEST_F(PrintFromFile, PageARowFromTheFirstFormHeader) {
    const std::string path =
        writeFile({line0(), line3(50, amount("-1234.56")), line5(1), line7(1)});
    const PageAPrintJob job = preparePageAFromFile(st.tables, st.reporter, path);
    ASSERT_EQ(job.outcome, PrintPreparation::Ready);
    EXPECT_EQ(job.linkKey, "888005001");
    EXPECT_EQ(job.mode, 'D');
    EXPECT_EQ(job.mark, groupedMark(doSHAOnFile(path)));
    // No earlier print row: nothing to say.
    EXPECT_TRUE(st.reporter.boxes.empty());
    EXPECT_EQ(st.reporter.statuses, std::vector<std::string>{job.mark}); // line 1 is no header

    const std::vector<std::pair<std::string, std::string>> expected = {
        {"IDENTIFIKATOR", "8880050"},
        {"VRSUPLA", "01"},
        {"OBRMJE", "12"},
        {"OBRGOD", "2026"},
        {"BROJOSIG", "13"},
        {"BROJSTRANA", "0"},
        {"MB01", ""},
        {"MB02", ""},
        {"JMBG", "  12345678903"},
        {"NAZIV", "Obrt Šimić"},
        {"ADRESA", "Ilica 1, Zagreb"},
        {"KONTAKT", "KONTAKT"},
        {"TELEFON", ""},
        {"EMAI", ""},
        {"VRSTOBVEZNIKA", "31"},
        {"IZNOS7", "-1234.56"}, // negative totals keep their sign
        {"IZNOS8", "900.00"},
        {"IZNOS9", "135.00"},
        {"IZNOS10", "45.00"},
        {"IZNOS11", "700.00"},
        {"KONZNAK", job.mark},
        {"KONVEZA", "888005001"},
        {"GODPLA", "2027"},
        {"MJEPLA", "01"}};
    for (const auto& [field, value] : expected)
        EXPECT_EQ(pageA(job.linkKey, field), value) << field;

    // Printing again replaces the print row, silently.
    std::vector<std::string> again{line3(50, amount("10.00"))};
    const PageAPrintJob second =
        preparePageAFromFile(st.tables, st.reporter, writeFile(again, "B.TXT"));
    ASSERT_EQ(second.outcome, PrintPreparation::Ready);
    EXPECT_EQ(pageA("888005001", "IZNOS7"), "10.00");
    EXPECT_TRUE(st.reporter.boxes.empty());
}

TEST_F(PrintFromFile, PageABeforeAFileIsChosenOrWhenItCannotBeReadPrintsNothing) {
    PageAPrintJob job = preparePageAFromFile(st.tables, st.reporter, output + "  ");
    EXPECT_EQ(job.outcome, PrintPreparation::NotChecked);
    EXPECT_EQ(st.reporter.lastBox().text, "Ispis A-Strane se ispisuje nakon izvršene kontrole");

    // An earlier copy of another file must not be printed instead.
    ASSERT_EQ(preparePageAFromFile(st.tables, st.reporter, writeFile(formFile(1))).outcome,
              PrintPreparation::Ready);
    const std::string missing = output + "NEMA.TXT";
    job = preparePageAFromFile(st.tables, st.reporter, missing);
    EXPECT_EQ(job.outcome, PrintPreparation::CopyFailed);
    EXPECT_EQ(st.reporter.lastBox().text, "Greška kod preuzimanja " + missing);
    EXPECT_EQ(job.linkKey, "");

    job = preparePageAFromFile(st.tables, st.reporter, writeFile({line0(), line7(0)}, "C.TXT"));
    EXPECT_EQ(job.outcome, PrintPreparation::NoForm);
}

TEST_F(PrintFromFile, PageANeverReplacesAFormOfTheUsersData) {
    // Payer 888's form 50 of calculation type 01 has the print row's key.
    TableAccess& a = st.tables.access("A");
    ASSERT_EQ(a.open(), 0);
    a.record().clear();
    set(a, "IDENTIFIKATOR", "8880050");
    set(a, "VRSUPLA", "01");
    set(a, "KONVEZA", "888005001");
    set(a, "NAZIV", "Obveznik 888");
    set(a, "KONTAKT", "Ana");
    set(a, "BROJSTRANA", "1");
    ASSERT_EQ(a.add(), 0);
    a.close();

    const PageAPrintJob job = preparePageAFromFile(st.tables, st.reporter, writeFile(formFile(1)));
    EXPECT_EQ(job.outcome, PrintPreparation::Refused);
    EXPECT_EQ(st.reporter.boxes.size(), 1u);
    EXPECT_EQ(pageA("888005001", "NAZIV"), "Obveznik 888");
}

} // namespace

namespace {

TEST(ShowFileDigest, StatusLineShowsTheGroupedDigest) {
    TempDir dir;
    RecordingReporter rep;
    const std::string path = dir.file("F.TXT");
    std::ofstream(path, std::ios::binary) << "abc";
    // SHA-1 of "abc".
    EXPECT_EQ(showFileDigest(path, rep), "A9993E3647-06816ABA3E-25717850C2-6C9CD0D89D");
    EXPECT_EQ(rep.statuses,
              std::vector<std::string>{"A9993E3647-06816ABA3E-25717850C2-6C9CD0D89D"});
    EXPECT_EQ(showFileDigest(dir.file("NEMA.TXT"), rep), "");
    EXPECT_EQ(rep.lastBox().text, "Greška kod preuzimanja " + dir.file("NEMA.TXT"));
}

} // namespace
