#include <gtest/gtest.h>

#include <string>

#include "base/cp1250.h"
#include "data/dictionary.h"
#include "submission/record_format.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

Decimal amount(const char* text) {
    return *Decimal::parse(text, 2);
}
std::string blanks(int n) {
    return std::string(static_cast<std::size_t>(n), ' ');
}
std::string cp(const char* utf8) {
    return *utf8ToCp1250(utf8);
}

SenderRecord sender() {
    return SenderRecord{"  81773745505", cp("Ivana Šimić"),  "Ilica 1, Zagreb",    "Ivana",
                        "014567890",     "ivana@example.hr", CivilDate{2010, 3, 8}};
}

FormHeaderRecord header() {
    return FormHeaderRecord{"MBROJ12345678",
                            12,
                            "Tehnoservis Sava d.o.o.",
                            "Radnicka cesta 47",
                            31,
                            MonthYear{5, 2010},
                            1,
                            3,
                            amount("1234.56"),
                            amount("0"),
                            amount("-15.00"),
                            amount("99999999999.99"),
                            amount("7.01"),
                            YearMonth{2010, 6}};
}

InsuredRecord insured() {
    return InsuredRecord{2,
                         "0101990330001",
                         cp("Kovač Marija"),
                         "0133",
                         "011",
                         DayPeriod{1, 31},
                         amount("5000.00"),
                         amount("5000.00"),
                         amount("750.00"),
                         amount("-250.00"),
                         amount("3800.10")};
}

FormEndRecord formEnd() {
    return FormEndRecord{"MBROJ12345678", 12, 3, CivilDate{2010, 3, 8}};
}
FileEndRecord fileEnd() {
    return FileEndRecord{"  81773745505", CivilDate{2010, 3, 8}, 1};
}

std::string built(const BuiltLine& b) {
    EXPECT_TRUE(b.ok()) << b.error;
    EXPECT_EQ(b.line.size(), 250u);
    return b.line;
}

// Every expected line below is written out piece by piece from the record
// tables, independently of the layout table under test.
TEST(RecordFormat, EveryFieldOfEveryTypeStandsAtItsPosition) {
    EXPECT_EQ(built(buildLine(sender())),
              blanks(12) + "  81773745505" + cp("Ivana Šimić") + blanks(39) + "Ilica 1, Zagreb" +
                  blanks(35) + "Ivana" + blanks(45) + "014567890 " + "ivana@example.hr" +
                  blanks(14) + "08032010" + "MZ500" + blanks(21) + "0");

    EXPECT_EQ(built(buildLine(header(), PositiveSign::Zero)),
              blanks(12) + "MBROJ12345678" + "0012" + "Tehnoservis Sava d.o.o." + blanks(27) +
                  "Radnicka cesta 47" + blanks(33) + "31" + "052010" + "01" + "00003" +
                  "000000000123456" + "000000000000000" + "-00000000001500" + "009999999999999" +
                  "000000000000701" + "201006" + blanks(24) + "3");

    EXPECT_EQ(built(buildLine(insured(), PositiveSign::Plus)),
              "00002" + std::string("0101990330001") + cp("Kovač Marija") + blanks(18) + "0133" +
                  "011" + "0131" + "+00000000500000" + "+00000000500000" + "+00000000075000" +
                  "-00000000025000" + "+00000000380010" + blanks(115) + "5");

    EXPECT_EQ(built(buildLine(formEnd())),
              blanks(12) + "MBROJ12345678" + "0012" + "00003" + "08032010" + blanks(207) + "7");

    EXPECT_EQ(built(buildLine(fileEnd())),
              blanks(12) + "  81773745505" + "08032010" + "000001" + blanks(210) + "9");
}

TEST(RecordFormat, AmountsCarryTheWritersSignAndHundredths) {
    struct Case {
        const char* value;
        PositiveSign sign;
        const char* field;
    };
    const Case cases[] = {
        {"1234.56", PositiveSign::Zero, "000000000123456"},
        {"0", PositiveSign::Zero, "000000000000000"},
        {"0", PositiveSign::Plus, "+00000000000000"},
        {"-15.00", PositiveSign::Zero, "-00000000001500"},
        {"-15.00", PositiveSign::Plus, "-00000000001500"},
        {"-0.01", PositiveSign::Plus, "-00000000000001"},
        {"999999999999.99", PositiveSign::Plus, "+99999999999999"},
        {"-999999999999.99", PositiveSign::Zero, "-99999999999999"},
    };
    for (const Case& c : cases) {
        const auto field = encodeAmount(amount(c.value), c.sign, "MV5IBRT");
        ASSERT_TRUE(field) << c.value;
        EXPECT_EQ(*field, c.field) << c.value;
        EXPECT_EQ(decodeAmount(*field), amount(c.value)) << c.value;
    }
    // A page-B amount keeps its own sign: the other four stay positive.
    InsuredRecord r = insured();
    r.MV5IBRT = amount("-1");
    EXPECT_EQ(built(buildLine(r, PositiveSign::Zero)).substr(59, 30),
              "-00000000000100000000000500000");
}

