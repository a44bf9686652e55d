#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "base/day_number.h"
#include "base/fixed_text.h"
#include "import/finding.h"
#include "import/payment_forms.h"
#include "import/payment_line.h"
#include "submission/digest.h"
#include "submission/record_format.h"
#include "support/demo_installation.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;
namespace fs = std::filesystem;

namespace {

constexpr const char* kPayer = "  81773745505";      // the demo employer's identifier
constexpr const char* kOtherPayer = "  20572565300"; // a valid identifier of someone else

// One line of a payment-data file, as a payroll program writes it.
struct PayLine {
    std::string payer = kPayer;
    std::string type = "01";
    std::string year = "2026", month = "12", from = "01", to = "31";
    std::string person, name, municipality, member, basis, mark;
    std::array<std::string, 5> amounts; // sign position and 14 digits

    std::string text() const {
        std::string line(kPaymentLineLength, ' ');
        auto put = [&](PaymentField f, const std::string& value) {
            const PaymentFieldSpan& s = paymentFieldSpan(f);
            line.replace(s.offset, s.width, fixed(value, s.width));
        };
        put(PaymentField::RBOSOB, "00001");
        put(PaymentField::MB2, payer);
        put(PaymentField::VRSOBV, "31");
        put(PaymentField::VRSTAUPLA, type);
        put(PaymentField::GODOBRA, year);
        put(PaymentField::OBRMJE, month);
        put(PaymentField::OBRRAZD1, from);
        put(PaymentField::OBRRAZD2, to);
        put(PaymentField::JMBG, person);
        put(PaymentField::PREZIME, name);
        put(PaymentField::OPCINA, municipality);
        put(PaymentField::CLANDN, member);
        put(PaymentField::OSNOVA1, basis);
        put(PaymentField::OSNOVA3, mark);
        for (int i = 0; i < 5; ++i)
            put(paymentAmountField(i), amounts[i]);
        return line;
    }
};

std::string amountText(const Decimal& d, char plus = '+') {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%c%014lld", d.sign() < 0 ? '-' : plus,
                  static_cast<long long>(d.abs().rescale(2).units()));
    return buf;
}

struct Collected : FindingSink {
    std::vector<Finding> all;
    void add(const Finding& f) override { all.push_back(f); }
};

