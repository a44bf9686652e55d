#include "print/insured_person_list.h"

#include <string_view>
#include <utility>
#include <vector>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "base/picture.h"
#include "base/reporter.h"
#include "data/sort_value.h"
#include "data/tables.h"
#include "print/code_table_list.h"
#include "print/page_model.h"

namespace mvz {

namespace {

constexpr const char* kHeading = "O S I G U R A N I C I";

// A4 landscape.
constexpr int kPageWidth = kA4Height;
constexpr int kPageHeight = kA4Width;
constexpr int kMargin = 150;
constexpr int kRight = kPageWidth - kMargin;
constexpr int kRowHeight = 42;

constexpr int kHeadingY = kMargin;
constexpr int kEmployerY = kHeadingY + 80;
constexpr int kContactY = kEmployerY + 50;
constexpr int kCaptionY = kContactY + 95;
constexpr int kFirstRowY = kCaptionY + 70;
constexpr int kFooterY = kPageHeight - kMargin;
constexpr int kLastRowBottom = kFooterY - 50;

const PageFont kHeadingFont{"Arial", 12, true};
const PageFont kStampFont{"Arial", 8, false};
const PageFont kEmployerFont{"Arial", 10, true};
const PageFont kContactFont{"Arial", 9, false};
const PageFont kCaptionFont{"Arial", 9, true};
const PageFont kRowFont{"Arial", 9, false};
const PageFont kFooterFont{"Arial", 8, false};

struct Column {
    const char* caption;
    int x;
    int width;
    TextAlign align;
};

// Identifier, name, municipality, basis, period, then the five amounts:
// gross pay, base, pillar I, pillar II and net.
enum Col { Identifier, Name, Municipality, Basis, Period, Gross, Base, First, Second, Net, Count };

constexpr Column kColumns[Count] = {
    {"OIB/MBG", 150, 250, TextAlign::Left},
    {"Prezime i ime", 420, 740, TextAlign::Left},
    {"Općina", 1180, 120, TextAlign::Left},
    {"Osnov", 1320, 160, TextAlign::Left},
    {"Razdoblje od - do", 1500, 400, TextAlign::Left},
    {"Iznos plaće", 1900, 180, TextAlign::Right},
    {"Osnovica", 2085, 180, TextAlign::Right},
    {"I. stup", 2270, 180, TextAlign::Right},
    {"II. stup", 2455, 180, TextAlign::Right},
    {"Neto", 2640, 180, TextAlign::Right},
};

// Characters of a name that fit its column, capitals included.
constexpr std::size_t kNameWidth = 32;

std::string trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

std::string shown(const Record& r, const char* field) {
    return trimmed(r.display(r.def().fieldIndex(field)));
}

// The fields of an employee record the list prints, looked up once.
struct EmployeeFields {
    explicit EmployeeFields(const TableDef& d)
        : number(d.fieldIndex("REDBROJ")), identifier(d.fieldIndex("JMBG")),
          name(d.fieldIndex("PREZIME")), municipality(d.fieldIndex("OPCINA")),
          member(d.fieldIndex("CLANDN")), basis(d.fieldIndex("OSNOVA1")),
          mark(d.fieldIndex("OSNOVA3")), fourth(d.fieldIndex("OSNOVA4")),
          year(d.fieldIndex("GODOBRA")), month(d.fieldIndex("MJEOBRA")),
          from(d.fieldIndex("ODDANA")),
          to(d.fieldIndex("DODANA")), amounts{d.fieldIndex("IZNOS7"), d.fieldIndex("IZNOS8"),
                                              d.fieldIndex("IZNOS9"), d.fieldIndex("IZNOS10"),
                                              d.fieldIndex("IZNOS11")} {}
    int number, identifier, name, municipality, member, basis, mark, fourth, year, month, from, to;
    int amounts[5];
};

// The codes at their stored widths, so that a blank mark keeps its place.
std::string basisText(const Record& r, const EmployeeFields& f) {
    std::string text;
    for (const int field : {f.member, f.basis, f.mark, f.fourth}) {
        if (!text.empty()) text += ' ';
        text += r.text(field);
    }
    return cp1250ToUtf8(clipRight(text));
}

std::string periodText(const Record& r, const EmployeeFields& f) {
    static const Picture day = *Picture::parse("N02");
    static const Picture month = *Picture::parse("N02");
    static const Picture year = *Picture::parse("N04");
    const std::string monthYear =
        "." + month.format(r.integer(f.month)) + "." + year.format(r.integer(f.year)) + ".";
    return day.format(r.integer(f.from)) + monthYear + " - " + day.format(r.integer(f.to)) +
           monthYear;
}

void joinTo(std::string& out, const std::string& part, std::string_view separator) {
    if (part.empty()) return;
    if (!out.empty()) out += separator;
    out += part;
}

// The pages: the heading on every page, one line per record and more for a
// long name, "Stranica N od M" at the foot.
class InsuredPages {
  public:
    InsuredPages(std::string employerLine, std::string contactLine, std::string stamp)
        : employer_(std::move(employerLine)), contact_(std::move(contactLine)),
          stamp_(std::move(stamp)) {
        model_.title = kHeading;
    }

