#include <gtest/gtest.h>

#include <fmt/format.h>

#include "submission/page_a.h"
#include "submission/person_counter.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

struct Row {
    explicit Row(std::string identifier, int firstDay = 1)
        : id(std::move(identifier)), from(firstDay) {}
    std::string id;
    int from;
    std::string amounts[5] = {"100.00", "100.00", "15.00", "5.00", "80.00"};
};

class PageATest : public ::testing::Test {
  protected:
    TempDir dir;
    Station st{dir.str()};

    TableAccess& table(const char* name) { return st.open(name); }

    void SetUp() override {
        TableAccess& pos = table("POS");
        pos.record().clear();
        set(pos, "REDBROJ", "7");
        set(pos, "JMBG", "  81773745505");
        set(pos, "NAZIV", "Tehnoservis Sava d.o.o.");
        set(pos, "ADRESA", "Radnička cesta 47");
        set(pos, "KONTAKT", "Marija Kovač");
        set(pos, "TELEFON", "014567890");
        set(pos, "EMAIL", "place@tehnoservis-sava.hr");
        set(pos, "VRSTOBVEZNIKA", "31");
        set(pos, "IDENTIFIKATOR", "5");
        ASSERT_EQ(pos.add(), 0);
    }

    PageAInput input(int sequence) {
        PageAInput in;
        in.form = FormId{7, sequence, "01"};
        in.year = 2010;
        in.month = 5;
        in.payYear = 2010;
        in.payMonth = 6;
        return in;
    }

    void addRows(const PageAInput& in, const std::vector<Row>& rows) {
        TableAccess& osi = table("OSI");
        for (const Row& r : rows) {
            osi.record().clear();
            set(osi, "JMBG", r.id);
            set(osi, "PREZIME", "Osoba " + r.id);
            set(osi, "OBRRAZD1", std::to_string(r.from));
            set(osi, "OBRRAZD2", "31");
            set(osi, "GODOBRA", std::to_string(in.year));
            set(osi, "OBRMJE", std::to_string(in.month));
            for (int i = 0; i < 5; ++i)
                set(osi, "IZNOS" + std::to_string(i + 7), r.amounts[i]);
            set(osi, "IDENTIFIKATOR", in.form.identifier());
            set(osi, "VRSUPL", in.form.calculationType);
            set(osi, "KONVEZA", in.form.linkKey());
            ASSERT_EQ(osi.add(), 0);
        }
    }

    std::vector<Row> people(int rows) {
        std::vector<Row> out;
        for (int i = 0; i < rows; ++i)
            out.push_back(Row{fmt::format("0101990{:06}", i)});
        return out;
    }

    Record payer() {
        TableAccess& pos = table("POS");
        pos.record().clear();
        set(pos, "REDBROJ", "7");
        EXPECT_EQ(pos.fetch(pos.def().keyIndex("KEYREDBROJ")), 0);
        return pos.record();
    }

    // Page A of a form as stored, field by field.
    std::string stored(const PageAInput& in, const std::string& name) {
        TableAccess& a = table("A");
        a.record().clear();
        set(a, "KONVEZA", in.form.linkKey());
        EXPECT_EQ(a.fetch(a.def().keyIndex("KEYIDENTIKATOR")), 0);
        return get(a, name);
    }
};

TEST_F(PageATest, SheetsHoldTwelveRows) {
    const std::pair<int, int> cases[] = {{1, 1}, {12, 1}, {13, 2}, {24, 2}, {25, 3}};
    int sequence = 1;
    for (auto [rows, sheets] : cases) {
        EXPECT_EQ(sheetCount(rows), sheets) << rows;
        const PageAInput in = input(sequence++);
        addRows(in, people(rows));
        const PageAResult r = buildPageA(st.tables, payer(), in);
        ASSERT_TRUE(r.built && r.pageAWritten) << rows;
        EXPECT_EQ(r.rowsRead, rows);
        EXPECT_EQ(stored(in, "BROJSTRANA"), std::to_string(sheets)) << rows;
        EXPECT_EQ(stored(in, "BROJOSIG"), std::to_string(rows)) << rows;
    }
}

