// Pages A and B of a form as printed into the fixed forms.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include <fmt/format.h>

#include "base/cp1250.h"
#include "data/record.h"
#include "import/print_from_file.h"
#include "print/page_a_print.h"
#include "print/page_b_print.h"
#include "submission/page_b_rows.h"
#include "submission/record_format.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

// Every item of a page, the shared form first.
std::vector<const PageItem*> itemsOf(const Page& page) {
    std::vector<const PageItem*> out;
    if (page.underlay)
        for (const PageItem& i : *page.underlay)
            out.push_back(&i);
    for (const PageItem& i : page.items)
        out.push_back(&i);
    return out;
}

std::vector<std::string> boxTexts(const RecordingReporter& r) {
    std::vector<std::string> out;
    for (const ShownBox& b : r.boxes)
        out.push_back(b.text);
    return out;
}

const TextItem* caption(const Page& page, const std::string& text) {
    for (const PageItem* i : itemsOf(page))
        if (const auto* t = std::get_if<TextItem>(i); t && t->text == text) return t;
    return nullptr;
}

std::vector<const CellTextItem*> cellItems(const Page& page) {
    std::vector<const CellTextItem*> out;
    for (const PageItem& i : page.items)
        if (const auto* c = std::get_if<CellTextItem>(&i)) out.push_back(c);
    return out;
}

// The boxes filled on the line of a caption (or on the line below it, for
// the name and the address), nearest to its right; nothing when they are
// left empty. The boxes of the same line overlap the caption's height.
std::optional<std::string> boxesAt(const Page& page, const std::string& text, bool below = false) {
    const TextItem* c = caption(page, text);
    if (!c) {
        ADD_FAILURE() << "no caption " << text;
        return std::nullopt;
    }
    const CellTextItem* best = nullptr;
    for (const CellTextItem* item : cellItems(page)) {
        const int top = item->y, bottom = item->y + item->layout->height;
        const bool sameLine = c->y + 10 >= top && c->y + 10 <= bottom;
        const bool lineBelow = top > c->y && top - c->y < 120;
        if ((below ? !lineBelow : !sameLine) || (!below && item->x <= c->x)) continue;
        if (!best || item->x < best->x) best = item;
    }
    if (!best) return std::nullopt;
    return best->text;
}

// Every character set into a cell lies in a box drawn by the form: lines at
// the cell's left and right edges and along its top and bottom.
void expectCharactersInDrawnBoxes(const Page& page) {
    std::vector<LineItem> lines;
    for (const PageItem* i : itemsOf(page))
        if (const auto* l = std::get_if<LineItem>(i)) lines.push_back(*l);
    const auto vertical = [&](int x, int top, int bottom) {
        return std::any_of(lines.begin(), lines.end(), [&](const LineItem& l) {
            return l.x1 == x && l.x2 == x && std::min(l.y1, l.y2) <= top &&
                   std::max(l.y1, l.y2) >= bottom;
        });
    };
    const auto horizontal = [&](int y, int left, int right) {
        return std::any_of(lines.begin(), lines.end(), [&](const LineItem& l) {
            return l.y1 == y && l.y2 == y && std::min(l.x1, l.x2) <= left &&
                   std::max(l.x1, l.x2) >= right;
        });
    };
    for (const CellTextItem* item : cellItems(page)) {
        const CellLayout& layout = *item->layout;
        const std::u32string chars = [&] {
            std::u32string out;
            for (char c : utf8ToCp1250Lossy(item->text))
                out += static_cast<char32_t>(static_cast<unsigned char>(c));
            return out;
        }();
        ASSERT_LE(chars.size(), layout.cells.size()) << item->text;
        for (std::size_t n = 0; n < chars.size(); ++n) {
            if (chars[n] == U' ') continue;
            const CellLayout::Cell& cell = layout.cells[n];
            const int left = item->x + cell.left, right = left + cell.width;
            const int top = item->y, bottom = item->y + layout.height;
            EXPECT_TRUE(vertical(left, top, bottom) && vertical(right, top, bottom) &&
                        horizontal(top, left, right) && horizontal(bottom, left, right))
                << "character " << n << " of \"" << item->text << "\" at " << left << "," << top
                << " has no box around it";
        }
    }
}

