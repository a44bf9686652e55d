// Printing the pages B of one form of 99,999 rows (8,334 pages) to PDF must
// cost at most 3x reading those rows in the print's order, and the preview
// must have its first page within 300 ms, long before the last one is laid
// out. Over a TBOSIGUR holding the form between the rows of two other forms,
// measured in one run:
//  1. baseline: reading the form's rows through OSI:KEYOBRGODMJE (open the
//     table, position at the link key, read until the next form);
//  2. the print in row order ("Stranica &B"): the page model (printPageB)
//     and its drawing into a PDF file through the painter the command line
//     and the preview use, each timed, and the two together against the
//     baseline;
//  3. the time until the first page is laid out (handed to a page sink), and
//     until the last;
//  4. for comparison: the page model in surname order ("Stranica B-2"), and
//     the PDF of the empty form alone (the same number of pages without
//     values) and of as many blank pages, which show what the drawing of the
//     form costs and what a page costs the PDF writer by itself.
//
// Usage: bench_page_b_print [rows] (default 99,999)

#include <QGuiApplication>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "data/bulk_insert.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "print/page_b_print.h"
#include "setup/initialize.h"
#include "ui/page_painter.h"

using namespace mvz;

namespace {

using Clock = std::chrono::steady_clock;
using bench::seconds;

constexpr const char* kForm = "001005001";

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void must(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "%s failed\n", what);
    std::exit(1);
}

const char* kSurnames[] = {"Horvat",   "Kovačević", "Babić",    "Marić",   "Jurić",
                           "Novak",    "Kovačić",   "Knežević", "Vuković", "Marković",
                           "Petrović", "Matić",     "Tomić",    "Šarić",   "Đurić"};
const char* kNames[] = {"Ivan", "Ana", "Marko", "Petra", "Josip", "Maja", "Luka", "Iva"};

// Page A of the form, and its `rows` page-B rows (most persons with one row,
// every seventh with two) between half as many rows of a form before it and
// one after it.
void makeData(const std::string& dir, long rows, ErrorReporter& errors) {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    InitOptions none;
    must(initializeDataDirectory(dir, errors, none).ok, "init");
    Tables tables(dir, errors);

    TableAccess& a = tables.access("A");
    must(a.open() == result::Ok, "open A");
    Record& p = a.record();
    const TableDef& ad = p.def();
    p.clear();
    p.setText(ad.fieldIndex("IDENTIFIKATOR"), "0010050");
    p.setText(ad.fieldIndex("OBRMJE"), "12");
    p.setText(ad.fieldIndex("OBRGOD"), "2026");
    p.setText(ad.fieldIndex("VRSUPLA"), "01");
    p.setInteger(ad.fieldIndex("BROJSTRANA"), (rows + 11) / 12);
    p.setText(ad.fieldIndex("JMBG"), "  81773745505");
    p.setText(ad.fieldIndex("KONVEZA"), kForm);
    must(a.add() == result::Ok, "add page A");
    a.close();

    TableAccess& osi = tables.access("OSI");
    must(osi.open() == result::Ok, "open OSI");
    must(!tables.storage().begin({osi.file()}), "begin");
    {
        BulkInsert insert(*osi.file());
        Record& r = osi.record();
        const TableDef& d = r.def();
        auto field = [&](const char* name) { return d.fieldIndex(name); };
        char id[24];
        auto add = [&](const char* link, long i) {
            const long person = i - i / 7;
            r.clear();
            std::snprintf(id, sizeof id, "  %011ld", 10000000000L + person);
            r.setText(field("JMBG"), id);
            r.setFromDisplay(field("PREZIME"),
                             std::string(kSurnames[person % 15]) + " " + kNames[person % 8]);
            r.setText(field("OPCINA"), "1333");
            r.setText(field("CLANDN"), person % 5 ? "D" : "N");
            r.setText(field("OSNOVA1"), "01");
            r.setText(field("OSNOVA3"), "0");
            r.setInteger(field("OBRRAZD1"), i % 7 == 6 ? 16 : 1);
            r.setInteger(field("OBRRAZD2"), i % 7 == 5 ? 15 : 31);
            const Decimal gross = Decimal::fromUnits(600000 + (person % 977) * 1234, 2);
            r.setDecimal(field("IZNOS7"), gross);
            r.setDecimal(field("IZNOS8"), gross);
            r.setDecimal(field("IZNOS9"), Decimal::fromUnits(gross.units() * 15 / 100, 2));
            r.setDecimal(field("IZNOS10"), Decimal::fromUnits(gross.units() * 5 / 100, 2));
            r.setDecimal(field("IZNOS11"), Decimal::fromUnits(gross.units() * 7 / 10, 2));
            r.setInteger(field("GODOBRA"), 2026);
            r.setInteger(field("OBRMJE"), 12);
            r.setText(field("IDENTIFIKATOR"), std::string(link, 7));
            r.setText(field("VRSUPL"), "01");
            r.setText(field("KONVEZA"), link);
            must(!insert.add(r), "add row");
        };
        for (long i = 0; i < rows / 2; ++i)
            add("001004901", i);
        for (long i = 0; i < rows; ++i)
            add(kForm, i);
        for (long i = 0; i < rows / 2; ++i)
            add("001005101", i);
    }
    must(!tables.storage().commit(), "commit");
    osi.close();
}

