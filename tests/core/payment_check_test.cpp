#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>
#include <vector>

#include "base/day_number.h"
#include "base/fixed_text.h"
#include "import/payment_check.h"
#include "import/payment_line.h"
#include "support/demo_installation.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;
namespace fs = std::filesystem;

namespace {

using Changes = std::vector<std::pair<PaymentField, std::string>>;

std::string amount(long long cents) {
    std::string digits = std::to_string(cents < 0 ? -cents : cents);
    return std::string(1, cents < 0 ? '-' : '+') + std::string(14 - digits.size(), '0') + digits;
}

// A correct line of the demo payer for December 2026: 6,600.00 gross and
// base, 990.00 (15%) and 330.00 (5%) contributions, 4,787.23 paid.
std::string paymentLine(const Changes& changes = {}) {
    std::string line(kPaymentLineLength, ' ');
    auto put = [&](PaymentField f, const std::string& utf8) {
        const PaymentFieldSpan& s = paymentFieldSpan(f);
        line.replace(s.offset, s.width, fixed(utf8ToCp1250Lossy(utf8), s.width));
    };
    const Changes defaults = {{PaymentField::RBOSOB, "00001"},
                              {PaymentField::MB2, "  81773745505"},
                              {PaymentField::VRSOBV, "31"},
                              {PaymentField::VRSTAUPLA, "01"},
                              {PaymentField::IDENTIFIKATOR, "0050"},
                              {PaymentField::GODOBRA, "2026"},
                              {PaymentField::OBRMJE, "12"},
                              {PaymentField::OBRRAZD1, "01"},
                              {PaymentField::OBRRAZD2, "31"},
                              {PaymentField::JMBG, "  17957931210"},
                              {PaymentField::PREZIME, "Perić Željka"},
                              {PaymentField::OPCINA, "1333"},
                              {PaymentField::CLANDN, "D"},
                              {PaymentField::OSNOVA1, "01"},
                              {PaymentField::OSNOVA3, "0"},
                              {PaymentField::IZNOS7, amount(660000)},
                              {PaymentField::IZNOS8, amount(660000)},
                              {PaymentField::IZNOS9, amount(99000)},
                              {PaymentField::IZNOS10, amount(33000)},
                              {PaymentField::IZNOS11, amount(478723)}};
    for (const auto& [f, v] : defaults)
        put(f, v);
    for (const auto& [f, v] : changes)
        put(f, v);
    return line;
}

struct Collected : FindingSink {
    std::vector<Finding> findings;
    void add(const Finding& f) override { findings.push_back(f); }
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const Finding& f : findings)
            out.push_back(f.message);
        return out;
    }
};

const std::string kRef = ". Provjerite kontrolnu tablicu za VOB=31 VOI=01 OO=01";

// A demo installation (payer 1 of type 31, identifier 81773745505, blank
// business number; working folder rad/) and the window's values for December 2026.
class PaymentCheck : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(installDemo(dir.str(), st.errors));
        rq.payer = 1;
        rq.calculationType = "01";
        rq.year = 2026;
        rq.month = 12;
        rq.firstDay = 1;
        rq.lastDay = 31;
        rq.currentYear = 2026;
        rq.file = input;
    }
    void write(const std::vector<std::string>& lines) {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        for (const std::string& l : lines)
            out << l << "\r\n";
    }
    PaymentCheckResult run(const std::vector<std::string>& lines) {
        write(lines);
        return run();
    }
    PaymentCheckResult run() {
        sink.findings.clear();
        return checkPaymentData(st.tables, rq, &sink);
    }
    long long count(const char* table) { return st.rows(table); }
    std::vector<std::string> values(const char* table, const char* key, const char* field) {
        TableAccess& t = st.open(table);
        auto out = column(t, key, field);
        t.close();
        return out;
    }
    std::string workCopy() const { return dir.file("rad/TBUPLATE.DAT"); }

    TempDir dir;
    Station st{dir.str()};
    PaymentCheckRequest rq;
    std::string input = dir.file("ulaz/uplate.txt");
    Collected sink;
};