Record pageA() {
    Record a(*findTable("A"));
    const auto set = [&](const char* field, const std::string& utf8) {
        EXPECT_EQ(a.setFromDisplay(a.def().fieldIndex(field), utf8), "") << field;
    };
    set("IDENTIFIKATOR", "0010050");
    set("OBRMJE", "12");
    set("OBRGOD", "2026");
    set("VRSUPLA", "01");
    set("BROJOSIG", "20");
    set("BROJSTRANA", "2");
    set("JMBG", "  81773745505");
    set("NAZIV", "Tehnoservis Sava d.o.o. - podružnica za održavanje Rijeka");
    set("ADRESA", "Radnička cesta 47, Zagreb");
    set("VRSTOBVEZNIKA", "31");
    set("IZNOS7", "144000");
    set("IZNOS8", "-15");
    set("IZNOS9", "22950.5");
    set("IZNOS10", "0");
    set("IZNOS11", "101494.72");
    set("KONZNAK", "03FD5A1387-A3F9EE84CC-0B9DB23FCB-5C12D894E4");
    set("KONVEZA", "001005001");
    set("GODPLA", "2026");
    set("MJEPLA", "12");
    return a;
}

TEST(PageA, EachValueStandsInTheBoxesOfItsCaption) {
    const Record a = pageA();
    const Page page = pageAPage(a, PageAMode::WithControlCode);
    EXPECT_EQ(boxesAt(page, "1. IDENTIFIKATOR OBRASCA"), "0050");
    EXPECT_EQ(boxesAt(page, "Mjesec"), "12");
    EXPECT_EQ(boxesAt(page, "Godinu"), "2026");
    EXPECT_EQ(boxesAt(page, "3.VRSTA OBRAČUNA/ISPRAVKA"), "01");
    EXPECT_EQ(boxesAt(page, "4. Broj osiguranika za koje se podnosi obrazac M-Vz"), "00020");
    EXPECT_EQ(boxesAt(page, "1. Identifikacijski broj obveznika"), "81773745505  ");
    // 50 boxes: the name's last 10 characters are not printed.
    EXPECT_EQ(boxesAt(page, "2. Naziv/prezime i ime obveznika", true),
              "Tehnoservis Sava d.o.o. - podružnica za održavanje");
    EXPECT_EQ(boxesAt(page, "3.  Adresa obveznika", true),
              "Radnička cesta 47, Zagreb                         ");
    EXPECT_EQ(boxesAt(page, "4. Vrsta obveznika"), "31");
    // Twelve boxes, decimal comma, no grouping; a negative total with its sign.
    EXPECT_EQ(boxesAt(page, "1. Iznos obračunane plaće/naknade/drugog dohotka"), "   144000,00");
    EXPECT_EQ(boxesAt(page, "2. Iznos osnovice za obračun doprinosa"), "      -15,00");
    EXPECT_EQ(boxesAt(page, "3. Iznos obračunanog doprinosa za I. stup"), "    22950,50");
    EXPECT_EQ(boxesAt(page, "4. Iznos obračunanog doprinosa za II. stup"), "        0,00");
    EXPECT_EQ(boxesAt(page, "5. Iznos isplaćene plaće/naknade/drugog dohotka"), "   101494,72");
    EXPECT_EQ(boxesAt(page, "6. Godina i mjesec isplate plaće/naknade/dohotka"), "2026");
    expectCharactersInDrawnBoxes(page);
}

TEST(PageA, TheControlCodeOrTheNumberOfPagesB) {
    Record a = pageA();
    const auto codeRows = [](const Page& page) {
        std::vector<std::string> rows;
        const TextItem* c = caption(page, "KONTROLNI BROJ");
        for (const CellTextItem* item : cellItems(page))
            if (item->y > c->y && item->x < c->x + c->width) rows.push_back(item->text);
        return rows;
    };
    const Page normal = pageAPage(a, PageAMode::WithControlCode);
    EXPECT_EQ(codeRows(normal),
              (std::vector<std::string>{"03FD5A1387", "A3F9EE84CC", "0B9DB23FCB", "5C12D894E4"}));
    EXPECT_EQ(boxesAt(normal, "5. Broj stranica B koje se prilažu stranici A"), std::nullopt);

    const Page bare = pageAPage(a, PageAMode::WithoutControlCode);
    EXPECT_TRUE(codeRows(bare).empty());
    EXPECT_EQ(boxesAt(bare, "5. Broj stranica B koje se prilažu stranici A"), "00002");

    // A payment year "0000" leaves the six payment boxes empty.
    a.setFromDisplay(a.def().fieldIndex("GODPLA"), "0000");
    EXPECT_EQ(boxesAt(pageAPage(a, PageAMode::WithControlCode),
                      "6. Godina i mjesec isplate plaće/naknade/dohotka"),
              std::nullopt);

    // The registry's signature depends on the run that printed the page.
    EXPECT_NE(caption(normal, "Pečat i potpis službene osobe"), nullptr);
    const Page ofRun = pageAPage(a, PageAMode::WithControlCode, PageARun::FormingRun);
    EXPECT_NE(caption(ofRun, "Potpis i ovjera službene osobe"), nullptr);
    EXPECT_EQ(caption(ofRun, "Pečat i potpis službene osobe"), nullptr);
}