TEST_F(PageATest, PersonsAreCountedByChangesOfTheIdentifier) {
    PersonCounter counter;
    std::vector<long long> numbers;
    for (const char* id : {"A", "A", "B", "A", "C", "C "})
        numbers.push_back(counter.next(id));
    EXPECT_EQ(numbers, (std::vector<long long>{1, 1, 2, 3, 4, 4}));
    EXPECT_EQ(counter.count(), 4);

    // In the form's key order the rows of one person follow each other; the
    // rows of another form with the same person do not count.
    const PageAInput in = input(1);
    addRows(in, {Row{"0101990330001"}, Row{"0202990330002"}, Row{"0101990330001", 10},
                 Row{"  12345678903"}, Row{"0101990330001", 20}});
    addRows(input(2), {Row{"0101990330001"}, Row{"0909990330009"}});
    const PageAResult r = buildPageA(st.tables, payer(), in);
    ASSERT_TRUE(r.built);
    EXPECT_EQ(r.rowsRead, 5);
    EXPECT_EQ(stored(in, "BROJOSIG"), "3");
    EXPECT_EQ(stored(in, "BROJSTRANA"), "1");
}

TEST_F(PageATest, TotalsAreSummedAndANegativeTotalIsStoredAsZero) {
    const PageAInput in = input(9);
    std::vector<Row> rows = people(11);
    rows[3].amounts[3] = "-100.00"; // pillar II: 10 x 5.00 - 100.00 = -50.00
    rows[4].amounts[0] = "-0.01";
    addRows(in, rows);
    const PageAResult r = buildPageA(st.tables, payer(), in);
    ASSERT_TRUE(r.built && r.pageAWritten && r.payerWritten);
    EXPECT_EQ(stored(in, "IZNOS7"), "999.99");
    EXPECT_EQ(stored(in, "IZNOS8"), "1100.00");
    EXPECT_EQ(stored(in, "IZNOS9"), "165.00");
    EXPECT_EQ(stored(in, "IZNOS10"), "0.00");
    EXPECT_EQ(stored(in, "IZNOS11"), "880.00");
    EXPECT_EQ(stored(in, "KONZNAK"), "1234567890-1234567890-1234567890-1234567890");
    const std::pair<const char*, const char*> fields[] = {
        {"IDENTIFIKATOR", "0070009"},
        {"OBRMJE", "05"},
        {"OBRGOD", "2010"},
        {"VRSUPLA", "01"},
        {"JMBG", "  81773745505"},
        {"NAZIV", "Tehnoservis Sava d.o.o."},
        {"ADRESA", "Radnička cesta 47"},
        {"KONTAKT", "Marija Kovač"},
        {"TELEFON", "014567890"},
        {"EMAI", "place@tehnoservis-sava.hr"},
        {"VRSTOBVEZNIKA", "31"},
        {"KONVEZA", "007000901"},
        {"GODPLA", "2010"},
        {"MJEPLA", "06"},
    };
    for (auto [name, value] : fields)
        EXPECT_EQ(stored(in, name), value) << name;
    // The values in memory are the stored ones.
    ASSERT_TRUE(r.pageA);
    EXPECT_EQ(r.pageA->display(r.pageA->def().fieldIndex("IZNOS10")), "0.00");

    EXPECT_EQ(
        st.reporter.statuses,
        (std::vector<std::string>{"Obrađeno 10", "1. dio obrade završena. Formiram SHA broj"}));
    EXPECT_EQ(get(table("POS"), "IDENTIFIKATOR"), "9"); // raised from 5
    EXPECT_TRUE(st.reporter.boxes.empty());

    // The type-3 record takes page A's values.
    std::string why;
    const auto header = formHeaderOf(*r.pageA, &why);
    ASSERT_TRUE(header) << why;
    EXPECT_EQ(header->MV3IDOB, 9);
    EXPECT_EQ(header->MV3VROB, 31);
    EXPECT_EQ(header->MV3VROI, 1);
    EXPECT_EQ(header->MV3MMGG, (MonthYear{5, 2010}));
    EXPECT_EQ(header->MV3IGMM, (YearMonth{2010, 6}));
    EXPECT_EQ(header->MV3BROS, 11);
    EXPECT_EQ(header->MV3IBOO, "  81773745505");
    EXPECT_EQ(header->MV3IST2, Decimal());
    EXPECT_EQ(header->MV3IBRT.toString(), "999.99");
    const BuiltLine line = buildLine(*header, PositiveSign::Zero);
    ASSERT_TRUE(line.ok()) << line.error;
    EXPECT_EQ(line.line.substr(139, 20), "00011000000000099999");
}