TEST(PaymentLine, LayoutComesFromTheWorkFileDeclaration) {
    EXPECT_EQ(paymentFieldSpan(PaymentField::MB).start(), 6);
    EXPECT_EQ(paymentFieldSpan(PaymentField::MB2).start(), 18);
    EXPECT_EQ(paymentFieldSpan(PaymentField::MB2).end(), 30);
    EXPECT_EQ(paymentFieldSpan(PaymentField::PREZIME).start(), 62);
    EXPECT_EQ(paymentFieldSpan(PaymentField::PREZIME).end(), 111);
    EXPECT_EQ(paymentFieldSpan(PaymentField::CLANDN).start(), 116);
    EXPECT_EQ(paymentFieldSpan(PaymentField::IZNOS7).start(), 120);
    EXPECT_EQ(paymentFieldSpan(PaymentField::IZNOS11).end(), 194);
    const PaymentLine line(paymentLine({{PaymentField::MB, "12345678UNIT"}}));
    EXPECT_EQ(line.businessNumber(), "12345678");
    EXPECT_EQ(line.unit(), "UNIT");
    EXPECT_EQ(line.text(PaymentField::JMBG), "  17957931210");
    EXPECT_EQ(line.amount(1), Decimal::fromUnits(660000, 2));
    // A short record is padded, a long one cut.
    EXPECT_EQ(PaymentLine("abc").record().size(), kPaymentLineLength);
    EXPECT_EQ(PaymentLine(std::string(300, 'x')).record().size(), kPaymentLineLength);
}

TEST(PaymentLine, AmountsOnlyMinusIsNegative) {
    struct Case {
        const char* text;
        long long cents;
        bool complete;
    } cases[] = {
        {"+00000000012345", 12345, true}, {"-00000000012345", -12345, true},
        {" 00000000012345", 12345, true}, {"X00000000012345", 12345, true},
        {"000000000012345", 12345, true}, {"+0000000001234 ", 1234, false},
        {"+000000000123A5", 0, false},    {"+0000000 012345", 0, false},
        {"               ", 0, false},    {"-99999999999999", -99999999999999, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readPaymentAmount(c.text), Decimal::fromUnits(c.cents, 2)) << c.text;
        EXPECT_EQ(paymentAmountDigitsComplete(c.text), c.complete) << c.text;
    }
}

TEST(PaymentLine, YearMonthAndDaysAreNumbers) {
    EXPECT_EQ(readPaymentNumber("03"), 3);
    EXPECT_EQ(readPaymentNumber(" 3"), 3);
    EXPECT_EQ(readPaymentNumber("3 "), 3);
    EXPECT_EQ(readPaymentNumber("2026"), 2026);
    EXPECT_EQ(readPaymentNumber("  "), 0);
    EXPECT_EQ(readPaymentNumber("3x"), std::nullopt);
    EXPECT_EQ(readPaymentNumber("1.5"), std::nullopt);
}