// The page A of a checked file's print row ("888" + MV3IDOB) prints as any
// form's, its negative totals with their sign.
TEST(PageA, OfACheckedFileKeepsANegativeTotal) {
    FormHeaderRecord h;
    h.MV3IBOO = "MBROJ12345678";
    h.MV3IDOB = 50;
    h.MV3NAOB = "Obrt";
    h.MV3VROB = 31;
    h.MV3MMGG = {12, 2026};
    h.MV3VROI = 1;
    h.MV3BROS = 3;
    h.MV3IBRT = *Decimal::parse("-250.75", 2);
    h.MV3IGMM = {2027, 1};
    Record a(*findTable("A"));
    ASSERT_EQ(fillPageAFromLine(a, buildLine(h, PositiveSign::Zero).line,
                                "03FD5A1387-A3F9EE84CC-0B9DB23FCB-5C12D894E4"),
              "");
    const Page page = pageAPage(a, PageAMode::WithControlCode);
    EXPECT_EQ(boxesAt(page, "1. IDENTIFIKATOR OBRASCA"), "0050");
    EXPECT_EQ(boxesAt(page, "1. Identifikacijski broj obveznika"), "12345678     ");
    EXPECT_EQ(boxesAt(page, "1. Iznos obračunane plaće/naknade/drugog dohotka"), "     -250,75");
    EXPECT_EQ(boxesAt(page, "6. Godina i mjesec isplate plaće/naknade/dohotka"), "2027");
}

TEST(PayerIdentifier, IsRewrittenForItsThirteenBoxes) {
    const struct {
        const char* stored;
        const char* pageA;
        const char* pageB;
    } cases[] = {
        {"MBROJ12345678", "12345678     ", "12345678     "},
        {"J123456789012", "123456789012 ", "123456789012 "},
        {"  81773745505", "81773745505  ", "  81773745505"}, // OIB: page B as stored
        {"81773745505  ", "81773745505  ", "81773745505  "},
        {"0101990000086", "0101990000086", "0101990000086"},
        {"1234567890   ", "1234567890   ", "1234567890   "}, // no known form: as stored
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pageAPayerIdentifier(c.stored), c.pageA) << c.stored;
        EXPECT_EQ(pageBPayerIdentifierBoxes(c.stored), c.pageB) << c.stored;
    }
}

Record pageBRow(const std::string& id, const std::string& name, const std::string& pay = "100") {
    Record r(*findTable("OSI2"));
    const auto set = [&](const char* field, const std::string& utf8) {
        EXPECT_EQ(r.setFromDisplay(r.def().fieldIndex(field), utf8), "") << field;
    };
    set("JMBG", id);
    set("PREZIME", name);
    set("OPCINA", "1333");
    set("OSNOVA1", "01");
    set("OSNOVA3", "0");
    set("OBRRAZD1", "1");
    set("OBRRAZD2", "31");
    set("IZNOS7", pay);
    set("IZNOS8", "-1234.5");
    set("KONVEZA", "001005001");
    return r;
}

// The rows of a page: the boxed characters of each row, top to bottom.
std::vector<std::string> rowsOf(const Page& page) {
    std::vector<std::string> out;
    for (const CellTextItem* item : cellItems(page))
        if (item->layout->cells.size() > 13) out.push_back(item->text);
    return out;
}

std::string pageNumberOf(const Page& page) {
    return boxesAt(page, "Broj stranice:").value_or("?");
}

