#include "print/page_b_print.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "base/picture.h"
#include "base/reporter.h"
#include "data/record.h"
#include "data/sort_value.h"
#include "data/tables.h"
#include "print/form_sheet.h"
#include "print/page_a_print.h"

namespace mvz {

namespace {

using form::slice;

// A4 landscape.
constexpr int kPageWidth = kA4Height;
constexpr int kPageHeight = kA4Width;

// The columns of the rows, left to right: one cell per character, except the
// name, which is one column of its own.
enum Column {
    RowNumber,
    Municipality,
    Identifier,
    Name,
    Basis,
    Mark,
    From,
    To,
    Gross,
    Base,
    PillarI,
    PillarII,
    Net,
    ColumnCount
};

struct ColumnSpec {
    int chars; // cells (0: the name, a column without cells)
    int cell;  // width of one cell; the name: the column's width
};

constexpr ColumnSpec kColumns[ColumnCount] = {
    {4, 26}, {4, 30},  {13, 26}, {0, 560}, {2, 32},  {1, 32},  {2, 32},
    {2, 32}, {12, 25}, {12, 25}, {12, 25}, {12, 25}, {12, 25},
};

constexpr int tableWidth() {
    int w = 0;
    for (const ColumnSpec& c : kColumns)
        w += c.chars == 0 ? c.cell : c.chars * c.cell;
    return w;
}

constexpr int kLeft = (kPageWidth - tableWidth()) / 2;
constexpr int kRight = kLeft + tableWidth();

constexpr int kHeaderBoxY = 175;  // the year, identifier, payer and page boxes
constexpr int kBarY = 270;        // "IV. PODACI PO OSIGURANICIMA"
constexpr int kCaptionTop = 320;  // the column captions
constexpr int kSubCaptionY = 480; // "OO", "B", "OD", "DO"
constexpr int kRowsTop = 560;     // the first row
constexpr int kRowHeight = 86;
constexpr int kRowsBottom = kRowsTop + kPageBRows * kRowHeight;
constexpr int kFooterY = kRowsBottom + 170;

constexpr int kHeaderBox = 40;
constexpr int kHeaderBoxHeight = 55;

const PageFont kRegistryFont{"Arial", 10, true};
const PageFont kFormFont{"Arial", 15, true};
const PageFont kPageFont{"Arial", 12, true};
const PageFont kSectionFont{"Arial", 10, true};
const PageFont kCaptionFont{"Arial", 9, false};
const PageFont kColumnFont{"Arial", 6.5, false};
const PageFont kSmallFont{"Arial", 7, false};
const PageFont kHeaderBoxFont{"Arial", 10, false};
const PageFont kCellFont{"Arial", 8.5, false};
const PageFont kNameFont{"Arial", 7, false};

// The column's left edge and width.
int columnLeft(int column) {
    int x = kLeft;
    for (int c = 0; c < column; ++c)
        x += kColumns[c].chars == 0 ? kColumns[c].cell : kColumns[c].chars * kColumns[c].cell;
    return x;
}

int columnWidth(int column) {
    const ColumnSpec& c = kColumns[column];
    return c.chars == 0 ? c.cell : c.chars * c.cell;
}

int lineHeight(const PageFont& font) {
    return static_cast<int>(font.size * kTenthMmPerPoint * 1.2);
}

// Caption lines centred in [x, x + width] and vertically in [top, bottom].
void stackedCaption(PageLayer& f, int x, int width, int top, int bottom,
                    std::initializer_list<const char*> lines) {
    const int h = lineHeight(kColumnFont);
    int y = top + (bottom - top - h * static_cast<int>(lines.size())) / 2;
    for (const char* line : lines) {
        form::drawText(f, x, y, line, kColumnFont, TextAlign::Center, width);
        y += h;
    }
}

} // namespace

struct PageBForm {
    std::shared_ptr<const CellLayout> year, identifier, payer, page, row;
    std::shared_ptr<const PageLayer> form;
    // Where the header boxes stand.
    int yearX = 0, identifierX = 0, payerX = 0, pageX = 0;
    int nameX = 0;
};

namespace {

PageLayer drawForm(const PageBForm& l) {
    PageLayer f;
    const auto headerCaption = [&](const char* text, int x) {
        form::drawText(f, x, kHeaderBoxY + (kHeaderBoxHeight - lineHeight(kCaptionFont)) / 2 + 4,
                       text, kCaptionFont);
    };

    // Heading.
    form::drawText(f, kLeft, 75, "ZOVAK - Tarvelin", kRegistryFont);
    form::drawText(f, kLeft, 65, "OBRAZAC M-Vz", kFormFont, TextAlign::Center, kRight - kLeft);
    form::drawFrame(f, kRight - 400, 50, 400, 90);
    form::drawText(f, kRight - 400, 70, "stranica B", kPageFont, TextAlign::Center, 400);

    headerCaption("Godina", kLeft);
    form::drawCells(f, l.yearX, kHeaderBoxY, *l.year);
    headerCaption("Identifikator obrasca", l.yearX + 4 * kHeaderBox + 60);
    form::drawCells(f, l.identifierX, kHeaderBoxY, *l.identifier);
    headerCaption("Identifikacijski broj obveznika", l.identifierX + 4 * kHeaderBox + 60);
    form::drawCells(f, l.payerX, kHeaderBoxY, *l.payer);
    headerCaption("Broj stranice:", l.pageX - 250);
    form::drawCells(f, l.pageX, kHeaderBoxY, *l.page);

    form::drawSectionBar(f, kLeft, kBarY, kRight - kLeft, 50, "IV. PODACI PO OSIGURANICIMA",
                         kSectionFont, "Iznosi u kunama s lipama", kCaptionFont);

    // Column captions.
    const auto whole = [&](int column, std::initializer_list<const char*> lines) {
        stackedCaption(f, columnLeft(column), columnWidth(column), kCaptionTop, kRowsTop, lines);
    };
    whole(RowNumber, {"Red.", "broj"});
    whole(Municipality, {"Šifra", "općine/", "grada rada"});
    whole(Identifier, {"Identifikacijski broj"});
    whole(Name, {"Prezime i ime osiguranika"});
    const int basisWidth = columnWidth(Basis) + columnWidth(Mark);
    stackedCaption(f, columnLeft(Basis), basisWidth, kCaptionTop, kSubCaptionY,
                   {"Osnova", "obračuna"});
    stackedCaption(f, columnLeft(Basis), columnWidth(Basis), kSubCaptionY, kRowsTop, {"OO"});
    stackedCaption(f, columnLeft(Mark), columnWidth(Mark), kSubCaptionY, kRowsTop, {"B"});
    const int periodWidth = columnWidth(From) + columnWidth(To);
    stackedCaption(f, columnLeft(From), periodWidth, kCaptionTop, kSubCaptionY,
                   {"Razdoblje", "obračuna", "s istom", "osnovom", "osiguranika"});
    stackedCaption(f, columnLeft(From), columnWidth(From), kSubCaptionY, kRowsTop, {"OD"});
    stackedCaption(f, columnLeft(To), columnWidth(To), kSubCaptionY, kRowsTop, {"DO"});
    whole(Gross, {"Iznos obračunane", "plaće/naknade/drugog", "dohotka"});
    whole(Base, {"Iznos osnovice za", "obračun doprinosa"});
    whole(PillarI, {"Iznos obračunanog", "doprinosa za I. stup"});
    whole(PillarII, {"Iznos obračunanog", "doprinosa za II. stup"});
    whole(Net, {"Iznos isplaćene", "plaće/naknade/drugog", "dohotka"});

    // The grid: the caption block, then the rows with a box per character.
    f.emplace_back(
        LineItem{columnLeft(Basis), kSubCaptionY, columnLeft(Basis) + basisWidth, kSubCaptionY, 2});
    f.emplace_back(
        LineItem{columnLeft(From), kSubCaptionY, columnLeft(From) + periodWidth, kSubCaptionY, 2});
    for (int r = 1; r < kPageBRows; ++r)
        f.emplace_back(
            LineItem{kLeft, kRowsTop + r * kRowHeight, kRight, kRowsTop + r * kRowHeight, 2});
    for (int c = 0; c < ColumnCount; ++c) {
        for (int k = 1; k < kColumns[c].chars; ++k) {
            const int x = columnLeft(c) + k * kColumns[c].cell;
            f.emplace_back(LineItem{x, kRowsTop, x, kRowsBottom, 1});
        }
    }
    for (int c = 1; c < ColumnCount; ++c) {
        const int x = columnLeft(c);
        // The pairs under one caption share the caption block above them.
        const int top = (c == Mark || c == To) ? kSubCaptionY : kCaptionTop;
        f.emplace_back(LineItem{x, top, x, kRowsBottom, 3});
    }
    f.emplace_back(LineItem{kLeft, kRowsTop, kRight, kRowsTop, 4});
    form::drawFrame(f, kLeft, kCaptionTop, kRight - kLeft, kRowsBottom - kCaptionTop, 4);

    // Footer.
    form::drawText(f, kLeft + 700, kFooterY - 40, "M.P.", kCaptionFont);
    const int signLeft = kRight - 1100;
    f.emplace_back(LineItem{signLeft, kFooterY, kRight, kFooterY, 2});
    form::drawText(f, signLeft, kFooterY + 15,
                   "(POTPIS OVLAŠTENE OSOBE OBVEZNIKA PODNOŠENJA PODATAKA)", kSmallFont,
                   TextAlign::Center, kRight - signLeft);
    return f;
}

const PageBForm& pageBLayouts() {
    static const PageBForm l = [] {
        PageBForm l;
        l.year = form::boxes(4, kHeaderBox, kHeaderBoxHeight, kHeaderBoxFont);
        l.identifier = form::boxes(4, kHeaderBox, kHeaderBoxHeight, kHeaderBoxFont);
        l.payer = form::boxes(13, kHeaderBox, kHeaderBoxHeight, kHeaderBoxFont);
        l.page = form::boxes(5, kHeaderBox, kHeaderBoxHeight, kHeaderBoxFont);
        l.yearX = kLeft + 150;
        l.identifierX = l.yearX + 4 * kHeaderBox + 420;
        l.payerX = l.identifierX + 4 * kHeaderBox + 560;
        l.pageX = kRight - 5 * kHeaderBox;
        auto row = std::make_shared<CellLayout>();
        for (int c = 0; c < ColumnCount; ++c)
            if (kColumns[c].chars > 0)
                row->addBoxes(columnLeft(c) - kLeft, kColumns[c].chars, kColumns[c].cell);
        row->height = kRowHeight;
        row->font = kCellFont;
        l.row = row;
        l.nameX = columnLeft(Name);
        l.form = std::make_shared<const PageLayer>(drawForm(l));
        return l;
    }();
    return l;
}

// The fields of a page-B row, looked up once per table layout.
struct RowFields {
    explicit RowFields(const TableDef& d)
        : identifier(d.fieldIndex("JMBG")), name(d.fieldIndex("PREZIME")),
          municipality(d.fieldIndex("OPCINA")), basis(d.fieldIndex("OSNOVA1")),
          mark(d.fieldIndex("OSNOVA3")), from(d.fieldIndex("OBRRAZD1")),
          to(d.fieldIndex("OBRRAZD2")), amounts{d.fieldIndex("IZNOS7"), d.fieldIndex("IZNOS8"),
                                                d.fieldIndex("IZNOS9"), d.fieldIndex("IZNOS10"),
                                                d.fieldIndex("IZNOS11")} {}
    int identifier, name, municipality, basis, mark, from, to;
    int amounts[5];
};

const RowFields& rowFields(const TableDef& def) {
    thread_local const TableDef* of = nullptr;
    thread_local std::optional<RowFields> fields;
    if (of != &def) {
        fields.emplace(def);
        of = &def;
    }
    return *fields;
}

} // namespace

std::string pageBPayerIdentifierBoxes(std::string_view stored) {
    const std::string value = fixed(stored, 13);
    if (clipRight(leftJustified(value)).size() == 11) return value;
    return pageAPayerIdentifier(value);
}

PageBHeading pageBHeadingOf(const Record& a) {
    const TableDef& d = a.def();
    PageBHeading h;
    h.year = std::string(a.text(d.fieldIndex("OBRGOD")));
    h.formIdentifier = slice(a.text(d.fieldIndex("IDENTIFIKATOR")), 3, 4);
    h.payerIdentifier = std::string(a.text(d.fieldIndex("JMBG")));
    return h;
}

PageBPages::PageBPages(const PageBHeading& heading, PageSink sink)
    : layouts_(pageBLayouts()), sink_(std::move(sink)) {
    heading_[0] = cp1250ToUtf8(slice(heading.year, 0, 4));
    heading_[1] = cp1250ToUtf8(slice(heading.formIdentifier, 0, 4));
    heading_[2] = cp1250ToUtf8(pageBPayerIdentifierBoxes(heading.payerIdentifier));
    line_.reserve(96);
}

PageBPages::~PageBPages() = default;

void PageBPages::startPage() {
    static const Picture pageNumber = *Picture::parse("N05");
    page_ = Page{};
    page_.width = kPageWidth;
    page_.height = kPageHeight;
    page_.underlay = layouts_.form;
    page_.items.reserve(4 + 2 * kPageBRows);
    const PageBForm& l = layouts_;
    page_.cells(l.yearX, kHeaderBoxY, l.year, heading_[0]);
    page_.cells(l.identifierX, kHeaderBoxY, l.identifier, heading_[1]);
    page_.cells(l.payerX, kHeaderBoxY, l.payer, heading_[2]);
    page_.cells(l.pageX, kHeaderBoxY, l.page, pageNumber.format(pagesMade_ + 1));
    pageOpen_ = true;
    rowOnPage_ = 0;
}

void PageBPages::endPage() {
    ++pagesMade_;
    pageOpen_ = false;
    if (sink_)
        sink_(std::move(page_));
    else
        model_.pages.push_back(std::move(page_));
}

void PageBPages::add(const Record& row) {
    static const Picture number = *Picture::parse("n4");
    static const Picture day = *Picture::parse("N02");
    static const Picture amount = *Picture::parse("N-12.`2");
    const RowFields& f = rowFields(row.def());
    if (!pageOpen_) startPage();
    const int y = kRowsTop + rowOnPage_ * kRowHeight;
    ++rows_;
    const std::string_view identifier = row.text(f.identifier);
    if (!isFillerIdentifier(identifier)) {
        const bool newPerson = first_ || identifier != lastIdentifier_;
        if (newPerson) {
            ++person_;
            lastIdentifier_.assign(identifier);
        }
        first_ = false;
        line_.clear();
        line_ += newPerson ? number.format(person_) : std::string(4, ' ');
        line_ += slice(row.text(f.municipality), 0, 4);
        line_ += slice(identifier, 0, 13);
        line_ += slice(row.text(f.basis), 0, 2);
        line_ += slice(row.text(f.mark), 0, 1);
        line_ += day.format(row.integer(f.from));
        line_ += day.format(row.integer(f.to));
        for (const int a : f.amounts)
            line_ += amount.format(row.decimal(a));
        page_.cells(kLeft, y, layouts_.row, cp1250ToUtf8(line_));
        const std::string_view name = clipRight(row.text(f.name).substr(0, 34));
        if (!name.empty())
            page_.items.emplace_back(TextItem{
                layouts_.nameX + 15,
                y + (kRowHeight - static_cast<int>(kNameFont.size * kTenthMmPerPoint * 1.15)) / 2,
                columnWidth(Name) - 30, cp1250ToUtf8(name), kNameFont, TextAlign::Left});
    }
    if (++rowOnPage_ == kPageBRows) endPage();
}

PageModel PageBPages::finish() {
    // The rest of a last page that is not full stays blank.
    if (pageOpen_) endPage();
    return std::move(model_);
}

std::string pageBTitle(std::string_view linkKey, PageBOrder order) {
    return std::string(order == PageBOrder::Rows ? "OBRAZAC M-Vz stranica B "
                                                 : "OBRAZAC M-Vz stranica B-2 ") +
           cp1250ToUtf8(clipRight(linkKey));
}

namespace {

struct Opened {
    TableAccess& t;
    bool ok;
    explicit Opened(TableAccess& table) : t(table), ok(table.open() == result::Ok) {}
    ~Opened() {
        if (ok) t.close();
    }
};

// The end of a print: Done with the pages, NoRecords, Cancelled or Failed.
ReportResult finished(PageBPages& pages, bool cancelled, bool failed, std::string title) {
    ReportResult out;
    out.records = pages.rows();
    if (cancelled) {
        out.status = ReportStatus::Cancelled;
    } else if (failed) {
        out.status = ReportStatus::Failed;
    } else if (pages.rows() == 0) {
        out.status = ReportStatus::NoRecords;
    } else {
        out.pages = pages.finish();
        out.pages.title = std::move(title);
    }
    return out;
}

// Whether to stop: asked every 64 rows, with the progress.
bool cancelAt(Reporter& reporter, long long row, long long total) {
    if (row % 64 != 0) return false;
    reporter.progress(static_cast<std::uint64_t>(row), static_cast<std::uint64_t>(total));
    return reporter.cancelRequested();
}

} // namespace

ReportResult printPageB(Tables& tables, std::string_view linkKey, PageBOrder order,
                        Reporter& reporter, const PageSink& sink) {
    const std::string link(clipRight(linkKey));
    TableAccess& a = tables.access("A");
    std::optional<Record> pageA;
    {
        Opened open(a);
        if (!open.ok) return ReportResult{ReportStatus::Failed, {}, 0};
        a.record().clear();
        a.record().setText(a.def().fieldIndex("KONVEZA"), link);
        if (a.fetch(a.def().keyIndex("KEYIDENTIKATOR")) != result::Ok) {
            if (a.lastError().code == err::RecordNotFound) {
                MessageBox box;
                box.title = kPageAWindowTitle;
                box.text = missingFormText(link);
                box.icon = MessageIcon::Exclamation;
                reporter.show(box);
            }
            return ReportResult{ReportStatus::Failed, {}, 0};
        }
        pageA = a.record();
    }
    const long long expected = pageA->integer(pageA->def().fieldIndex("BROJSTRANA")) * kPageBRows;

    TableAccess& rows = tables.access("OSI");
    Opened open(rows);
    if (!open.ok) return ReportResult{ReportStatus::Failed, {}, 0};
    const TableDef& def = rows.def();
    const int linkField = def.fieldIndex("KONVEZA");
    rows.setOrder(def.keyIndex("KEYOBRGODMJE"));
    rows.record().clear();
    rows.record().setText(linkField, link);
    rows.setFromBuffer();

    PageBPages pages(pageBHeadingOf(*pageA), sink);
    bool failed = false;
    bool cancelled = false;
    const auto nextOfForm = [&]() {
        if (rows.next() != result::Ok) {
            failed = !rows.atEof();
            return false;
        }
        return equalIgnoringTrailingBlanks(rows.record().text(linkField), link);
    };

    if (order == PageBOrder::Rows) {
        // The rows go to the page as they are read: the first page is laid
        // out before the last row is read.
        while (nextOfForm()) {
            pages.add(rows.record());
            if (cancelAt(reporter, pages.rows(), expected)) {
                cancelled = true;
                break;
            }
        }
    } else {
        // By surname and name, then identifier, basis and mark, as the print
        // work table's name key orders them.
        const TableDef& work = *findTable("OSI2");
        const KeyDef& byName = work.keys[work.keyIndex("KEYPREZIME")];
        Record asWork(work);
        std::vector<std::pair<std::string, Record>> sorted;
        while (nextOfForm()) {
            asWork.assign(rows.record().bytes());
            sorted.emplace_back(keySortValue(work, byName, asWork).value_or(std::string()),
                                rows.record());
            if (cancelAt(reporter, static_cast<long long>(sorted.size()), 2 * expected)) {
                cancelled = true;
                break;
            }
        }
        if (!cancelled && !failed) {
            std::stable_sort(sorted.begin(), sorted.end(),
                             [](const auto& x, const auto& y) { return x.first < y.first; });
            for (const auto& [key, row] : sorted) {
                pages.add(row);
                if (cancelAt(reporter, pages.rows() + static_cast<long long>(sorted.size()),
                             2 * expected)) {
                    cancelled = true;
                    break;
                }
            }
        }
    }
    return finished(pages, cancelled, failed, pageBTitle(link, order));
}

ReportResult printPreparedPageB(Tables& tables, std::string_view linkKey, PageBOrder order,
                                const PageBHeading& heading, Reporter& reporter,
                                const PageSink& sink) {
    PageBPages pages(heading, sink);
    bool cancelled = false;
    const long long visited =
        forEachPreparedRow(tables, clipRight(linkKey), order, [&](const Record& row) {
            pages.add(row);
            cancelled = cancelAt(reporter, pages.rows(), 0);
            return !cancelled;
        });
    return finished(pages, cancelled, visited < 0, pageBTitle(linkKey, order));
}

} // namespace mvz