TEST_F(PaymentCheck, SelectionComparesPayerPeriodAndTypeAndTheNumbersAsNumbers) {
    rq.month = 3;
    rq.lastDay = 30;
    using F = PaymentField;
    const std::vector<std::pair<Changes, bool>> lines = {
        {{{F::OBRMJE, "03"}, {F::OBRRAZD2, "30"}}, true},
        {{{F::OBRMJE, " 3"}, {F::OBRRAZD2, "30"}}, true},
        {{{F::OBRMJE, "3 "}, {F::OBRRAZD2, "30"}}, true},
        {{{F::OBRMJE, "3x"}, {F::OBRRAZD2, "30"}}, false},
        {{{F::OBRMJE, "03"}, {F::OBRRAZD1, " 1"}, {F::OBRRAZD2, "30"}}, true},
        {{{F::OBRMJE, "03"}, {F::OBRRAZD1, "1 "}, {F::OBRRAZD2, "3 "}}, true},
        {{{F::OBRMJE, "03"}, {F::OBRRAZD2, "31"}}, false}, // beyond the last day
        {{{F::OBRMJE, "03"}, {F::OBRRAZD1, "00"}, {F::OBRRAZD2, "30"}}, false},
        {{{F::OBRMJE, "03"}, {F::OBRRAZD2, "30"}, {F::GODOBRA, "2025"}}, false},
        {{{F::OBRMJE, "03"}, {F::OBRRAZD2, "30"}, {F::VRSTAUPLA, "1 "}}, false},
        {{{F::OBRMJE, "03"}, {F::OBRRAZD2, "30"}, {F::VRSTAUPLA, "02"}}, false},
        {{{F::OBRMJE, "03"}, {F::OBRRAZD2, "30"}, {F::MB, "12345678"}}, false},
        {{{F::OBRMJE, "03"}, {F::OBRRAZD2, "30"}, {F::MB, "        0001"}}, false},
        {{{F::OBRMJE, "03"}, {F::OBRRAZD2, "30"}, {F::MB2, "  17957931210"}}, false},
    };
    std::vector<std::string> file;
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Changes c = lines[i].first;
        char number[24];
        std::snprintf(number, sizeof number, "%05zu", i + 1);
        c.push_back({F::RBOSOB, number});
        file.push_back(paymentLine(c));
        if (lines[i].second) expected.push_back(number);
    }
    const PaymentCheckResult r = run(file);
    ASSERT_TRUE(r.done);
    EXPECT_EQ(r.linesRead, 14);
    EXPECT_EQ(r.selectedCorrect, 5);
    EXPECT_EQ(r.selectedWrong, 0);
    EXPECT_TRUE(sink.findings.empty()) << sink.messages().front();
    EXPECT_EQ(count("OSI4"), 14);
    auto correct = values("OSI3", "", "RBOSOB");
    std::sort(correct.begin(), correct.end());
    EXPECT_EQ(correct, expected);
}

struct CheckCase {
    const char* name;
    Changes changes;
    std::vector<std::string> messages;
    bool wrong;
    std::function<void(PaymentCheckRequest&)> adjust = nullptr;
};