TEST(PageB, TwelveRowsAPageNumberedByPersonAcrossPages) {
    PageBPages pages({"2026", "0050", "  81773745505"});
    // Persons of 1, 3, 1, ... rows: 25 rows of 13 persons.
    int person = 0;
    for (int row = 0; row < 25; ++row) {
        if (row == 0 || row == 2 || row >= 4) ++person;
        pages.add(pageBRow(fmt::format("  {:011}", person), fmt::format("Osoba {}", person)));
    }
    const PageModel model = pages.finish();
    ASSERT_EQ(model.pages.size(), 3u);
    EXPECT_EQ(pageNumberOf(model.pages[0]), "00001");
    EXPECT_EQ(pageNumberOf(model.pages[2]), "00003");
    EXPECT_EQ(boxesAt(model.pages[1], "Godina"), "2026");
    EXPECT_EQ(boxesAt(model.pages[1], "Identifikator obrasca"), "0050");
    EXPECT_EQ(boxesAt(model.pages[1], "Identifikacijski broj obveznika"), "  81773745505");

    const auto numberOf = [](const std::string& row) { return row.substr(0, 4); };
    const std::vector<std::string> first = rowsOf(model.pages[0]);
    ASSERT_EQ(first.size(), 12u);
    EXPECT_EQ(numberOf(first[0]), "   1");
    EXPECT_EQ(numberOf(first[1]), "    "); // the same person's second row
    EXPECT_EQ(numberOf(first[2]), "   2");
    EXPECT_EQ(numberOf(first[3]), "    ");
    EXPECT_EQ(numberOf(first[4]), "   3");
    EXPECT_EQ(rowsOf(model.pages[1]).size(), 12u);
    EXPECT_EQ(numberOf(rowsOf(model.pages[1])[0]), "  11");
    ASSERT_EQ(rowsOf(model.pages[2]).size(), 1u);
    EXPECT_EQ(numberOf(rowsOf(model.pages[2])[0]), "  23");
    // Municipality, identifier, basis, mark, days and the amounts ("N-12.`2").
    EXPECT_EQ(first[0].substr(4), "1333  000000000010100131      100,00   -1.234,50"
                                  "        0,00        0,00        0,00");
    expectCharactersInDrawnBoxes(model.pages[0]);
    // The name stands beside the boxes, not in them.
    EXPECT_NE(caption(model.pages[0], "Osoba 1"), nullptr);
}

TEST(PageB, FillerRowsPrintBlankAndPagesGoToTheSinkAsMade) {
    std::vector<Page> handed;
    PageBPages pages({"2026", "0050", "MBROJ12345678"},
                     [&](Page&& p) { handed.push_back(std::move(p)); });
    for (int i = 1; i <= 12; ++i)
        pages.add(pageBRow(fmt::format("  {:011}", i), "Ana"));
    // The first page is handed over as soon as its twelfth row is laid out.
    EXPECT_EQ(handed.size(), 1u);
    pages.add(pageBRow("  00000000013", "Ivo"));
    for (int i = 1; i <= 11; ++i)
        pages.add(pageBRow(fmt::format("99999999999{:02}", i), "ŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠ"));
    EXPECT_TRUE(pages.finish().pages.empty());
    ASSERT_EQ(handed.size(), 2u);
    EXPECT_EQ(rowsOf(handed[1]).size(), 1u);
    EXPECT_EQ(caption(handed[1], "ŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠ"), nullptr);
    EXPECT_EQ(boxesAt(handed[1], "Identifikacijski broj obveznika"), "12345678     ");
}

// Forms in TBOSIGUR and TBOBRAZA, printed through the tables.
class FormPrint : public ::testing::Test {
  protected:
    TempDir dir;
    Station st{dir.str()};

    void addPageA(const std::string& link) {
        TableAccess& a = st.open("A");
        a.record().assign(pageA().bytes());
        set(a, "IDENTIFIKATOR", link.substr(0, 7));
        set(a, "KONVEZA", link);
        ASSERT_EQ(a.add(), 0);
        a.close();
    }

    void addRow(const std::string& link, const std::string& id, const std::string& name) {
        TableAccess& osi = st.open("OSI");
        osi.record().assign(pageBRow(id, name).bytes());
        set(osi, "GODOBRA", "2026");
        set(osi, "OBRMJE", "12");
        set(osi, "IDENTIFIKATOR", link.substr(0, 7));
        set(osi, "VRSUPL", link.substr(7));
        set(osi, "KONVEZA", link);
        ASSERT_EQ(osi.add(), 0);
        osi.close();
    }

    std::vector<std::string> names(const ReportResult& r) {
        std::vector<std::string> out;
        for (const Page& p : r.pages.pages)
            for (const PageItem& i : p.items)
                if (const auto* t = std::get_if<TextItem>(&i)) out.push_back(t->text);
        return out;
    }
};