// Reads the form's rows through OSI:KEYOBRGODMJE; returns how many.
long readRows(const std::string& dir, ErrorReporter& errors) {
    Tables tables(dir, errors);
    TableAccess& osi = tables.access("OSI");
    must(osi.open() == result::Ok, "open OSI");
    const int link = osi.def().fieldIndex("KONVEZA");
    osi.setOrder(osi.def().keyIndex("KEYOBRGODMJE"));
    osi.record().clear();
    osi.record().setText(link, kForm);
    osi.setFromBuffer();
    long rows = 0;
    while (osi.next() == result::Ok && osi.record().text(link) == kForm)
        ++rows;
    osi.close();
    return rows;
}

std::vector<int> allPages(const PageModel& model) {
    std::vector<int> pages(model.pages.size());
    for (std::size_t i = 0; i < pages.size(); ++i)
        pages[i] = static_cast<int>(i + 1);
    return pages;
}

struct PrintTimes {
    double model = 0, drawing = 0;
    long long rows = 0;
    std::size_t pages = 0;
};

PrintTimes printForm(const std::string& dir, const std::string& pdf, PageBOrder order,
                     ErrorReporter& errors, Reporter& reporter, bool draw) {
    PrintTimes t;
    auto start = Clock::now();
    Tables tables(dir, errors);
    const ReportResult r = printPageB(tables, kForm, order, reporter);
    must(r.status == ReportStatus::Done, "printPageB");
    t.model = seconds(start);
    t.rows = r.records;
    t.pages = r.pages.pages.size();
    if (draw) {
        start = Clock::now();
        must(writePdf(r.pages, allPages(r.pages), QString::fromStdString(pdf)), "writePdf");
        t.drawing = seconds(start);
    }
    return t;
}

// The time until the first page and until the last is handed to a sink.
std::pair<double, double> firstAndLastPage(const std::string& dir, ErrorReporter& errors,
                                           Reporter& reporter) {
    const auto start = Clock::now();
    double first = -1, last = 0;
    Tables tables(dir, errors);
    const ReportResult r = printPageB(tables, kForm, PageBOrder::Rows, reporter, [&](Page&&) {
        last = seconds(start);
        if (first < 0) first = last;
    });
    must(r.status == ReportStatus::Done, "printPageB with a sink");
    return {first, last};
}