TEST_F(PaymentCheck, EachCheckInOrderWithItsMessageAndWhetherItMarksTheLine) {
    using F = PaymentField;
    const std::string p1 = "Upozorenje - razlika u obračunatom doprinosu I. stupa: ";
    const std::string p2 = "Upozorenje - razlika u obračunatom doprinosu II stupa: ";
    const std::vector<CheckCase> cases = {
        {"clean", {}, {}, false},
        {"1: IV.7 with a letter",
         {{F::IZNOS7, "+0000000066000X"}},
         {"Podatak IV.7 nije numerik", "Greška - Iznos obračunane plaće mora biti >0" + kRef},
         true},
        {"2: IV.8 with an inner blank",
         {{F::IZNOS8, "+000000006600 0"}},
         {"Podatak IV.8 nije numerik", "Greška - Osnovica za doprinose mora biti >0" + kRef},
         true},
        {"3: IV.9 one digit short",
         {{F::IZNOS9, "+0000000009900 "}},
         {"Podatak IV.9 nije numerik", p1 + "     99.00  -     990.00"},
         true},
        {"4: IV.10 with a letter",
         {{F::IZNOS10, "+00000000033A00"}},
         {"Podatak IV.10 nije numerik"},
         true},
        {"5: IV.11 with a letter",
         {{F::IZNOS11, "+0000000047872X"}},
         {"Podatak IV.11 nije numerik", "Greška - Iznos ispaćene plaće mora biti >0" + kRef},
         true},
        {"6: person's identifier",
         {{F::JMBG, "  12345678901"}},
         {"Pogrešan Identifikacijski broj osiguranikae"},
         true},
        {"7: unknown basis, so no rate row and no control-table row",
         {{F::OSNOVA1, "99"}},
         {"Nepoznata šifra osnova osiguranja", "Pogrešan osnov obračuna za VOB=31 VOI=01 OO=99",
          p1 + "    990.00  -       0.00", p2 + "    330.00  -       0.00"},
         true},
        {"8: unknown municipality", {{F::OPCINA, "9999"}}, {"Nepoznata šifra općine"}, true},
        {"9: unknown mark, so no rate row",
         {{F::OSNOVA3, "9"}},
         {"Nepoznata šifra za uvećani staž", p1 + "    990.00  -       0.00",
          p2 + "    330.00  -       0.00"},
         true},
        {"10: member flag, so no rate row",
         {{F::CLANDN, "X"}},
         {"Obvezno odredite da li je osoba član OMF ili nije", p1 + "    990.00  -       0.00",
          p2 + "    330.00  -       0.00"},
         true},
        {"12: the run's month",
         {{F::OBRMJE, "00"}},
         {"Greška - obračunski mjesec mora biti >0 Provjerite kontrolnu tablicu za VOB=31 VOI=01 "
          "OO=01"},
         true,
         [](PaymentCheckRequest& r) { r.month = 0; }},
        {"13: the run's year",
         {},
         {"Greška - obračunska godina."},
         true,
         [](PaymentCheckRequest& r) { r.currentYear = 2024; }},
        {"14: period from",
         {{F::OBRRAZD1, "00"}},
         {"Greška - razdoblje od mora biti >0" + kRef},
         true,
         [](PaymentCheckRequest& r) { r.firstDay = 0; }},
        {"15: period to",
         {{F::OBRRAZD2, "00"}},
         {"Greška - razdoblje do mora biti >0" + kRef},
         true,
         [](PaymentCheckRequest& r) { r.firstDay = 0; }},
        {"16: IV.7",
         {{F::IZNOS7, amount(0)}},
         {"Greška - Iznos obračunane plaće mora biti >0" + kRef},
         true},
        {"17: IV.8, no differences without a base",
         {{F::IZNOS8, amount(0)}},
         {"Greška - Osnovica za doprinose mora biti >0" + kRef},
         true},
        {"18: IV.9, so no pillar differences",
         {{F::IZNOS9, amount(0)}, {F::IZNOS10, amount(99999)}},
         {"Greška - Iznos doprinosa za I. stup mora biti >0" + kRef},
         true},
        {"19: pillar I difference above 0.03 marks the line",
         {{F::IZNOS9, amount(99004)}},
         {p1 + "    990.04  -     990.00"},
         true},
        {"19: a difference of 0.03 passes", {{F::IZNOS9, amount(99003)}}, {}, false},
        {"20: IV.10 below zero, no pillar II difference",
         {{F::IZNOS10, amount(-33000)}},
         {"Greška - Iznos doprinosa za II.stup mora biti >=0" + kRef},
         true},
        {"21: pillar II difference is only a warning",
         {{F::IZNOS10, amount(33004)}},
         {p2 + "    330.04  -     330.00"},
         false},
        {"22: IV.11",
         {{F::IZNOS11, amount(0)}},
         {"Greška - Iznos ispaćene plaće mora biti >0" + kRef},
         true},
        {"an amount the result tables cannot hold",
         {{F::IZNOS11, "+10000000000000"}},
         {"Podatak IV.11 je prevelik"},
         true},
    };
    const PaymentCheckRequest original = rq;
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        rq = original;
        if (c.adjust) c.adjust(rq);
        const PaymentCheckResult r = run({paymentLine(c.changes)});
        ASSERT_TRUE(r.done);
        EXPECT_EQ(sink.messages(), c.messages);
        EXPECT_EQ(r.selectedWrong, c.wrong ? 1 : 0);
        EXPECT_EQ(r.selectedCorrect, c.wrong ? 0 : 1);
        EXPECT_EQ(count("OSI3"), c.wrong ? 0 : 1);
        EXPECT_EQ(count("OSI4"), 1);
        EXPECT_EQ(values("GRE", "KEYREDBROJ", "OPIS"), c.messages);
        EXPECT_EQ(r.anyFinding, !c.messages.empty());
    }
}