    // One record: its cells, and the further lines of its name.
    void add(std::string (&cells)[Count], std::vector<std::string>& moreName) {
        const int lines = 1 + static_cast<int>(moreName.size());
        // A record is not split over two pages.
        if (model_.pages.empty() || y_ + lines * kRowHeight > kLastRowBottom) startPage();
        Page& page = model_.pages.back();
        for (int c = 0; c < Count; ++c) {
            if (cells[c].empty()) continue;
            const Column& col = kColumns[c];
            page.items.emplace_back(
                TextItem{col.x, y_, col.width, std::move(cells[c]), kRowFont, col.align});
        }
        for (std::string& line : moreName) {
            y_ += kRowHeight;
            const Column& col = kColumns[Name];
            page.items.emplace_back(
                TextItem{col.x, y_, col.width, std::move(line), kRowFont, col.align});
        }
        y_ += kRowHeight;
    }

    PageModel finish() {
        const std::string total = std::to_string(model_.pages.size());
        for (std::size_t i = 0; i < model_.pages.size(); ++i) {
            Page& page = model_.pages[i];
            page.line(kMargin, kFooterY - 15, kRight, kFooterY - 15, 1);
            page.text(kMargin, kFooterY, "Stranica " + std::to_string(i + 1) + " od " + total,
                      kFooterFont, TextAlign::Center, kRight - kMargin);
        }
        return std::move(model_);
    }

  private:
    void startPage() {
        Page& page = model_.pages.emplace_back();
        page.width = kPageWidth;
        page.height = kPageHeight;
        // The heading, captions and foot, and a line of cells in every row.
        page.items.reserve(8 + 2 * Count + Count * ((kLastRowBottom - kFirstRowY) / kRowHeight));
        page.text(kMargin, kHeadingY, kHeading, kHeadingFont);
        if (!stamp_.empty())
            page.text(kMargin, kHeadingY + 10, stamp_, kStampFont, TextAlign::Right,
                      kRight - kMargin);
        page.text(kMargin, kEmployerY, employer_, kEmployerFont);
        if (!contact_.empty()) page.text(kMargin, kContactY, contact_, kContactFont);
        page.line(kMargin, kCaptionY - 15, kRight, kCaptionY - 15, 3);
        for (const Column& c : kColumns)
            page.text(c.x, kCaptionY, c.caption, kCaptionFont, c.align, c.width);
        page.line(kMargin, kFirstRowY - 15, kRight, kFirstRowY - 15, 2);
        y_ = kFirstRowY;
    }