TEST(RecordFormat, ValuesThatDoNotFitAreRefusedNamingTheValue) {
    FormHeaderRecord persons = header();
    persons.MV3BROS = 99999;
    EXPECT_TRUE(buildLine(persons, PositiveSign::Zero).ok());
    persons.MV3BROS = 100000;
    BuiltLine b = buildLine(persons, PositiveSign::Zero);
    EXPECT_FALSE(b.ok());
    EXPECT_TRUE(b.line.empty());
    EXPECT_EQ(b.error, "Vrijednost 100000 ne stane u polje MV3BROS (najviše 5 znamenki)");

    FormEndRecord rows = formEnd();
    rows.MV7BRSL = 100000;
    EXPECT_EQ(buildLine(rows).error,
              "Vrijednost 100000 ne stane u polje MV7BRSL (najviše 5 znamenki)");

    FileEndRecord forms = fileEnd();
    forms.MV9BROJ = 999999;
    EXPECT_TRUE(buildLine(forms).ok());
    forms.MV9BROJ = 1000000;
    EXPECT_EQ(buildLine(forms).error,
              "Vrijednost 1000000 ne stane u polje MV9BROJ (najviše 6 znamenki)");

    InsuredRecord ordinal = insured();
    ordinal.MV5RBRO = 100000;
    EXPECT_EQ(buildLine(ordinal, PositiveSign::Zero).error,
              "Vrijednost 100000 ne stane u polje MV5RBRO (najviše 5 znamenki)");
    ordinal.MV5RBRO = -1;
    EXPECT_EQ(buildLine(ordinal, PositiveSign::Zero).error,
              "Vrijednost -1 ne stane u polje MV5RBRO (najviše 5 znamenki)");

    FormHeaderRecord total = header();
    total.MV3IST2 = amount("-1000000000000.00");
    EXPECT_EQ(buildLine(total, PositiveSign::Zero).error,
              "Iznos -1000000000000.00 ne stane u polje MV3IST2 (najviše 12 cijelih znamenki)");
    // A whole number too large for hundredths at all is refused the same way.
    total.MV3IST2 = Decimal::fromInteger(INT64_MAX / 10);
    EXPECT_NE(buildLine(total, PositiveSign::Zero).error.find("MV3IST2"), std::string::npos);

    InsuredRecord id = insured();
    id.MV5IBOO = "01019903300012";
    EXPECT_EQ(buildLine(id, PositiveSign::Zero).error,
              "Vrijednost \"01019903300012\" ne stane u polje MV5IBOO (najviše 13 znakova)");
    InsuredRecord days = insured();
    days.MV5RAZD = DayPeriod{1, 100};
    EXPECT_NE(buildLine(days, PositiveSign::Zero).error.find("MV5RAZD"), std::string::npos);
}

TEST(RecordFormat, TextsAreCutAtTheFieldWidth) {
    FormHeaderRecord h = header();
    h.MV3NAOB = std::string(50, 'N') + "0123456789";
    EXPECT_EQ(built(buildLine(h, PositiveSign::Zero)).substr(29, 51), std::string(50, 'N') + "R");
    InsuredRecord r = insured();
    r.MV5IMPR = std::string(30, 'P') + std::string(30, 'x');
    EXPECT_EQ(built(buildLine(r, PositiveSign::Zero)).substr(18, 31), std::string(30, 'P') + "0");
}

TEST(RecordFormat, SplittingABuiltLineGivesTheRecordBack) {
    const SubmissionRecord records[] = {sender(), header(), insured(), formEnd(), fileEnd()};
    for (PositiveSign sign : {PositiveSign::Zero, PositiveSign::Plus}) {
        for (const SubmissionRecord& r : records) {
            const BuiltLine b = buildLine(r, sign);
            ASSERT_TRUE(b.ok()) << b.error;
            const SplitLine s = splitLine(b.line);
            ASSERT_TRUE(s.ok()) << s.error;
            EXPECT_EQ(s.record, r) << b.line;
        }
    }
}

TEST(RecordFormat, SplittingRefusesLinesThatHoldNoRecord) {
    const std::string line = built(buildLine(insured(), PositiveSign::Zero));
    EXPECT_EQ(splitLine(line.substr(0, 249)).error, "Slog ima 249 znakova umjesto 250");
    EXPECT_EQ(splitLine(line.substr(0, 249) + "4").error, "Nepoznat tip sloga \"4\"");
    std::string bad = line;
    bad[2] = ' ';
    EXPECT_EQ(splitLine(bad).error, "Polje MV5RBRO nije broj: \"00 02\"");
    bad = line;
    bad[59] = '*';
    EXPECT_EQ(splitLine(bad).error, "Polje MV5IBRT nije iznos: \"*00000000500000\"");

    // The raw fields stay available to the formal control, reserved ones too.
    const RecordLayout& five = *recordLayout('5');
    bad = line;
    bad[140] = 'X';
    const auto fields = splitFields(five, bad);
    ASSERT_EQ(fields.size(), five.fields.size());
    EXPECT_EQ(fields[five.fieldIndex("MV5REZE")], blanks(6) + "X" + blanks(108));
    EXPECT_EQ(fields[five.fieldIndex("MV5TIPS")], "5");
    EXPECT_TRUE(splitLine(bad).ok());
}