TEST_F(PaymentCheck, MissingControlTableRowWarnsAndTheLineStaysCorrect) {
    TableAccess& vez = st.tables.access("VEZ");
    ASSERT_EQ(vez.open(), 0);
    set(vez, "VOB", "31");
    set(vez, "VOI", "01");
    set(vez, "OO", "01");
    ASSERT_EQ(vez.fetch(vez.def().keyIndex("KEYVOB_VOI")), 0);
    ASSERT_EQ(vez.remove(), 0);
    vez.close();
    // Without the row nothing is compared: even a zero gross amount passes.
    const PaymentCheckResult r = run({paymentLine({{PaymentField::IZNOS7, amount(0)}})});
    ASSERT_TRUE(r.done);
    EXPECT_EQ(sink.messages(),
              std::vector<std::string>{"Pogrešan osnov obračuna za VOB=31 VOI=01 OO=01"});
    ASSERT_EQ(sink.findings.size(), 1u);
    EXPECT_EQ(sink.findings[0].kind, 'U');
    EXPECT_EQ(r.selectedCorrect, 1);
    EXPECT_EQ(count("OSI3"), 1);
}

TEST_F(PaymentCheck, CorrectionTypesSkipTheControlTableButNotTheCodeChecks) {
    rq.calculationType = "99";
    const PaymentCheckResult r =
        run({paymentLine({{PaymentField::VRSTAUPLA, "99"}, {PaymentField::IZNOS7, amount(0)}}),
             paymentLine({{PaymentField::VRSTAUPLA, "99"},
                          {PaymentField::OPCINA, "9999"},
                          {PaymentField::IZNOS9, amount(1)}})});
    ASSERT_TRUE(r.done);
    EXPECT_EQ(sink.messages(), std::vector<std::string>{"Nepoznata šifra općine"});
    EXPECT_EQ(r.selectedCorrect, 1);
    EXPECT_EQ(r.selectedWrong, 1);
}

TEST_F(PaymentCheck, SamePersonMemoryRunsOverAllLinesRead) {
    using F = PaymentField;
    const std::string a = "  17957931210", b = "  20092567543";
    const PaymentCheckResult r = run({
        // Another payer's line: not checked, but the person's gross is remembered.
        paymentLine({{F::JMBG, a}, {F::MB2, "  20092567543"}}),
        paymentLine({{F::JMBG, a}, {F::IZNOS7, amount(0)}}),
        paymentLine({{F::JMBG, b}}),
        // A different person came between: nothing remembered for a.
        paymentLine({{F::JMBG, a}, {F::IZNOS7, amount(0)}}),
    });
    ASSERT_TRUE(r.done);
    ASSERT_EQ(sink.findings.size(), 1u);
    EXPECT_EQ(sink.findings[0].line, 4);
    EXPECT_EQ(sink.findings[0].message, "Greška - Iznos obračunane plaće mora biti >0" + kRef);
    EXPECT_EQ(r.selectedCorrect, 2);
    EXPECT_EQ(r.selectedWrong, 1);
}

TEST_F(PaymentCheck, MalformedPayerIdentifierIsAFindingAndTheLineDoesNotBelong) {
    const PaymentCheckResult r =
        run({paymentLine({{PaymentField::MB2, "  12345678901"}, {PaymentField::OPCINA, "9999"}}),
             paymentLine()});
    ASSERT_TRUE(r.done);
    ASSERT_EQ(sink.findings.size(), 1u);
    const Finding& f = sink.findings[0];
    EXPECT_EQ(f.message, "ID broj obveznika nije korektan");
    EXPECT_EQ(f.field, "MB2");
    EXPECT_EQ(f.kind, 'F');
    EXPECT_EQ(f.start, 18);
    EXPECT_EQ(f.end, 30);
    EXPECT_EQ(f.value, "  12345678901");
    EXPECT_EQ(f.name, "Perić Željka");
    EXPECT_EQ(r.linesRead, 2);
    EXPECT_EQ(r.selectedWrong, 0);
    EXPECT_EQ(r.selectedCorrect, 1);
    EXPECT_TRUE(r.anyFinding);
    EXPECT_EQ(count("GRE"), 1);
}

