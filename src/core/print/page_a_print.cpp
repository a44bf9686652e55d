#include "print/page_a_print.h"

#include <array>
#include <memory>
#include <utility>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "base/picture.h"
#include "base/reporter.h"
#include "data/record.h"
#include "data/tables.h"
#include "print/form_sheet.h"
#include "submission/form_id.h"

namespace mvz {

namespace {

using form::slice;

// A4 portrait, margins of 15 mm; the sections span the width between them.
constexpr int kLeft = 150;
constexpr int kRight = kA4Width - 150;
constexpr int kWidth = kRight - kLeft;
constexpr int kInset = 20; // captions and boxes from the frame's edges

constexpr int kBox = 45;       // boxes of the short fields and amounts
constexpr int kWideBox = 35;   // the 50 boxes of the name and the address
constexpr int kBoxHeight = 60; // every box
constexpr int kLine = 88;      // one caption line with its boxes

const PageFont kRegistryFont{"Arial", 10, true};
const PageFont kFormFont{"Arial", 15, true};
const PageFont kPageFont{"Arial", 12, true};
const PageFont kTitleFont{"Arial", 13, true};
const PageFont kSubtitleFont{"Arial", 10.5, true};
const PageFont kSectionFont{"Arial", 10, true};
const PageFont kNoteFont{"Arial", 9, false};
const PageFont kCaptionFont{"Arial", 9, false};
const PageFont kSmallFont{"Arial", 7, false};
const PageFont kBoxFont{"Arial", 11, false};
const PageFont kWideBoxFont{"Arial", 10, false};

// Where a caption's text stands on a line whose boxes start at `y`.
int captionY(int boxY) {
    return boxY + (kBoxHeight - static_cast<int>(kCaptionFont.size * kTenthMmPerPoint * 1.15)) / 2;
}

// The boxes right-aligned to the section's inner right edge.
int rightAligned(int count, int width = kBox) {
    return kRight - kInset - count * width;
}

// The fields of page A: where their boxes stand.
struct Field {
    int x;
    int y;
    std::shared_ptr<const CellLayout> layout;
};

struct Layout {
    // I.
    int sectionI = 450;
    Field identifier, month, year, type, persons, sheets;
    // II.
    int sectionII = 0;
    Field payer, name, address, payerType;
    // III.
    int sectionIII = 0;
    std::array<Field, 5> totals;
    Field payYear, payMonth;
    // the control code and the footer
    int codeTop = 0;
    std::array<Field, 4> code;
    int footerTop = 0;
};

std::shared_ptr<const CellLayout> boxes(int count, int width = kBox) {
    return form::boxes(count, width, kBoxHeight, width == kBox ? kBoxFont : kWideBoxFont);
}

// Draws the empty form; `run` picks the caption of the registry's signature.
PageLayer drawForm(const Layout& l, PageARun run) {
    PageLayer f;
    const auto boxed = [&](const Field& field) {
        form::drawCells(f, field.x, field.y, *field.layout);
    };
    const auto caption = [&](const std::string& text, int boxY, int x = kLeft + kInset) {
        form::drawText(f, x, captionY(boxY), text, kCaptionFont);
    };

    // Heading.
    form::drawText(f, kLeft, 130, "ZOVAK - Tarvelin", kRegistryFont);
    form::drawFrame(f, kRight - 460, 95, 460, 160);
    form::drawText(f, kRight - 460, 115, "OBRAZAC M - Vz", kFormFont, TextAlign::Center, 460);
    form::drawText(f, kRight - 460, 185, "Stranica A", kPageFont, TextAlign::Center, 460);
    form::drawText(f, kLeft, 305, "SPECIFIKACIJA PO OSIGURANICIMA", kTitleFont, TextAlign::Center,
                   kWidth);
    form::drawText(f, kLeft, 365, "O OBRAČUNANIM DOPRINOSIMA ZA OBVEZNA MIROVINSKA OSIGURANJA",
                   kSubtitleFont, TextAlign::Center, kWidth);

    // I. OSNOVNI PODACI
    form::drawSectionBar(f, kLeft, l.sectionI, kWidth, 55, "I. OSNOVNI PODACI", kSectionFont);
    form::drawFrame(f, kLeft, l.sectionI + 55, kWidth, 4 * kLine + 20);
    caption("1. IDENTIFIKATOR OBRASCA", l.identifier.y);
    boxed(l.identifier);
    caption("3.VRSTA OBRAČUNA/ISPRAVKA", l.type.y, 1150);
    boxed(l.type);
    caption("2. PODACI ZA", l.month.y);
    caption("Mjesec", l.month.y, l.month.x - 130);
    boxed(l.month);
    caption("Godinu", l.year.y, l.year.x - 130);
    boxed(l.year);
    caption("4. Broj osiguranika za koje se podnosi obrazac M-Vz", l.persons.y);
    boxed(l.persons);
    caption("5. Broj stranica B koje se prilažu stranici A", l.sheets.y);
    boxed(l.sheets);

    // II. PODACI O OBVEZNIKU PODNOŠENJA PODATAKA
    form::drawSectionBar(f, kLeft, l.sectionII, kWidth, 55,
                         "II. PODACI O OBVEZNIKU PODNOŠENJA PODATAKA", kSectionFont);
    form::drawFrame(f, kLeft, l.sectionII + 55, kWidth, l.payerType.y + kLine - l.sectionII - 45);
    caption("1. Identifikacijski broj obveznika", l.payer.y);
    boxed(l.payer);
    caption("2. Naziv/prezime i ime obveznika", l.name.y - kLine + 25);
    boxed(l.name);
    caption("3.  Adresa obveznika", l.address.y - kLine + 25);
    boxed(l.address);
    caption("4. Vrsta obveznika", l.payerType.y);
    boxed(l.payerType);

    // III. KONTROLNI PODACI PO OBVEZNIKU PODNOŠENJA PODATAKA
    form::drawSectionBar(f, kLeft, l.sectionIII, kWidth, 55,
                         "III. KONTROLNI PODACI PO OBVEZNIKU PODNOŠENJA PODATAKA", kSectionFont,
                         "/ iznosi u kunama s lipama /", kNoteFont);
    form::drawFrame(f, kLeft, l.sectionIII + 55, kWidth, l.payYear.y + kLine - l.sectionIII - 45);
    static const char* const kTotals[] = {
        "1. Iznos obračunane plaće/naknade/drugog dohotka",
        "2. Iznos osnovice za obračun doprinosa",
        "3. Iznos obračunanog doprinosa za I. stup",
        "4. Iznos obračunanog doprinosa za II. stup",
        "5. Iznos isplaćene plaće/naknade/drugog dohotka",
    };
    for (std::size_t i = 0; i < l.totals.size(); ++i) {
        caption(kTotals[i], l.totals[i].y);
        boxed(l.totals[i]);
    }
    caption("6. Godina i mjesec isplate plaće/naknade/dohotka", l.payYear.y);
    boxed(l.payYear);
    boxed(l.payMonth);

    // The control code.
    const int codeWidth = 10 * kBox + 2 * kInset;
    const int codeHeight = 60 + 4 * (kBoxHeight + 8) + 12;
    form::drawFrame(f, kLeft, l.codeTop, codeWidth, codeHeight);
    form::drawText(f, kLeft, l.codeTop + 15, "KONTROLNI BROJ", kSectionFont, TextAlign::Center,
                   codeWidth);
    for (const Field& row : l.code)
        boxed(row);

    // The registry's box.
    const int zovakLeft = kLeft + 1000;
    const int zovakWidth = kRight - zovakLeft;
    const int zovakHeight = 620;
    form::drawFrame(f, zovakLeft, l.codeTop, zovakWidth, zovakHeight);
    form::drawText(f, zovakLeft, l.codeTop + 15, "POPUNJAVA ZOVAK", kSectionFont, TextAlign::Center,
                   zovakWidth);
    f.emplace_back(LineItem{zovakLeft, l.codeTop + 70, kRight, l.codeTop + 70, 2});
    const int dateY = l.codeTop + 100;
    form::drawText(f, zovakLeft + kInset, captionY(dateY), "Datum zaprimanja", kCaptionFont);
    auto date = std::make_shared<CellLayout>();
    date->addBoxes(0, 2, kBox);
    date->addBoxes(2 * kBox + 20, 2, kBox);
    date->addBoxes(4 * kBox + 40, 4, kBox);
    date->height = kBoxHeight;
    date->font = kBoxFont;
    form::drawCells(f, kRight - kInset - 8 * kBox - 40, dateY, *date);
    form::drawText(f, zovakLeft + kInset, l.codeTop + 330, "M.P.", kCaptionFont);
    const int signY = l.codeTop + zovakHeight - 90;
    f.emplace_back(LineItem{zovakLeft + 330, signY, kRight - kInset, signY, 2});
    form::drawText(f, zovakLeft + 330, signY + 15,
                   run == PageARun::OneForm ? "Pečat i potpis službene osobe"
                                            : "Potpis i ovjera službene osobe",
                   kSmallFont, TextAlign::Center, kRight - kInset - zovakLeft - 330);

    // The payer's signature.
    const int payerSignY = l.codeTop + zovakHeight - 90;
    f.emplace_back(LineItem{kLeft, payerSignY, zovakLeft - 60, payerSignY, 2});
    form::drawText(f, kLeft, payerSignY + 15,
                   "(POTPIS OVLAŠTENE OSOBE OBVEZNIKA PODNOŠENJA PODATAKA)", kSmallFont,
                   TextAlign::Center, zovakLeft - 60 - kLeft);
    return f;
}

const Layout& layout() {
    static const Layout l = [] {
        Layout l;
        const int x = kLeft + kInset;
        // I.: four lines.
        int y = l.sectionI + 55 + 20;
        l.identifier = {760, y, boxes(4)};
        l.type = {rightAligned(2), y, boxes(2)};
        y += kLine;
        l.month = {760, y, boxes(2)};
        l.year = {1060, y, boxes(4)};
        y += kLine;
        l.persons = {rightAligned(5), y, boxes(5)};
        y += kLine;
        l.sheets = {rightAligned(5), y, boxes(5)};
        // II.: the identifier; name and address below their captions; type.
        l.sectionII = y + kLine + 40;
        y = l.sectionII + 55 + 20;
        l.payer = {rightAligned(13), y, boxes(13)};
        y += kLine + 55;
        l.name = {x, y, boxes(50, kWideBox)};
        y += kLine + 55;
        l.address = {x, y, boxes(50, kWideBox)};
        y += kLine;
        l.payerType = {rightAligned(2), y, boxes(2)};
        // III.: five totals and the pay-out.
        l.sectionIII = y + kLine + 40;
        y = l.sectionIII + 55 + 20;
        for (Field& total : l.totals) {
            total = {rightAligned(12), y, boxes(12)};
            y += kLine;
        }
        l.payMonth = {rightAligned(2), y, boxes(2)};
        l.payYear = {rightAligned(2) - 20 - 4 * kBox, y, boxes(4)};
        // The control code and the footer.
        l.codeTop = y + kLine + 50;
        int codeY = l.codeTop + 60;
        for (Field& row : l.code) {
            row = {kLeft + kInset, codeY, boxes(10)};
            codeY += kBoxHeight + 8;
        }
        return l;
    }();
    return l;
}

const std::shared_ptr<const PageLayer>& emptyForm(PageARun run) {
    static const std::shared_ptr<const PageLayer> one =
        std::make_shared<const PageLayer>(drawForm(layout(), PageARun::OneForm));
    static const std::shared_ptr<const PageLayer> ofRun =
        std::make_shared<const PageLayer>(drawForm(layout(), PageARun::FormingRun));
    return run == PageARun::OneForm ? one : ofRun;
}

int field(const Record& r, const char* name) {
    return r.def().fieldIndex(name);
}

std::string text(const Record& r, const char* name) {
    return std::string(r.text(field(r, name)));
}

void fill(Page& page, const Field& f, std::string_view cp1250) {
    if (isBlank(cp1250)) return;
    page.cells(f.x, f.y, f.layout, cp1250ToUtf8(cp1250));
}

} // namespace

std::string pageAPayerIdentifier(std::string_view stored) {
    const std::string value = fixed(stored, 13);
    if (value.compare(0, 5, "MBROJ") == 0) return slice(value, 5, 8) + std::string(5, ' ');
    if (value[0] == 'J') return slice(value, 1, 12) + " ";
    const std::string left = leftJustified(value);
    if (clipRight(left).size() == 11) return fixed(left, 13);
    return value;
}

Page pageAPage(const Record& a, PageAMode mode, PageARun run) {
    static const Picture count = *Picture::parse("N05");
    static const Picture amount = *Picture::parse("N_12`2");
    const Layout& l = layout();
    Page page;
    page.underlay = emptyForm(run);
    page.items.reserve(24);

    fill(page, l.identifier, slice(text(a, "IDENTIFIKATOR"), 3, 4));
    fill(page, l.month, text(a, "OBRMJE"));
    fill(page, l.year, text(a, "OBRGOD"));
    fill(page, l.type, text(a, "VRSUPLA"));
    fill(page, l.persons, count.format(static_cast<long long>(a.integer(field(a, "BROJOSIG")))));
    if (mode == PageAMode::WithoutControlCode)
        fill(page, l.sheets,
             count.format(static_cast<long long>(a.integer(field(a, "BROJSTRANA")))));

    fill(page, l.payer, pageAPayerIdentifier(text(a, "JMBG")));
    fill(page, l.name, slice(text(a, "NAZIV"), 0, 50));
    fill(page, l.address, slice(text(a, "ADRESA"), 0, 50));
    fill(page, l.payerType, text(a, "VRSTOBVEZNIKA"));

    static const char* const kTotals[] = {"IZNOS7", "IZNOS8", "IZNOS9", "IZNOS10", "IZNOS11"};
    for (std::size_t i = 0; i < l.totals.size(); ++i)
        fill(page, l.totals[i], amount.format(a.decimal(field(a, kTotals[i]))));
    const std::string payYear = text(a, "GODPLA");
    if (payYear != "0000") {
        fill(page, l.payYear, payYear);
        fill(page, l.payMonth, text(a, "MJEPLA"));
    }

    if (mode == PageAMode::WithControlCode) {
        const std::string mark = text(a, "KONZNAK");
        for (std::size_t g = 0; g < l.code.size(); ++g)
            fill(page, l.code[g], slice(mark, g * 11, 10));
    }
    return page;
}

std::string missingFormText(std::string_view linkKey) {
    const std::string key = fixed(linkKey, 9);
    return "Nema obrasca " + key.substr(3, 4) + " za firmu " + key.substr(0, 3);
}

namespace {

void tell(Reporter& reporter, const std::string& text) {
    MessageBox box;
    box.title = kPageAWindowTitle;
    box.text = text;
    box.icon = MessageIcon::Exclamation;
    reporter.show(box);
}

// Reads page A of the form into the table's buffer: Ok, RecordNotFound, or
// another failure the table layer has shown.
int readForm(TableAccess& a, std::string_view linkKey) {
    a.record().clear();
    a.record().setText(field(a.record(), "KONVEZA"), linkKey);
    return a.fetch(a.def().keyIndex("KEYIDENTIKATOR"));
}

} // namespace

ReportResult printPageA(Tables& tables, std::string_view linkKey, PageAMode mode,
                        Reporter& reporter) {
    ReportResult out;
    TableAccess& a = tables.access("A");
    if (a.open() != result::Ok) {
        out.status = ReportStatus::Failed;
        return out;
    }
    const int found = readForm(a, clipRight(linkKey));
    if (found == result::Ok) {
        out.pages.title = "OBRAZAC M-Vz stranica A " + cp1250ToUtf8(clipRight(linkKey));
        out.pages.pages.push_back(pageAPage(a.record(), mode, PageARun::OneForm));
        out.records = 1;
    } else {
        if (a.lastError().code == err::RecordNotFound) tell(reporter, missingFormText(linkKey));
        out.status = ReportStatus::Failed;
    }
    a.close();
    return out;
}

ReportResult printPagesAOfRun(Tables& tables, PageAMode mode, Reporter& reporter) {
    ReportResult out;
    TableAccess& list = tables.access("TBT");
    TableAccess& a = tables.access("A");
    if (list.open() != result::Ok) {
        out.status = ReportStatus::Failed;
        return out;
    }
    if (a.open() != result::Ok) {
        list.close();
        out.status = ReportStatus::Failed;
        return out;
    }
    out.pages.title = "OBRAZAC M-Vz stranice A";
    list.setOrder(list.def().keyIndex("KEYIDENTIKATOR"));
    list.setStart();
    const int listed = list.def().fieldIndex("IDENTIFIKATOR");
    bool failed = false;
    for (;;) {
        if (list.next() != result::Ok) {
            failed = !list.atEof();
            break;
        }
        if (reporter.cancelRequested()) {
            out.status = ReportStatus::Cancelled;
            out.pages.pages.clear();
            break;
        }
        const std::string link(clipRight(list.record().text(listed)));
        if (readForm(a, link) == result::Ok) {
            out.pages.pages.push_back(pageAPage(a.record(), mode, PageARun::FormingRun));
            ++out.records;
        } else if (a.lastError().code == err::RecordNotFound) {
            tell(reporter, missingFormText(link));
        } else {
            failed = true;
            break;
        }
        reporter.progress(static_cast<std::uint64_t>(out.records), 0);
    }
    a.close();
    list.close();
    if (out.status == ReportStatus::Cancelled) return out;
    if (failed) {
        out.status = ReportStatus::Failed;
        out.pages.pages.clear();
    } else if (out.records == 0) {
        out.status = ReportStatus::NoRecords;
    }
    return out;
}

} // namespace mvz