    std::string employer_, contact_, stamp_;
    PageModel model_;
    int y_ = 0;
};

// Reads the employer by its number into the POS buffer; false when it is
// not there (or the table cannot be read, which the table layer has shown).
bool readEmployer(TableAccess& pos, long number, Reporter& reporter) {
    if (pos.open() != result::Ok) return false;
    pos.record().clear();
    // A number the field cannot hold is no employer's.
    bool found = false, missing = true;
    if (pos.record().setInteger(pos.def().fieldIndex("REDBROJ"), number)) {
        found = pos.fetch(pos.def().keyIndex("KEYREDBROJ")) == result::Ok;
        missing = !found && pos.lastError().code == err::RecordNotFound;
    }
    pos.close();
    if (missing) {
        MessageBox box;
        box.title = kHeading;
        box.text = "Nema poslodavca s rednim brojem " + std::to_string(number) + ".";
        box.icon = MessageIcon::Exclamation;
        reporter.show(box);
    }
    return found;
}

} // namespace

std::string insuredBasisText(const Record& r) {
    return basisText(r, EmployeeFields(r.def()));
}

std::string insuredPeriodText(const Record& r) {
    return periodText(r, EmployeeFields(r.def()));
}

std::string insuredListEmployerLine(const Record& employer) {
    std::string line;
    joinTo(line, shown(employer, "JMBG"), "   ");
    joinTo(line, trimmed(shown(employer, "MB01") + " " + shown(employer, "MB02")), "   ");
    joinTo(line, shown(employer, "NAZIV"), "   ");
    return line;
}

std::string insuredListContactLine(const Record& employer) {
    std::string line = shown(employer, "ADRESA");
    const std::string phone = shown(employer, "TELEFON");
    if (!phone.empty()) line += ",  tel: " + phone;
    joinTo(line, shown(employer, "KONTAKT"), ", ");
    joinTo(line, shown(employer, "EMAIL"), ", ");
    return line;
}

ReportResult printInsuredPersons(Tables& tables, long employerNumber, const std::string& stamp,
                                 Reporter& reporter) {
    ReportResult out;
    TableAccess& pos = tables.access("POS");
    if (!readEmployer(pos, employerNumber, reporter)) {
        out.status = ReportStatus::Failed;
        return out;
    }
    InsuredPages pages(insuredListEmployerLine(pos.record()), insuredListContactLine(pos.record()),
                       stamp);

    TableAccess& rad = tables.access("RAD");
    if (rad.open() != result::Ok) {
        out.status = ReportStatus::Failed;
        return out;
    }
    const TableDef& def = rad.def();
    const int key = def.keyIndex("KEYRBRFIRME");
    const EmployeeFields f(def);
    static const Picture amount = *Picture::parse("n10.2");

    // From the employer's first row through the key; the first row of
    // another employer ends the list.
    rad.setOrder(key);
    rad.record().clear();
    rad.record().setInteger(f.number, employerNumber);
    rad.setFromSortValue(keyPrefixSortValue(def, def.keys[key], rad.record(), 1));
    bool ended = false;
    std::string cells[Count];
    std::vector<std::string> moreName;
    while (rad.next() == result::Ok) {
        const Record& r = rad.record();
        if (r.integer(f.number) != employerNumber) {
            ended = true;
            break;
        }
        if (reporter.cancelRequested()) {
            out.status = ReportStatus::Cancelled;
            rad.close();
            return out;
        }
        cells[Identifier] = trimmed(r.display(f.identifier));
        moreName = wrapText(r.display(f.name), kNameWidth);
        if (moreName.empty()) {
            cells[Name].clear();
        } else {
            cells[Name] = std::move(moreName.front());
            moreName.erase(moreName.begin());
        }
        cells[Municipality] = r.display(f.municipality);
        cells[Basis] = basisText(r, f);
        cells[Period] = periodText(r, f);
        for (int a = 0; a < 5; ++a)
            cells[Gross + a] = trimmed(amount.format(r.decimal(f.amounts[a])));
        pages.add(cells, moreName);
        ++out.records;
        reporter.progress(static_cast<std::uint64_t>(out.records), 0);
    }
    const bool exhausted = ended || rad.atEof();
    rad.close();
    if (!exhausted)
        out.status = ReportStatus::Failed;
    else if (out.records == 0)
        out.status = ReportStatus::NoRecords;
    else
        out.pages = pages.finish();
    return out;
}

} // namespace mvz