TEST_F(PaymentCheck, ResultTablesHoldTheirColumnsAndTheSummaryTheSelection) {
    using F = PaymentField;
    const PaymentCheckResult r = run({
        paymentLine({{F::RBOSOB, "00007"}}),
        paymentLine({{F::RBOSOB, "00008"},
                     {F::JMBG, "  20092567543"},
                     {F::OPCINA, "9999"},
                     {F::IZNOS11, amount(0)}}),
        paymentLine({{F::RBOSOB, "00009"}, {F::GODOBRA, "2025"}, {F::VRSTAUPLA, "02"}}),
    });
    ASSERT_TRUE(r.done);
    // Correct lines: the run's year, month and type, amounts with four decimals.
    EXPECT_EQ(values("OSI3", "", "RBOSOB"), std::vector<std::string>{"00007"});
    EXPECT_EQ(values("OSI3", "", "IZNOS11"), std::vector<std::string>{"4787.2300"});
    EXPECT_EQ(values("OSI3", "", "VRSUPL"), std::vector<std::string>{"01"});
    EXPECT_EQ(values("OSI3", "", "OBRRAZD2"), std::vector<std::string>{"31"});
    // All lines: the line's type, the run's year.
    EXPECT_EQ(values("OSI4", "", "VRSUPL"), (std::vector<std::string>{"01", "01", "02"}));
    EXPECT_EQ(values("OSI4", "", "GODOBRA"), (std::vector<std::string>{"2026", "2026", "2026"}));
    EXPECT_EQ(values("OSI4", "", "IZNOS9"),
              (std::vector<std::string>{"990.00", "990.00", "990.00"}));
    // Findings: consecutive numbers, type 0, a copy of the line's fields.
    EXPECT_EQ(values("GRE", "KEYREDBROJ", "RB"), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(values("GRE", "KEYREDBROJ", "TIP"), (std::vector<std::string>{"0", "0"}));
    EXPECT_EQ(values("GRE", "KEYREDBROJ", "OPCINA"), (std::vector<std::string>{"9999", "9999"}));
    EXPECT_EQ(values("GRE", "KEYREDBROJ", "IZNOS11")[0], "+00000000000000");
    EXPECT_EQ(values("GRE", "KEYREDBROJ", "MB2")[0], "  81773745505");
    EXPECT_EQ(values("GRE", "KEYREDBROJ", "PREZIME")[0], "Perić Željka");
    EXPECT_EQ(values("GRE", "KEYREDBROJ", "JMBG")[0], "  20092567543");

    EXPECT_EQ(
        paymentCheckSummary(r),
        (std::vector<std::string>{
            "REZULTAT OBRADE", "Podaci sa upozorenjima: 1", "Ukupno obrađeno redaka: 3",
            "Retci koji zadovoljavaju kontrolama: 1", "KRITERIJ ZA PRETRAŽIVANJE",
            "Identifikacijski broj firme:   81773745505", "Obračunska godina: 2026 mjesec: 12",
            "Vrsta uplate: 01 Redovni mjesečni obračun plaće, naknade plaće ili drugog "
            "dohotka",
            "Vremensko razdoblje: 1 - 31"}));
    ASSERT_FALSE(st.reporter.statuses.empty());
    EXPECT_EQ(st.reporter.statuses.front(), "Malo strpljenja. Radim...");
    EXPECT_EQ(st.reporter.statuses.back(), "Ukupno obrađeno=    3");
    EXPECT_NE(std::find(st.reporter.statuses.begin(), st.reporter.statuses.end(),
                        "Formalna kontrola za = Perić Željka"),
              st.reporter.statuses.end());

    // A second run replaces all three tables and numbers its findings afresh.
    const PaymentCheckResult again = run({paymentLine({{F::OPCINA, "9999"}})});
    ASSERT_TRUE(again.done);
    EXPECT_EQ(values("GRE", "KEYREDBROJ", "RB"), std::vector<std::string>{"1"});
    EXPECT_EQ(count("OSI3"), 0);
    EXPECT_EQ(count("OSI4"), 1);
}

TEST_F(PaymentCheck, AFileThatCannotBeReadOrCopiedChangesNoTable) {
    ASSERT_TRUE(run({paymentLine(), paymentLine({{PaymentField::OPCINA, "9999"}})}).done);
    const std::string copy = slurp(workCopy());
    ASSERT_FALSE(copy.empty());
    fs::create_directory(dir.file("folder"));
    for (const std::string& path : {dir.file("missing.txt"), dir.file("folder"), std::string()}) {
        SCOPED_TRACE(path);
        st.reporter.clear();
        rq.file = path;
        const PaymentCheckResult r = run();
        EXPECT_FALSE(r.done);
        EXPECT_EQ(st.reporter.lastBox().text, "Greška kod preuzimanja podataka " + path);
        EXPECT_EQ(count("OSI3"), 1);
        EXPECT_EQ(count("OSI4"), 2);
        EXPECT_EQ(count("GRE"), 1);
        EXPECT_EQ(slurp(workCopy()), copy);
    }
}

TEST_F(PaymentCheck, PreconditionsStopTheRunBeforeAnyTableChanges) {
    ASSERT_TRUE(run({paymentLine({{PaymentField::OPCINA, "9999"}})}).done);
    const std::vector<std::pair<std::function<void(PaymentCheckRequest&)>, std::string>> cases = {
        {[](PaymentCheckRequest& r) { r.year = 2004; }, "Greška. Godina mora biti veća od 2004"},
        {[](PaymentCheckRequest& r) { r.month = 13; }, "Pogrešna oznaka mjeseca"},
        {[](PaymentCheckRequest& r) { r.calculationType = "05"; },
         "Za uplate 03 05 i 06 mjesec mora biti = 00"},
        {[](PaymentCheckRequest& r) { r.lastDay = 32; }, "Pogrešan dan"},
        {[](PaymentCheckRequest& r) { r.calculationType = "77"; },
         "Vrsta obračuna/ispravka 77 ne postoji u šifarniku vrsta obračuna"},
        {[](PaymentCheckRequest& r) { r.payer = 7; }, "Greška 35"},
    };
    const PaymentCheckRequest original = rq;
    for (const auto& [adjust, message] : cases) {
        SCOPED_TRACE(message);
        rq = original;
        adjust(rq);
        st.reporter.clear();
        EXPECT_FALSE(run({paymentLine(), paymentLine()}).done);
        EXPECT_EQ(st.reporter.lastBox().text, message);
        EXPECT_EQ(count("GRE"), 1);
        EXPECT_EQ(count("OSI4"), 1);
    }
    rq = original;
    TableAccess& apl = st.tables.access("APL");
    ASSERT_EQ(apl.open(), 0);
    apl.setStart();
    ASSERT_EQ(apl.next(), 0);
    set(apl, "JMBG", "1111111111111");
    ASSERT_EQ(apl.change(), 0);
    apl.close();
    EXPECT_FALSE(run({paymentLine()}).done);
    EXPECT_EQ(st.reporter.lastBox().text, "Ispravite podatke o ovlaštenoj osobi.\n Ispravak "
                                          "izvršite kroz Servisi/Aplikacijski parametri");
}

TEST_F(PaymentCheck, CancelledRunKeepsThePreviousResult) {
    ASSERT_TRUE(run({paymentLine({{PaymentField::OPCINA, "9999"}})}).done);
    st.reporter.cancelAfterChecks = 1;
    const PaymentCheckResult r = run(std::vector<std::string>(3000, paymentLine()));
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(r.done);
    EXPECT_EQ(count("GRE"), 1);
    EXPECT_EQ(count("OSI4"), 1);
    EXPECT_EQ(count("OSI3"), 0);
    EXPECT_FALSE(st.reporter.progressCalls.empty());
}

TEST_F(PaymentCheck, OddContentNeverStopsTheRun) {
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out << paymentLine() << "\n"; // LF alone
        out << "\r\n";                // empty line
        out << std::string(" \0\x01\xff abc", 9) << "\r\n";
        out << std::string(194, ' ') << "\r\n";
        out << paymentLine() + std::string(50, 'x') << "\r\n";
        out << paymentLine(); // no end mark
    }
    PaymentCheckResult r = run();
    ASSERT_TRUE(r.done);
    EXPECT_EQ(r.linesRead, 6);
    EXPECT_EQ(r.selectedCorrect, 3);
    // Lines that are not the payer's give a finding only for their payer identifier.
    EXPECT_EQ(sink.findings.size(), 3u);

    write({});
    r = run();
    ASSERT_TRUE(r.done);
    EXPECT_EQ(r.linesRead, 0);
    EXPECT_EQ(count("OSI4"), 0);
}