TEST_F(PageATest, AFormWithoutRowsStopsAndWritesNothing) {
    addRows(input(2), people(3));
    const PageAResult r = buildPageA(st.tables, payer(), input(1));
    EXPECT_FALSE(r.built);
    EXPECT_EQ(r.rowsRead, 0);
    EXPECT_EQ(st.reporter.statuses,
              (std::vector<std::string>{"Obrada prekinuta. Preuzeto 0 redaka"}));
    EXPECT_EQ(table("A").count(), 0);
    EXPECT_EQ(get(table("POS"), "IDENTIFIKATOR"), "5");
}

TEST_F(PageATest, TotalsThatDoNotFitPageAAreRefused) {
    const PageAInput in = input(1);
    std::vector<Row> rows = people(2);
    rows[0].amounts[1] = rows[1].amounts[1] = "99999999999.99";
    addRows(in, rows);
    const PageAResult r = buildPageA(st.tables, payer(), in);
    EXPECT_FALSE(r.built);
    EXPECT_EQ(st.reporter.lastBox().text,
              "Ukupni iznos 199999999999.98 ne stane u polje A:IZNOS8 stranice A obrasca 0070001");
    EXPECT_EQ(table("A").count(), 0);
}

TEST_F(PageATest, RebuildingRecountsButKeepsTheBusinessNumberAndLowerNumbersLeaveThePayer) {
    const PageAInput in = input(3);
    addRows(in, people(3));
    ASSERT_TRUE(buildPageA(st.tables, payer(), in).built);
    ASSERT_EQ(
        storeControlMark(st.tables, in.form.linkKey(), "A9993E364706816ABA3E25717850C26C9CD0D89D"),
        ControlMarkResult::Stored);
    EXPECT_EQ(stored(in, "KONZNAK"), "A9993E3647-06816ABA3E-25717850C2-6C9CD0D89D");
    TableAccess& a = table("A");
    set(a, "MB01", "12345678");
    set(a, "MB02", "0001");
    ASSERT_EQ(a.change(), 0);

    addRows(in, {Row{"0909990330009"}});
    const PageAResult again = buildPageA(st.tables, payer(), in);
    ASSERT_TRUE(again.built && again.pageAWritten);
    EXPECT_EQ(stored(in, "BROJOSIG"), "4");
    EXPECT_EQ(stored(in, "IZNOS7"), "400.00");
    EXPECT_EQ(stored(in, "MB01"), "12345678");
    EXPECT_EQ(stored(in, "MB02"), "0001");
    EXPECT_EQ(stored(in, "KONZNAK"), std::string(kControlMarkPlaceholder));
    EXPECT_EQ(table("A").count(), 1);
    EXPECT_EQ(get(table("POS"), "IDENTIFIKATOR"), "5"); // 3 is below 5
}

TEST_F(PageATest, AControlMarkForAMissingFormIsRefused) {
    EXPECT_EQ(storeControlMark(st.tables, "007004201", "A9993E364706816ABA3E25717850C26C9CD0D89D"),
              ControlMarkResult::FormMissing);
    EXPECT_EQ(st.reporter.lastBox().text, "Greška kod ažuriranja SHA broja (1)=0070042");
    EXPECT_THROW(storeControlMark(st.tables, "007004201", "1234"), std::invalid_argument);
}

} // namespace