// A demo installation (one payer of type 31 with 20 employees and their pay
// rows for November and December 2026); the payment-data file is made from
// the December rows, so that it is clean.
class PaymentForms : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(installDemo(dir.str(), st.errors));
        rq.form = demoFormingRequest();
        rq.inputFile = dir.file("ulaz/uplate.txt");
        rq.currentYear = 2026;

        TableAccess& rad = st.tables.access("RAD");
        ASSERT_EQ(rad.open(), 0);
        rad.setOrder(rad.def().keyIndex("KEYRBRFIRME"));
        rad.setStart();
        while (rad.next() == 0) {
            if (get(rad, "MJEOBRA") != "12") continue;
            auto raw = [&](const char* field) {
                return std::string(rad.record().text(rad.def().fieldIndex(field)));
            };
            PayLine l;
            l.person = raw("JMBG");
            l.name = raw("PREZIME");
            l.municipality = raw("OPCINA");
            l.member = raw("CLANDN");
            l.basis = raw("OSNOVA1");
            l.mark = raw("OSNOVA3");
            const char* amounts[] = {"IZNOS7", "IZNOS8", "IZNOS9", "IZNOS10", "IZNOS11"};
            for (int i = 0; i < 5; ++i)
                l.amounts[i] =
                    amountText(rad.record().decimal(rad.def().fieldIndex(amounts[i])), '0');
            employees.push_back(l);
        }
        rad.close();
        ASSERT_EQ(employees.size(), 20u);
    }

    void write(const std::vector<PayLine>& lines) {
        std::ofstream out(rq.inputFile, std::ios::binary);
        for (const PayLine& l : lines)
            out << l.text() << "\r\n";
    }
    PaymentFormsResult form() {
        sink.all.clear();
        st.reporter.clear();
        return formFromPaymentData(st.tables, rq, &sink);
    }

    // The form's page-B rows as "identifier|IZNOS7|IZNOS9|VRSUPL" in key order.
    std::vector<std::string> rowsOf(const std::string& link) {
        TableAccess& osi = st.tables.access("OSI");
        EXPECT_EQ(osi.open(), 0);
        osi.setOrder(osi.def().keyIndex("KEYOBRGODMJE"));
        osi.setStart();
        std::vector<std::string> rows;
        while (osi.next() == 0)
            if (get(osi, "KONVEZA") == link)
                rows.push_back(get(osi, "JMBG") + "|" + get(osi, "IZNOS7") + "|" +
                               get(osi, "IZNOS9") + "|" + get(osi, "VRSUPL"));
        osi.close();
        return rows;
    }
    std::string pageAField(const std::string& link, const std::string& field) {
        return st.lookUp("A", "KONVEZA", link, field);
    }
    // The messages of TBGRESKE in the order of their running numbers.
    std::vector<std::string> storedFindings() {
        TableAccess& gre = st.tables.access("GRE");
        EXPECT_EQ(gre.open(), 0);
        auto messages = column(gre, "KEYREDBROJ", "OPIS");
        gre.close();
        return messages;
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const Finding& f : sink.all)
            out.push_back(f.message);
        return out;
    }
    // Adds a page-B row directly, as a form made earlier left it.
    void storeRow(const std::string& link, const PayLine& l, const std::string& type,
                  const std::string& pillar1) {
        TableAccess& osi = st.tables.access("OSI");
        ASSERT_EQ(osi.open(), 0);
        osi.record().clear();
        osi.record().setText(osi.def().fieldIndex("JMBG"), l.person);
        osi.record().setText(osi.def().fieldIndex("PREZIME"), l.name);
        set(osi, "OSNOVA1", l.basis);
        set(osi, "OSNOVA3", l.mark);
        set(osi, "CLANDN", l.member);
        set(osi, "OPCINA", l.municipality);
        set(osi, "OBRRAZD1", "1");
        set(osi, "OBRRAZD2", "31");
        set(osi, "IZNOS7", "100.00");
        set(osi, "IZNOS8", "100.00");
        set(osi, "IZNOS9", pillar1);
        set(osi, "GODOBRA", "2026");
        set(osi, "OBRMJE", "12");
        set(osi, "IDENTIFIKATOR", link.substr(0, 7));
        set(osi, "VRSUPL", type);
        set(osi, "KONVEZA", link);
        ASSERT_EQ(osi.add(), 0);
        osi.close();
    }

    TempDir dir;
    Station st{dir.str()};
    PaymentFormsRequest rq;
    std::vector<PayLine> employees;
    Collected sink;
};

TEST_F(PaymentForms, TwoPayersInOneFileFormOnlyTheChosenPayersLines) {
    std::vector<PayLine> lines = employees;
    PayLine other = employees[3];
    other.payer = kOtherPayer;
    lines.insert(lines.begin() + 5, other);
    lines.insert(lines.begin() + 12, other);
    write(lines);

    const PaymentFormsResult r = form();
    ASSERT_TRUE(r.forming.done) << ::testing::PrintToString(messages());
    EXPECT_EQ(r.linesRead, 22);
    EXPECT_EQ(r.linesTaken, 20);
    EXPECT_EQ(r.linesRefused, 2);
    EXPECT_FALSE(r.selectedRefused);
    EXPECT_EQ(r.summaryNote, "Nakon obrade pregledajte popis grešaka ");
    // The other payer's lines, and nothing else, are findings.
    EXPECT_EQ(messages(), std::vector<std::string>(2, "Redak nije preuzet."));
    EXPECT_EQ(sink.all[0].line, 6);
    EXPECT_EQ(sink.all[1].line, 13);
    EXPECT_EQ(storedFindings(), messages());

    EXPECT_EQ(rowsOf("001005001").size(), 20u);
    EXPECT_EQ(pageAField("001005001", "BROJOSIG"), "20");
    EXPECT_EQ(pageAField("001005001", "KONZNAK"), r.forming.controlMark);
    EXPECT_EQ(r.forming.controlMark, groupedMark(doSHAOnFile(r.forming.payerFile)));
    const auto& statuses = st.reporter.statuses;
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Pročitano=22 Preuzeto=20"),
              statuses.end());
    EXPECT_NE(
        std::find(statuses.begin(), statuses.end(), "1. dio obrade završena. Formiram SHA broj"),
        statuses.end());
    EXPECT_EQ(statuses.back(), "OBVEZNIK JE USPJEŠNO OBRAĐEN");
}