// The running number of TBGRESKE holds 32767 rows; findings beyond them still
// reach the receiver and the run says how many the table could not take.
TEST_F(PaymentCheck, FindingsBeyondTheTablesNumbersAreCountedAndStillReported) {
    // An unknown municipality and mark: four findings per line.
    const std::string line =
        paymentLine({{PaymentField::OPCINA, "9999"}, {PaymentField::OSNOVA3, "9"}});
    const PaymentCheckResult r = run(std::vector<std::string>(8200, line));
    ASSERT_TRUE(r.done);
    EXPECT_EQ(r.findings, 32800);
    EXPECT_EQ(sink.findings.size(), 32800u);
    EXPECT_EQ(r.findingsNotStored, 33);
    EXPECT_EQ(count("GRE"), 32767);
    EXPECT_EQ(st.reporter.lastBox().text,
              "Tablica grešaka TBGRESKE je puna; nije upisano grešaka: 33");
}

TEST_F(PaymentCheck, TheWorkCopyItselfCanBeChecked) {
    ASSERT_TRUE(run({paymentLine(), paymentLine()}).done);
    rq.file = workCopy();
    const PaymentCheckResult r = run();
    ASSERT_TRUE(r.done);
    EXPECT_EQ(r.linesRead, 2);
    EXPECT_EQ(r.selectedCorrect, 2);
}

TEST(PaymentCheckFields, WindowChecks) {
    EXPECT_EQ(checkPaymentYear("2026"), "");
    EXPECT_EQ(checkPaymentYear("20x6"), "Greška. Godina mora biti numerik");
    EXPECT_EQ(checkPaymentYear("226"), "Greška. Godina mora biti 4-znamenkasta");
    EXPECT_EQ(checkPaymentMonth("12", "01"), "");
    EXPECT_EQ(checkPaymentMonth("1x", "01"), "Mjesec mora biti numerik");
    EXPECT_EQ(checkPaymentMonth("13", "01"), "Pogrešna oznaka mjeseca");
    EXPECT_EQ(checkPaymentMonth("03", "05"), "Za uplate 03 05 i 06 mjesec mora biti = 00");
    EXPECT_EQ(checkPaymentMonth("00", "05"), "");
    EXPECT_EQ(checkPaymentDay("31", 2026, 12), "");
    EXPECT_EQ(checkPaymentDay("x", 2026, 12), "Greška. Dozvoljene su samo brojke");
    EXPECT_EQ(checkPaymentDay("30", 2026, 2), "Pogrešan dan");
    EXPECT_EQ(checkPaymentDay("31", 2026, 0), "");
}

} // namespace
