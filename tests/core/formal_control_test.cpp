// The formal control of a submission file: a clean file formed by the
// domain core, each record type's failing checks, the totals and counts that
// tie the records together, bad input that must not stop the run, and what a
// cancelled or failed run leaves behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/cp1250.h"
#include "base/day_number.h"
#include "base/fixed_text.h"
#include "base/picture.h"
#include "import/finding.h"
#include "import/formal_control.h"
#include "setup/initialize.h"
#include "submission/forming.h"
#include "submission/record_format.h"
#include "support/demo_installation.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;
namespace fs = std::filesystem;

namespace {

const std::int32_t kToday = demoToday();

struct Collected : FindingSink {
    std::vector<Finding> all;
    void add(const Finding& f) override { all.push_back(f); }
    // "field kind message" of the findings on one line.
    std::vector<std::string> on(long line) const {
        std::vector<std::string> out;
        for (const Finding& f : all)
            if (f.line == line) out.push_back(f.field + " " + f.kind + " " + f.message);
        return out;
    }
};

// A line with one field replaced (the value padded or cut to the field).
std::string with(std::string line, std::string_view code, std::string_view value) {
    const RecordLayout* layout = recordLayout(line.back());
    const int i = layout->fieldIndex(code);
    EXPECT_GE(i, 0) << code;
    const RecordField& f = layout->fields[i];
    line.replace(f.offset(), f.width, fixed(value, f.width));
    return line;
}

std::string n102(const char* amount) {
    return Picture::parse("N10.2")->format(*Decimal::parse(amount, 2));
}

std::string rule(const char* prefix, const char* code, bool month = false) {
    return std::string(prefix) + code + (month ? " " : ". ") +
           "Provjerite kontrolnu tablicu za VOB=31 VOI=01 OO=01";
}

// A demo installation and the payer file formed from it by the domain core:
// line 1 type 0, line 2 type 3, lines 3-22 type 5 (20 persons), line 23
// type 7, line 24 type 9.
class FormalControl : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(installDemo(dir.str(), st.errors));
        const FormingResult formed = formPayer(st.tables, demoFormingRequest());
        ASSERT_TRUE(formed.done);
        const std::string text = slurp(formed.payerFile);
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find("\r\n", at);
            clean.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        ASSERT_EQ(clean.size(), 24u);
        st.reporter.clear();
    }

    std::string write(const std::vector<std::string>& lines, const std::string& name = "in.txt") {
        std::string text;
        for (const std::string& l : lines)
            text += l + "\r\n";
        return writeBytes(text, name);
    }
    std::string writeBytes(const std::string& bytes, const std::string& name = "in.txt") {
        const std::string path = dir.file(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    FormalControlResult run(const std::string& path) {
        found = Collected{};
        FormalControlOptions options;
        options.today = kToday;
        options.sink = &found;
        return runFormalControl(st.tables, path, options);
    }
    FormalControlResult runLines(const std::vector<std::string>& lines) {
        return run(write(lines));
    }
    // The findings on one line of the clean file with one field replaced.
    std::vector<std::string> changed(int line, std::string_view code, std::string_view value) {
        std::vector<std::string> lines = clean;
        lines[line - 1] = with(lines[line - 1], code, value);
        EXPECT_TRUE(runLines(lines).done());
        return found.on(line);
    }
    long long rows(const char* table) { return st.rows(table); }
    std::vector<std::string> values(const char* table, const char* field) {
        TableAccess& t = st.open(table);
        t.setStart();
        auto out = column(t, "", field);
        t.close();
        return out;
    }
    std::string workCopy() { return slurp(dir.str() + "/rad/TBZOVAK1.TXT"); }

    TempDir dir;
    Station st{dir.str()};
    std::vector<std::string> clean;
    Collected found;
};

TEST_F(FormalControl, CleanFileFormedByTheDomainCoreHasNoFindings) {
    const std::string path = write(clean);
    const FormalControlResult r = run(path);
    ASSERT_TRUE(r.done());
    EXPECT_EQ(r.lines, 24);
    EXPECT_EQ(r.linesOfType, (std::array<long long, 6>{1, 1, 20, 1, 1, 0}));
    EXPECT_EQ(r.errors + r.warnings, 0);
    EXPECT_TRUE(found.all.empty()) << found.all.front().message;
    EXPECT_EQ(rows("ULZ"), 24);
    EXPECT_EQ(rows("ULZ1"), 0);
    EXPECT_EQ(workCopy(), slurp(path));
    EXPECT_EQ(r.workCopy, dir.str() + "/rad/TBZOVAK1.TXT");
    EXPECT_EQ(
        st.reporter.statuses,
        (std::vector<std::string>{"Malo strpljenja. Radim...", "Obrađeno    10 redaka",
                                  "Obrađeno    20 redaka", "Izvršena je kontrola datoteke."}));
    EXPECT_TRUE(st.reporter.boxes.empty());
    const std::uint64_t size = fs::file_size(path);
    ASSERT_FALSE(st.reporter.progressCalls.empty());
    EXPECT_EQ(st.reporter.progressCalls.back(), std::make_pair(size, size));

    // Each line is stored in five pieces of 50, the type and no mark.
    TableAccess& ulz = st.tables.access("ULZ");
    ASSERT_EQ(ulz.open(), 0);
    ulz.record().clear();
    set(ulz, "REDBROJ", "2");
    ASSERT_EQ(ulz.fetch(0), 0);
    std::string line;
    for (const char* piece : {"REDAK1", "REDAK2", "REDAK3", "REEDAK4", "REDAK5"})
        line += ulz.record().text(ulz.def().fieldIndex(piece));
    EXPECT_EQ(line, clean[1]);
    EXPECT_EQ(get(ulz, "TIPSLOGA"), "3");
    EXPECT_EQ(get(ulz, "GRESKA"), "");
    ulz.close();
}

struct Case {
    const char* code;
    const char* value;
    std::vector<std::string> expected; // "field kind message"
};

TEST_F(FormalControl, SenderRecordChecks) {
    const std::vector<Case> cases = {
        {"MV0REZ1", "1", {"MV0REZ1 F SL0:MV0REZ1 mora biti prazno ili 000000000000"}},
        {"MV0REZ1", "000000000000", {}},
        {"MV0IBOO", "  89029274467", {"MV0IBOO F Pogrešan Identifikacijski broj ovlaštene osobe"}},
        {"MV0NAZO", "", {"MV0NAZO U Naziv ili prezime i ime ovlaštene osobe mora biti popunjeno"}},
        {"MV0ADOB", "", {"MV0ADOB U Adresa ovlaštene osobe mora biti popunjena"}},
        {"MV0OSOB", "", {"MV0OSOB U Osoba za kontakt mora biti popunjena"}},
        {"MV0DTMN", "31122004", {"MV0DTMN F Pogrešan datum slanja sloga"}},
        {"MV0DTMN", "01012005", {}},
        {"MV0DTMN", "11122026", {"MV0DTMN F Pogrešan datum slanja sloga"}}, // tomorrow
        // A day beyond its month carries: 31 November is 1 December.
        {"MV0DTMN", "31112026", {}},
        {"MV0DTMN", "41112026", {"MV0DTMN F Pogrešan datum slanja sloga"}}, // 11 December
        {"MV0DTMN", "01132005", {}},                                        // 1 January 2006
        {"MV0DTMN",
         "0101205x",
         {"MV0DTMN F Datum nije numerik=0101205x", "MV0DTMN F Pogrešan datum slanja sloga"}},
        {"MV0OFOR", "MZ501", {"MZ0OFOR U Pogrešna oznaka formata "}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(changed(1, c.code, c.value), c.expected) << c.code << "=" << c.value;
    for (const Finding& f : found.all)
        EXPECT_EQ(f.name, "Slog tipa 0");
    // The last case: the columns of MV0OFOR and what stood there.
    ASSERT_EQ(found.all.size(), 1u);
    EXPECT_EQ(found.all[0].start, 224);
    EXPECT_EQ(found.all[0].end, 228);
    EXPECT_EQ(found.all[0].value, "MZ501");
}

TEST_F(FormalControl, FormHeaderChecks) {
    const std::vector<Case> cases = {
        {"MV3REZ1", "000000000001", {"MV3REZ1 F SL3:MV3REZ1 mora biti prazno ili 000000000000"}},
        {"MV3IBOO", "  81773745506", {"MV3IBOO F Pogrešan Identifikacijski broj obveznika"}},
        // A bad period gives two rows.
        {"MV3MMGG",
         "1a2026",
         {"MV3MMGG F Tip sloga 3. - obračunska godina i mjesec nisu numerik",
          "MV3MMGG F Mjesec i godina nisu numerik"}},
        {"MV3MMGG",
         "122004",
         {"MV3MMGG F Tip sloga 3. - Obračunska godina mora biti veća od 2004."}},
        {"MV3IGMM",
         "20261",
         {"MV3IGMM F Tip sloga 3. - Godina i mjesec isplate mora biti numerik"}},
        {"MV3NAOB", "", {"MV3NAOB F Naziv ili prezime i ime obveznika osobe ne smije biti prazna"}},
        {"MV3ADOB", "", {"MV3ADOB U Adresa obveznika ne smije biti prazna"}},
        {"MV3VROB", "39", {"MV3VROB F Nepoznata vrsta obveznika"}},
        {"MV3VROI", "77", {"MV3VROI F Nepoznata vrsta uplate"}},
        {"MV3BROS", "0002x", {"MV3BROS F Broj osiguranika mora biti numerik"}},
        {"MV3IBRT", "000000001440x00", {"MV3IBRT F Obračunati mjesečni iznos mora biti numerik"}},
        {"MV3IOSN", "0000000014400", {"MV3IOSN F Osnovica za obračun doprinosa mora biti numerik"}},
        {"MV3IST1", "0000000002295 0", {"MV3IST1 F Doprinos za I. stup mora biti numerik"}},
        {"MV3IST2", "00000000005850-", {"MV3IST2 F Doprinos za II. stup mora biti numerik"}},
        {"MV3INET", "0000000010149A2", {"MV3INET F Iznos neto isplate mora biti numerik"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(changed(2, c.code, c.value), c.expected) << c.code << "=" << c.value;

    // The period checks name the record; the others the payer.
    changed(2, "MV3MMGG", "1a2026");
    ASSERT_EQ(found.on(2).size(), 2u);
    EXPECT_EQ(found.all[0].name, "Slog tipa 3");
    EXPECT_EQ(found.all[1].name, "Tehnoservis Sava d.o.o.");
    EXPECT_EQ(found.all[1].start, 132);
    EXPECT_EQ(found.all[1].end, 137);
    EXPECT_EQ(found.all[1].value, "1a2026");
    EXPECT_EQ(values("ULZ1", "PREZIME").front(), "Slog tipa 3");
}

TEST_F(FormalControl, InsuredRecordChecks) {
    const std::string noRates1 =
        "MV5IST1 U Upozorenje - razlika u obračunatom doprinosu I. stupa: " + n102("990.00") +
        "  - " + n102("0");
    const std::string noRates2 =
        "MV5IST2 F Tip sloga 5. - Postoji razlika u obračunu doprinosa :" + n102("330.00") +
        "  - " + n102("0");
    const std::string noRatesTotal =
        "MV5IST2 F Upozorenje - razlika o ukupno obračunatom doprinosu : " + n102("1320.00") +
        "  - " + n102("0");
    const std::vector<Case> cases = {
        {"MV5RBRO", "0000a", {"MV5RBOO F Redni broj osiguranika mora biti numerik."}},
        {"MV5IBOO", "  17957931211", {"MV5IBOO F OIB je pogrešan."}},
        {"MV5IMPR", "", {"MV5IMPR U Prezime i ime osiguranika je obavezan podatak"}},
        {"MV5GROP", "1334", {"MV5GROP U Nepoznata općina osiguranika"}},
        {"MV5OSOB",
         "090",
         {"MV5OSOB F Pogrešna osnova osiguranja",
          "MV5OSOB F Tip sloga 5. Pogrešan OO za obveznika = 31 VOI=01", noRates1, noRates2,
          noRatesTotal}},
        {"MV5OSOB",
         "019",
         {"MV5OSOB F Pogrešna oznaka uvećanog staža", noRates1, noRates2, noRatesTotal}},
        {"MV5IBRT",
         "0000000006600x0",
         {"MV5IBRT F Obračunati mjesečni iznos mora biti numerik",
          "MV5IBRT F " + rule("Tip sloga 5. - Iznos obračunane plaće (IV.7) mora biti ", ">0")}},
        {"MV5IOSN",
         "0000000006600x0",
         {"SL5:MV5IOSN F Osnovica za obračun doprinosa za MO mora biti numerik",
          "MV5IOSN F " + rule("Tip sloga 5. - Osnovica za doprinose mora biti ", ">0")}},
        {"MV5IST1",
         "000000000099x00",
         {"MV5IST1 F Uplaćeni iznos za doprinose za MO I. stup mora biti numerik",
          "MV5IST1 F " + rule("Tip sloga 5. - Iznos doprinosa za I. stup mora biti ", ">0"),
          "MV5IST2 F Upozorenje - razlika o ukupno obračunatom doprinosu : " + n102("330.00") +
              "  - " + n102("1320.00")}},
        // No pillar II: the rates of a non-member apply (20 % to pillar I).
        {"MV5IST2",
         "000000000033x00",
         {"MV5IST2 F Uplaćeni iznos doprinosa za MO II. stup mora biti numerik",
          "MV5IST1 U Upozorenje - razlika u obračunatom doprinosu I. stupa: " + n102("990.00") +
              "  - " + n102("1320.00"),
          "MV5IST2 F Upozorenje - razlika o ukupno obračunatom doprinosu : " + n102("990.00") +
              "  - " + n102("1320.00")}},
        {"MV5INET",
         "000000000478x23",
         {"MV5INET F Neto iznos mora biti numerik",
          "MV5INET F " + rule("Tip sloga 5. - Iznos isplaćene plaće mora biti ", ">0")}},
        {"MV5RAZD",
         "0031",
         {"MV5RAZD F " + rule("Tip sloga 5. - Greška - razdoblje od mora biti ", ">0")}},
        {"MV5RAZD",
         "0132",
         {"MV5RAZD F " + rule("Tip sloga 5. - Greška - razdoblje do mora biti ", ">0")}},
        // Contributions: a difference of 0.03 is accepted, 0.04 is not.
        {"MV5IST1", "000000000099003", {}},
        {"MV5IST1",
         "000000000099004",
         {"MV5IST1 U Upozorenje - razlika u obračunatom doprinosu I. stupa: " + n102("990.04") +
              "  - " + n102("990.00"),
          "MV5IST2 F Upozorenje - razlika o ukupno obračunatom doprinosu : " + n102("1320.04") +
              "  - " + n102("1320.00")}},
        {"MV5IST2",
         "000000000033004",
         {"MV5IST2 F Tip sloga 5. - Postoji razlika u obračunu doprinosa :" + n102("330.04") +
              "  - " + n102("330.00"),
          "MV5IST2 F Upozorenje - razlika o ukupno obračunatom doprinosu : " + n102("1320.04") +
              "  - " + n102("1320.00")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(changed(3, c.code, c.value), c.expected) << c.code << "=" << c.value;

    // Name column: identifier and name, or the record label once the
    // ordinal number or the identifier failed.
    changed(3, "MV5IMPR", "");
    EXPECT_EQ(found.all.at(0).name, "  17957931210");
    changed(3, "MV5GROP", "1334");
    EXPECT_EQ(found.all.at(0).name, "  17957931210 Perić Željka");
    std::vector<std::string> lines = clean;
    lines[2] = with(with(lines[2], "MV5RBRO", "x"), "MV5GROP", "1334");
    ASSERT_TRUE(runLines(lines).done());
    ASSERT_EQ(found.all.size(), 2u);
    EXPECT_EQ(found.all[1].name, "Slog tipa 5");
    // SL5:MV5IOSN does not fit the 10-character column.
    changed(3, "MV5IOSN", "0000000006600x0");
    EXPECT_EQ(values("ULZ1", "KOLONA").front(), "SL5:MV5IOS");
}

TEST_F(FormalControl, InsuredRecordTakesThePeriodOfTheLastFormHeader) {
    // Month 0: the month rule fails (the finding is about the type-3 field)
    // and the days are not tested against the month.
    changed(2, "MV3MMGG", "002026");
    EXPECT_EQ(found.on(3),
              (std::vector<std::string>{
                  "MV3MMGG F " + rule("Tip sloga 5. - obračunski mjesec mora biti ", ">0", true)}));
    EXPECT_EQ(found.all.at(0).start, 0);
    EXPECT_EQ(found.all.at(0).value, "");
    EXPECT_EQ(found.all.size(), 20u);
    // November has no 31st day.
    changed(2, "MV3MMGG", "112026");
    EXPECT_EQ(found.on(3),
              (std::vector<std::string>{
                  "MV5RAZD F " + rule("Tip sloga 5. - Greška - razdoblje do mora biti ", ">0")}));
}

TEST_F(FormalControl, SamePersonKeepsItsPositiveAmountForAZeroInTheNextRecord) {
    for (bool samePerson : {true, false}) {
        std::vector<std::string> lines = clean;
        std::string second = with(lines[3], "MV5IBRT", "000000000000000");
        if (samePerson)
            second = with(with(second, "MV5IBOO", "  17957931210"), "MV5IMPR", "Perić Željka");
        lines[3] = second;
        ASSERT_TRUE(runLines(lines).done());
        const std::vector<std::string> expected =
            samePerson ? std::vector<std::string>{}
                       : std::vector<std::string>{
                             "MV5IBRT F " +
                             rule("Tip sloga 5. - Iznos obračunane plaće (IV.7) mora biti ", ">0")};
        EXPECT_EQ(found.on(4), expected) << samePerson;
    }
}

TEST_F(FormalControl, FormEndChecks) {
    const std::vector<Case> cases = {
        {"MV7REZ1", "1", {"MV7REZ1 F SL7REZ1 mora biti prazno ili 00000000000"}},
        {"MV7IBOO", "  81773745506", {"MV7IBOO F Pogrešan Identifikacijski broj obveznika"}},
        {"MV7IDOB", "0051", {"MV7IDOB F Identifikator nije jednak Identifikatoru u slogu tipa 3"}},
        {"MV7BRSL", "0002a", {"MV7BRSL F Broj slogova nije numerik"}},
        {"MV7BRSL",
         "00019",
         {"MV7BRSL F Broj slogova tipa 5 nije jednak broju upisanih slogova    19    20"}},
        {"MV7DTRS", "3112204x", {"MV7DTRS F Pogrešan datum formiranja "}},
        {"MV7DTRS", "31122004", {"MV7DTRS F Datum formiranja je pogrešan"}},
        {"MV7DTRS", "", {"MV7DTRS F Datum formiranja je pogrešan"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(changed(23, c.code, c.value), c.expected) << c.code << "=" << c.value;
    changed(23, "MV7IDOB", "0051");
    EXPECT_EQ(found.all.at(0).name, "Tehnoservis Sava d.o.o.");
    changed(23, "MV7REZ1", "1");
    EXPECT_EQ(found.all.at(0).name, "Slog tipa 7");
}

TEST_F(FormalControl, FormTotalsAreComparedWithTheSumsOfTheInsuredRecords) {
    const auto four = [](const char* v) {
        return Picture::parse("N15`4")->format(*Decimal::parse(v, 2));
    };
    const auto two = [](const char* v) {
        return Picture::parse("n15.2")->format(*Decimal::parse(v, 2));
    };
    std::vector<std::string> lines = clean;
    lines[1] = with(lines[1], "MV3IBRT", "000000014400001");
    lines[1] = with(lines[1], "MV3IOSN", "-00000014400000");
    lines[1] = with(lines[1], "MV3IST2", "000000000584999");
    ASSERT_TRUE(runLines(lines).done());
    EXPECT_EQ(found.on(23),
              (std::vector<std::string>{
                  "MV3DIOI U Zbroj III.1 ne odgovara sumi IV.7 tj. III.1=" + four("144000.01") +
                      " - Suma IV.7=" + four("144000.00"),
                  "MV3IOSN F Zbroj III.2 ne odgovara sumi IV.8 tj. III.2=" + four("-144000.00") +
                      " - Suma IV.8=" + four("144000.00"),
                  "MV3IST2 F Zbroj III.4 ne odgovara sumi IV.10 tj. III.4=" + two("5849.99") +
                      " - Suma IV.10=" + two("5850.00")}));
    EXPECT_EQ(found.all.at(0).start, 0);
}

TEST_F(FormalControl, FormEndCountsTheInsuredRecordsSinceTheFormHeader) {
    const std::string end3 = with(clean[22], "MV7BRSL", "00003");
    ASSERT_TRUE(runLines({clean[1], clean[2], clean[3], clean[4], end3}).done());
    for (const std::string& f : found.on(5))
        EXPECT_EQ(f.rfind("MV7BRSL", 0), std::string::npos) << f;
    ASSERT_TRUE(runLines({clean[1], clean[2], clean[3], clean[4], clean[5], end3}).done());
    std::vector<std::string> count;
    for (const std::string& f : found.on(6))
        if (f.rfind("MV7BRSL", 0) == 0) count.push_back(f);
    EXPECT_EQ(count,
              (std::vector<std::string>{
                  "MV7BRSL F Broj slogova tipa 5 nije jednak broju upisanih slogova     3     4"}));
}

TEST_F(FormalControl, FileEndChecks) {
    const std::vector<Case> cases = {
        {"MV9REZ1", "x", {"MV9REZ1 F SL9REZ1 mora biti prazno ili 000000000000"}},
        {"MV9IBOO", "  89029274467", {"MV9IBOO F Pogrešan Identifikacijski broj ovlaštene osobe"}},
        {"MV9DTMN", "3112204x", {"MV9DTMN F Pogrešan datum formiranja sloga"}},
        {"MV9DTMN", "31122004", {"MV9DTMN F Pogrešan datum formiranja sloga"}},
        {"MV9DTMN", "01012005", {}},
        {"MV9BROJ", "00001x", {"MV9BROJ U Broj podataka nije numerik"}},
        {"MV9BROJ", "000002", {"MV9BROJ U Broj slogova tipa 3 nije identičan podatku MV9BROJ"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(changed(24, c.code, c.value), c.expected) << c.code << "=" << c.value;
    EXPECT_EQ(found.all.at(0).name, "Tehnoservis Sava d.o.o.");
}

TEST_F(FormalControl, BadContentNeverStopsTheRun) {
    struct Input {
        const char* what;
        std::string bytes;
        long long lines;
    };
    const std::string five = clean[2];
    const std::vector<Input> inputs = {
        {"empty file", "", 0},
        {"LF-only line ends", clean[0] + "\n" + clean[1] + "\n" + five, 3},
        {"NUL bytes and binary", std::string("\0\x01\xff\x80", 4) + five.substr(4) + "\r\n", 1},
        {"Ctrl-Z in the middle", five.substr(0, 100) + "\x1a" + five.substr(101) + "\r\n" + five,
         2},
        {"Ctrl-Z as the last byte", five + "\r\n\x1a", 1},
        {"blank lines", "\r\n" + std::string(250, ' ') + "\r\n\r\n", 3},
        {"lines of any length", "5\r\n" + five + five + "\r\n" + std::string(5000, 'x') + "5", 3},
        {"no type-3 before type-5", five + "\r\n" + clean[22] + "\r\n", 2},
        {"odd amounts", with(five, "MV5IBRT", "+-1e5.3 ,,,,,,,") + "\r\n", 1},
    };
    for (const Input& in : inputs) {
        const std::string path = writeBytes(in.bytes);
        const FormalControlResult r = run(path);
        ASSERT_TRUE(r.done()) << in.what;
        EXPECT_EQ(r.lines, in.lines) << in.what;
        EXPECT_EQ(rows("ULZ"), in.lines) << in.what;
        EXPECT_EQ(workCopy(), in.bytes) << in.what;
        EXPECT_EQ(st.reporter.statuses.back(), "Izvršena je kontrola datoteke.") << in.what;
    }
    // The last line of "lines of any length" is cut to the record: its type is blank.
    run(writeBytes("5\r\n" + std::string(300, 'x') + "\r\n"));
    EXPECT_EQ(values("ULZ", "TIPSLOGA"), (std::vector<std::string>{"", "x"}));
    EXPECT_TRUE(found.all.empty());
    EXPECT_EQ(values("ULZ", "GRESKA"), (std::vector<std::string>{"", ""}));
}

TEST_F(FormalControl, EveryRunStartsFromEmptyTables) {
    std::vector<std::string> lines = clean;
    lines[0] = with(lines[0], "MV0OFOR", "X");
    ASSERT_TRUE(runLines(lines).done());
    EXPECT_EQ(rows("ULZ1"), 1);
    EXPECT_EQ(values("ULZ", "GRESKA").front(), "D");
    ASSERT_TRUE(run(writeBytes("")).done());
    EXPECT_EQ(rows("ULZ"), 0);
    EXPECT_EQ(rows("ULZ1"), 0);
}

TEST_F(FormalControl, CancelledRunLeavesThePreviousResult) {
    std::vector<std::string> first = clean;
    first[0] = with(first[0], "MV0OFOR", "X");
    const std::string firstPath = write(first, "first.txt");
    ASSERT_TRUE(run(firstPath).done());
    std::vector<std::string> many;
    for (int i = 0; i < 10; ++i)
        many.insert(many.end(), clean.begin(), clean.end());
    st.reporter.cancelAfterChecks = 1;
    EXPECT_EQ(run(write(many, "many.txt")).outcome, ControlOutcome::Cancelled);
    st.reporter.cancelAfterChecks = -1;
    EXPECT_EQ(rows("ULZ"), 24);
    EXPECT_EQ(rows("ULZ1"), 1);
    EXPECT_EQ(workCopy(), slurp(firstPath));
    for (const auto& entry : fs::directory_iterator(dir.path() / "rad"))
        EXPECT_EQ(entry.path().filename().string().find("TBZOVAK1.TXT."), std::string::npos)
            << entry.path();
}

TEST_F(FormalControl, UnreadableFileChangesNothing) {
    const std::string firstPath = write(clean, "first.txt");
    ASSERT_TRUE(run(firstPath).done());
    st.reporter.clear();
    const std::string missing = dir.file("missing.txt");
    EXPECT_EQ(run(missing).outcome, ControlOutcome::NotCopied);
    EXPECT_EQ(st.reporter.lastBox().text, "Greška kod preuzimanja podataka " + missing);
    EXPECT_EQ(run(dir.str()).outcome, ControlOutcome::NotCopied); // a folder
    EXPECT_EQ(rows("ULZ"), 24);
    EXPECT_EQ(workCopy(), slurp(firstPath));
}

TEST_F(FormalControl, PlaceholderAuthorisedPersonStopsBeforeAnyTableIsTouched) {
    TableAccess& apl = st.tables.access("APL");
    ASSERT_EQ(apl.open(), 0);
    apl.setStart();
    ASSERT_EQ(apl.next(), 0);
    set(apl, "JMBG", kPlaceholderIdentifier);
    ASSERT_EQ(apl.change(), 0);
    apl.close();
    EXPECT_EQ(run(write(clean)).outcome, ControlOutcome::Refused);
    EXPECT_EQ(st.reporter.lastBox().text,
              "Ispravite podatke o ovlaštenoj osobi.\n Ispravak izvršite kroz "
              "Servisi/Aplikacijski parametri");
    EXPECT_FALSE(fs::exists(dir.path() / "TBIZLAZ.DAT"));
    EXPECT_FALSE(fs::exists(dir.path() / "rad" / "TBZOVAK1.TXT"));
}

} // namespace