// Rows are numbered in file order, carry the rates of their rate row, and the
// file writes "+" before amounts of zero and above.
TEST_F(PaymentForms, RowsCarryRatesAndTheFileWritesPlusSigns) {
    write(employees);
    const PaymentFormsResult r = form();
    ASSERT_TRUE(r.forming.done) << ::testing::PrintToString(messages());

    TableAccess& osi = st.tables.access("OSI");
    ASSERT_EQ(osi.open(), 0);
    const auto numbers = column(osi, "KEYREDBROJ", "RBOSOB");
    ASSERT_EQ(numbers.size(), 20u);
    EXPECT_EQ(numbers.front(), "00001");
    EXPECT_EQ(numbers.back(), "00020");
    osi.setOrder(osi.def().keyIndex("KEYREDBROJ"));
    osi.setStart();
    while (osi.next() == 0) {
        // Every demo person has a rate row: member 15 + 5, non-member 20 + 0.
        const bool member = get(osi, "CLANDN") == "D";
        EXPECT_EQ(get(osi, "STOPA1"), member ? "15.00" : "20.00") << get(osi, "JMBG");
        EXPECT_EQ(get(osi, "STOPA2"), member ? "5.00" : "0.00");
        EXPECT_EQ(get(osi, "STOPA11"), "0.00");
        EXPECT_EQ(get(osi, "STOPA22"), "0.00");
        EXPECT_EQ(get(osi, "VRSUPL"), "01");
    }
    osi.close();

    const std::string file = slurp(r.forming.payerFile);
    const RecordLayout& five = *recordLayout('5');
    const RecordLayout& three = *recordLayout('3');
    int typeFive = 0;
    for (std::size_t at = 0; at < file.size(); at += kRecordLength + 2) {
        const std::string line = file.substr(at, kRecordLength);
        const RecordLayout& layout = line.back() == '5' ? five : three;
        if (line.back() != '5' && line.back() != '3') continue;
        typeFive += line.back() == '5';
        for (const RecordField& f : layout.fields) {
            if (f.encoding != FieldEncoding::Amount) continue;
            EXPECT_EQ(line[f.offset()], '+') << f.code << " of " << line;
        }
    }
    EXPECT_EQ(typeFive, 20);
}