TEST_F(FormPrint, PageBInRowOrderAndInSurnameOrder) {
    addPageA("001005001");
    addRow("001005001", "  00000000003", "Tomić Ana");
    addRow("001005001", "  00000000001", "Šarić Ivo");
    addRow("001005001", "  00000000002", "Sabol Eva");
    addRow("001005001", "  00000000004", "Čačić Luka");
    addRow("001005101", "  00000000009", "Drugi obrazac");

    const ReportResult rows = printPageB(st.tables, "001005001", PageBOrder::Rows, st.reporter);
    ASSERT_EQ(rows.status, ReportStatus::Done);
    EXPECT_EQ(rows.records, 4);
    ASSERT_EQ(rows.pages.pages.size(), 1u);
    EXPECT_EQ(names(rows),
              (std::vector<std::string>{"Šarić Ivo", "Sabol Eva", "Tomić Ana", "Čačić Luka"}));

    // Croatian order: Č after C, Š after S, all before T.
    const ReportResult byName = printPageB(st.tables, "001005001", PageBOrder::Names, st.reporter);
    ASSERT_EQ(byName.status, ReportStatus::Done);
    EXPECT_EQ(names(byName),
              (std::vector<std::string>{"Čačić Luka", "Sabol Eva", "Šarić Ivo", "Tomić Ana"}));
    EXPECT_EQ(rowsOf(byName.pages.pages[0])[0].substr(0, 4), "   1");
}

TEST_F(FormPrint, AMissingFormIsToldAndPrintsNothing) {
    for (const ReportResult& r :
         {printPageA(st.tables, "007000101", PageAMode::WithControlCode, st.reporter),
          printPageB(st.tables, "007000101", PageBOrder::Rows, st.reporter)}) {
        EXPECT_EQ(r.status, ReportStatus::Failed);
        EXPECT_TRUE(r.pages.pages.empty());
    }
    EXPECT_EQ(boxTexts(st.reporter), (std::vector<std::string>{"Nema obrasca 0001 za firmu 007",
                                                               "Nema obrasca 0001 za firmu 007"}));
}

TEST_F(FormPrint, PagesAOfTheCollectiveList) {
    addPageA("001005001");
    addPageA("002000701");
    TableAccess& list = st.open("TBT");
    for (const char* link : {"002000701", "001005001", "003000101"}) {
        list.record().clear();
        set(list, "IDENTIFIKATOR", link);
        ASSERT_EQ(list.add(), 0);
    }
    list.close();
    const ReportResult r = printPagesAOfRun(st.tables, PageAMode::WithControlCode, st.reporter);
    ASSERT_EQ(r.status, ReportStatus::Done);
    ASSERT_EQ(r.pages.pages.size(), 2u);
    // In the order of the link key; the form that is gone is named.
    EXPECT_EQ(boxesAt(r.pages.pages[0], "1. IDENTIFIKATOR OBRASCA"), "0050");
    EXPECT_EQ(boxesAt(r.pages.pages[1], "1. IDENTIFIKATOR OBRASCA"), "0007");
    EXPECT_NE(caption(r.pages.pages[0], "Potpis i ovjera službene osobe"), nullptr);
    EXPECT_EQ(boxTexts(st.reporter), (std::vector<std::string>{"Nema obrasca 0001 za firmu 003"}));
}

TEST_F(FormPrint, PreparedRowsPrintTheirFillersLast) {
    addPageA("001005001");
    addRow("001005001", "  00000000001", "Zorić Ana");
    addRow("001005001", "  00000000002", "Babić Ivo");
    addRow("001005001", "  00000000003", "Tomić Eva");
    ASSERT_TRUE(preparePageB(st.tables, "001005001", PageBOrder::Names).ok);
    const ReportResult r = printPreparedPageB(st.tables, "001005001", PageBOrder::Names,
                                              {"2026", "0050", "  12345678903"}, st.reporter);
    ASSERT_EQ(r.status, ReportStatus::Done);
    EXPECT_EQ(r.records, 12);
    ASSERT_EQ(r.pages.pages.size(), 1u);
    EXPECT_EQ(rowsOf(r.pages.pages[0]).size(), 3u);
    EXPECT_EQ(names(r), (std::vector<std::string>{"Babić Ivo", "Tomić Eva", "Zorić Ana"}));
}

} // namespace