// What forming writes to a submission file is 250 printable characters.
TEST(RecordFormat, OnlyLinesOf250PrintableCharactersAreWritten) {
    const std::string line = built(buildLine(insured(), PositiveSign::Zero));
    EXPECT_EQ(unwritableLine(line), "");
    const struct {
        std::string line;
        const char* why;
    } cases[] = {
        {line.substr(0, 24) + line.substr(49), "Greška. Slog tipa 5 ima 225 znakova umjesto 250"},
        {line.substr(0, 36) + "\t" + line.substr(37),
         "Greška. Slog tipa 5 sadrži kontrolni znak \\x09 na mjestu 37"},
        {line.substr(0, 30) + "\r\n" + line.substr(32),
         "Greška. Slog tipa 5 sadrži kontrolni znak \\x0d na mjestu 31"},
        {line.substr(0, 249) + "\x7f",
         "Greška. Slog tipa \\x7f sadrži kontrolni znak \\x7f na mjestu 250"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(unwritableLine(c.line), c.why);
}

TEST(RecordFormat, LayoutsCoverTheLineAndAgreeWithTheMirrorTables) {
    ASSERT_EQ(recordLayouts().size(), 5u);
    for (const RecordLayout& layout : recordLayouts()) {
        int next = 1;
        for (const RecordField& f : layout.fields) {
            EXPECT_EQ(f.position, next) << f.code;
            next += f.width;
            const bool numeric =
                f.encoding == FieldEncoding::Number || f.encoding == FieldEncoding::Date8 ||
                f.encoding == FieldEncoding::MonthYear || f.encoding == FieldEncoding::YearMonth ||
                f.encoding == FieldEncoding::Amount || f.encoding == FieldEncoding::Type ||
                f.code.ends_with("REZ1") || f.code == "MV5GROP" || f.code == "MV5OSOB";
            EXPECT_EQ(f.numeric, numeric) << f.code;
        }
        EXPECT_EQ(next, 251) << layout.type;
        EXPECT_EQ(layout.fields.back().encoding, FieldEncoding::Type);

        const TableDef* mirror = findTable(layout.mirror);
        ASSERT_NE(mirror, nullptr) << layout.mirror;
        EXPECT_EQ(mirror->fileName, std::string("TBSLOG") + layout.type + ".TXT");
        EXPECT_EQ(mirror->kind, TableKind::LineText);
        EXPECT_EQ(mirror->recordLength, 250);
        ASSERT_EQ(mirror->fields.size(), layout.fields.size()) << layout.mirror;
        for (std::size_t i = 0; i < layout.fields.size(); ++i) {
            const FieldDef& m = mirror->fields[i];
            EXPECT_EQ(m.name, layout.fields[i].code);
            EXPECT_EQ(m.offset, layout.fields[i].offset()) << m.name;
            EXPECT_EQ(m.size, layout.fields[i].width) << m.name;
            EXPECT_TRUE(m.isText()) << m.name;
        }
    }
}

TEST(RecordFormat, LinesAreWrittenWithCrLfToTheFileAndItsMirror) {
    TempDir dir;
    Station st(dir.str());
    TableAccess& file = st.tables.access("TBZOVAK");
    TableAccess& mirror = st.tables.access("SL5");
    ASSERT_EQ(file.open(), 0);
    ASSERT_EQ(mirror.open(), 0);
    const std::string a = built(buildLine(insured(), PositiveSign::Zero));
    InsuredRecord second = insured();
    second.MV5RBRO = 3;
    const std::string b = built(buildLine(second, PositiveSign::Zero));
    for (const std::string& line : {a, b}) {
        file.record().assign(line);
        ASSERT_EQ(file.add(), 0);
        putMirrorRecord(mirror.record(), line);
        ASSERT_EQ(mirror.add(), 0);
    }
    EXPECT_EQ(get(mirror, "MV5RBRO"), "00003");
    file.close();
    mirror.close();
    EXPECT_EQ(slurp(dir.file("TBZOVAK.TXT")), a + "\r\n" + b + "\r\n");
    EXPECT_EQ(slurp(dir.file("TBSLOG5.TXT")), a + "\r\n" + b + "\r\n");
    EXPECT_TRUE(st.reporter.boxes.empty());
}

} // namespace