// The PDF of the empty form alone (or of blank pages), as many pages as the
// print.
double emptyFormPdf(const PageModel& print, const std::string& pdf, bool withForm = true) {
    PageModel empty;
    for (const Page& p : print.pages) {
        Page blank;
        blank.width = p.width;
        blank.height = p.height;
        if (withForm) blank.underlay = p.underlay;
        empty.pages.push_back(std::move(blank));
    }
    const auto start = Clock::now();
    must(writePdf(empty, allPages(empty), QString::fromStdString(pdf)), "writePdf (empty)");
    return seconds(start);
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    const long rows = argc > 1 ? std::atol(argv[1]) : 99999;
    const std::string dir =
        (std::filesystem::temp_directory_path() / "mvz_bench_page_b_print").string();
    const std::string pdf = dir + "/stranice-b.pdf";
    bench::StderrReporter reporter;
    ErrorReporter errors(reporter);
    errors.addMessages(standardMessages());

    makeData(dir, rows, errors);
    std::printf("pages B of one form: %ld rows among %ld\n", rows, 2 * rows);

    // Warm-up: file cache, fonts.
    must(readRows(dir, errors) == rows, "reading the form's rows");
    printForm(dir, pdf, PageBOrder::Rows, errors, reporter, true);

    const int runs = 3;
    std::vector<double> reads, models, drawings, totals, firsts, lasts, names;
    PrintTimes last;
    for (int run = 0; run < runs; ++run) {
        auto start = Clock::now();
        readRows(dir, errors);
        reads.push_back(seconds(start));
        last = printForm(dir, pdf, PageBOrder::Rows, errors, reporter, true);
        models.push_back(last.model);
        drawings.push_back(last.drawing);
        totals.push_back(last.model + last.drawing);
        const auto [first, end] = firstAndLastPage(dir, errors, reporter);
        firsts.push_back(first);
        lasts.push_back(end);
        names.push_back(
            printForm(dir, pdf + ".names", PageBOrder::Names, errors, reporter, false).model);
    }
    const double pdfBytes = static_cast<double>(std::filesystem::file_size(pdf));
    double empty = 0, blank = 0;
    {
        Tables tables(dir, errors);
        const ReportResult r = printPageB(tables, kForm, PageBOrder::Rows, reporter);
        empty = emptyFormPdf(r.pages, pdf + ".empty");
        blank = emptyFormPdf(r.pages, pdf + ".blank", false);
    }
    const double read = median(reads), total = median(totals);
    std::printf("  read through KEYOBRGODMJE       %8.1f ms\n", read * 1000);
    std::printf("  page model, row order           %8.1f ms  ratio %.2f\n", median(models) * 1000,
                median(models) / read);
    std::printf("  drawing to PDF                  %8.1f ms  ratio %.2f\n", median(drawings) * 1000,
                median(drawings) / read);
    std::printf("  pages B to PDF                  %8.1f ms  ratio %.2f (goal <= 3.0)\n",
                total * 1000, total / read);
    std::printf(
        "  first page laid out             %8.1f ms  (goal < 300 ms; last page at %.1f ms)\n",
        median(firsts) * 1000, median(lasts) * 1000);
    std::printf("  page model, surname order       %8.1f ms  ratio %.2f\n", median(names) * 1000,
                median(names) / read);
    std::printf("  PDF of the empty form alone     %8.1f ms  ratio %.2f\n", empty * 1000,
                empty / read);
    std::printf("  PDF of blank pages              %8.1f ms  ratio %.2f\n", blank * 1000,
                blank / read);
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("  peak memory of the run          %8.1f MB\n", usage.ru_maxrss / 1024.0);
    std::printf("  (%lld rows, %zu pages, %.1f MB, %.1f kB a page)\n", last.rows, last.pages,
                pdfBytes / 1e6, pdfBytes / 1e3 / static_cast<double>(last.pages));
    if (!std::getenv("MVZ_BENCH_KEEP")) std::filesystem::remove_all(dir);
    return 0;
}