// Whatever stops the run, the form keeps exactly the rows and page A it had,
// and the findings say why.
TEST_F(PaymentForms, AStoppedRunKeepsTheFormAsItWas) {
    write(employees);
    const PaymentFormsResult first = form();
    ASSERT_TRUE(first.forming.done);
    const auto rowsBefore = rowsOf("001005001");
    const std::string fileBefore = slurp(first.forming.payerFile);

    struct Case {
        const char* what;
        std::function<void(std::vector<PayLine>&)> change;
        std::string finding;
    };
    const std::vector<Case> cases = {
        {"unknown municipality", [](auto& l) { l[7].municipality = "9999"; },
         "Nepoznata šifra općine"},
        {"letters in IV.8", [](auto& l) { l[2].amounts[1] = "+0000012345678A"; },
         "Podatak IV.8 nije numerik"},
        {"non-member paying pillar II",
         [](auto& l) {
             l[4].member = "N";
             l[4].amounts[3] = "+00000000010000";
         },
         "Osiguranik nije član OMF. Nema doprinosa za II. stup"},
        {"pillar I not as computed", [](auto& l) { l[0].amounts[2] = "+00000000000100"; },
         "Upozorenje - razlika o obračunatom doprinosu I. stupa:       1.00  -  "},
        {"no line of the month",
         [](auto& l) {
             for (PayLine& x : l)
                 x.month = "11";
         },
         "Redak nije preuzet."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<PayLine> lines = employees;
        for (PayLine& l : lines)
            l.amounts[0] = "+00000009999900"; // the new rows would differ from the old ones
        c.change(lines);
        write(lines);
        const PaymentFormsResult r = form();
        EXPECT_FALSE(r.forming.done);
        EXPECT_EQ(st.reporter.statuses.back(),
                  "Obrada je prekinuta, provjerite popis grešaka i upozorenja.");
        EXPECT_NE(std::find(st.reporter.statuses.begin(), st.reporter.statuses.end(),
                            "Pročitano=20 Preuzeto=" + std::to_string(r.linesTaken)),
                  st.reporter.statuses.end());
        const auto found = storedFindings();
        EXPECT_TRUE(std::any_of(found.begin(), found.end(), [&](const std::string& m) {
            return m.rfind(c.finding, 0) == 0;
        })) << ::testing::PrintToString(found);
        EXPECT_EQ(rowsOf("001005001"), rowsBefore);
        EXPECT_EQ(pageAField("001005001", "KONZNAK"), first.forming.controlMark);
        EXPECT_EQ(slurp(first.forming.payerFile), fileBefore);
    }
}

TEST_F(PaymentForms, Type99ReplacesOnlyTheFormsType99Rows) {
    rq.form.calculationType = "99";
    const std::string link = "001005099";
    storeRow(link, employees[0], "01", "15.00"); // a row of another type under the form
    storeRow(link, employees[1], "99", "15.00");
    std::vector<PayLine> lines = {employees[2], employees[3]};
    for (PayLine& l : lines) {
        l.type = "99";
        l.amounts[0] = "+00000000000000"; // the control table is not consulted for 99
    }
    write(lines);

    const PaymentFormsResult r = form();
    ASSERT_TRUE(r.forming.done) << ::testing::PrintToString(messages());
    EXPECT_TRUE(sink.all.empty()) << ::testing::PrintToString(messages());
    const auto rows = rowsOf(link);
    ASSERT_EQ(rows.size(), 3u) << ::testing::PrintToString(rows);
    auto has = [&](const PayLine& l, const std::string& type) {
        return std::any_of(rows.begin(), rows.end(), [&](const std::string& row) {
            return row.rfind(std::string(clipRight(l.person)) + "|", 0) == 0 &&
                   row.substr(row.size() - 2) == type;
        });
    };
    EXPECT_TRUE(has(employees[0], "01"));
    EXPECT_FALSE(has(employees[1], "99"));
    EXPECT_TRUE(has(employees[2], "99"));
    EXPECT_TRUE(has(employees[3], "99"));
    EXPECT_EQ(pageAField(link, "BROJOSIG"), "3");
}

// A zero amount where the control table wants more than zero stands when a
// page-B row already stored for the person and month paid that column.
TEST_F(PaymentForms, RememberedAmountsComeFromStoredRowsOfThePersonAndMonth) {
    std::vector<PayLine> lines = employees;
    lines[0].amounts[2] = "+00000000000000"; // no pillar I contribution
    write(lines);
    PaymentFormsResult r = form();
    EXPECT_FALSE(r.forming.done);
    EXPECT_EQ(messages(),
              std::vector<std::string>{"Greška - Iznos doprinosa za I. stup mora biti >0. "
                                       "Provjerite kontrolnu tablicu za VOB=31 VOI=01 OO=01"});
    EXPECT_EQ(sink.all[0].field, "IZNOS9");
    EXPECT_EQ(sink.all[0].kind, 'F');
    EXPECT_EQ(sink.all[0].line, 1);
    EXPECT_EQ(sink.all[0].start, 150);

    storeRow("001004001", lines[0], "01", "15.00"); // another form, same person and month
    r = form();
    EXPECT_TRUE(r.forming.done) << ::testing::PrintToString(messages());
}

// TBGRESKE numbers its rows in 16 bits: findings beyond them still reach the
// receiver, and the user is told how many the table could not hold.
TEST_F(PaymentForms, FindingsBeyondTheTablesNumbersAreCountedNotLost) {
    PayLine other = employees[0];
    other.payer = kOtherPayer;
    write(std::vector<PayLine>(32770, other));
    const PaymentFormsResult r = form();
    EXPECT_FALSE(r.forming.done);
    EXPECT_EQ(r.findings, 32770);
    EXPECT_EQ(sink.all.size(), 32770u);
    EXPECT_EQ(sink.all.back().line, 32770);
    EXPECT_EQ(storedFindings().size(), 32767u);
    EXPECT_EQ(st.reporter.lastBox().text,
              "Tablica grešaka TBGRESKE je puna: 3 grešaka nije upisano.");
}

TEST_F(PaymentForms, ChecksStopBeforeAnyTableChanges) {
    std::vector<PayLine> lines = employees;
    lines[0].payer = kOtherPayer;
    write(lines);
    ASSERT_TRUE(form().forming.done);
    const auto findingsBefore = storedFindings();
    ASSERT_EQ(findingsBefore, std::vector<std::string>{"Redak nije preuzet."});

    struct Case {
        std::function<void(PaymentFormsRequest&)> change;
        std::string message;
    };
    const std::vector<Case> cases = {
        {[](auto& r) { r.form.sequence = 49; },
         "Za VOB=31 red. broj unutar indetifikatora mora biti >=50"},
        {[](auto& r) { r.form.year = 2004; }, "Greška. Godina mora biti veća od 2004"},
        {[](auto& r) { r.form.month = 13; }, "Pogrešna oznaka mjeseca"},
        {[](auto& r) { r.form.mode = SendingMode::Unset; },
         "Obavezno izaberite način slanja podataka"},
        {[&](auto& r) { r.inputFile = dir.file("ulaz/nema.txt"); },
         "Greška kod preuzimanja podataka " + dir.file("ulaz/nema.txt")},
        {[&](auto& r) { r.inputFile = dir.file("ulaz"); },
         "Greška kod preuzimanja podataka " + dir.file("ulaz")},
        {[](auto& r) { r.form.payer = 9; }, "Greška 35"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const PaymentFormsRequest saved = rq;
        c.change(rq);
        EXPECT_FALSE(form().forming.done);
        EXPECT_EQ(st.reporter.lastBox().text, c.message);
        EXPECT_EQ(storedFindings(), findingsBefore);
        rq = saved;
    }
    EXPECT_EQ(rowsOf("001005001").size(), 19u);

    // A run the user cancels while reading the file changes nothing either.
    std::vector<PayLine> many;
    for (int i = 0; i < 60; ++i)
        many.insert(many.end(), employees.begin(), employees.end());
    write(many);
    st.reporter.cancelAfterChecks = 0;
    const PaymentFormsResult cancelled = form();
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_FALSE(cancelled.forming.done);
    EXPECT_EQ(cancelled.linesRead, 1024);
    EXPECT_EQ(storedFindings(), findingsBefore);
    EXPECT_EQ(rowsOf("001005001").size(), 19u);
}

} // namespace
