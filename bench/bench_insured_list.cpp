// Printing one employer's insured persons, "O S I G U R A N I C I", to PDF
// must cost little more than reading the employer's rows. Over a table with
// 10,000 employee records of employer 2 between the rows of employers 1 and 3,
// measured in one run:
//  1. baseline: reading employer 2's rows through RAD:KEYRBRFIRME (open the
//     table, position at the employer, read until the next employer);
//  2. the list: the page model (printInsuredPersons) and its drawing into a
//     PDF file through the painter the command line and the preview use,
//     each timed, and the two together against the baseline.
//
// Goal: the list to PDF <= 3x the baseline.
//
// Usage: bench_insured_list [records] (default 10,000)

#include <QGuiApplication>

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
#include "data/sort_value.h"
#include "data/tables.h"
#include "print/insured_person_list.h"
#include "setup/initialize.h"
#include "ui/page_painter.h"

using namespace mvz;

namespace {

using Clock = std::chrono::steady_clock;
using bench::seconds;

constexpr long kEmployer = 2;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

const char* kSurnames[] = {"Horvat",   "Kovačević", "Babić",    "Marić",   "Jurić",
                           "Novak",    "Kovačić",   "Knežević", "Vuković", "Marković",
                           "Petrović", "Matić",     "Tomić",    "Šarić",   "Đurić"};
const char* kNames[] = {"Ivan", "Ana", "Marko", "Petra", "Josip", "Maja", "Luka", "Iva"};

void must(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "%s failed\n", what);
    std::exit(1);
}

// Employers 1, 2 and 3; `records` rows of employer 2 (two months of each
// person) and half as many of each neighbour.
void makeData(const std::string& dir, long records, ErrorReporter& errors) {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    InitOptions none;
    must(initializeDataDirectory(dir, errors, none).ok, "init");
    Tables tables(dir, errors);
    TableAccess& pos = tables.access("POS");
    must(pos.open() == result::Ok, "open POS");
    for (long n = 1; n <= 3; ++n) {
        Record& p = pos.record();
        p.clear();
        p.setInteger(p.def().fieldIndex("REDBROJ"), n);
        p.setFromDisplay(p.def().fieldIndex("JMBG"), "  81773745505");
        p.setFromDisplay(p.def().fieldIndex("NAZIV"), "Tehnoservis Sava d.o.o.");
        p.setFromDisplay(p.def().fieldIndex("ADRESA"), "Radnička cesta 47, 10000 Zagreb");
        p.setFromDisplay(p.def().fieldIndex("KONTAKT"), "Marija Kovač");
        p.setFromDisplay(p.def().fieldIndex("TELEFON"), "014567890");
        p.setFromDisplay(p.def().fieldIndex("EMAIL"), "place@tehnoservis-sava.hr");
        must(pos.add() == result::Ok, "add employer");
    }
    pos.close();

    TableAccess& rad = tables.access("RAD");
    must(rad.open() == result::Ok, "open RAD");
    must(!tables.storage().begin({rad.file()}), "begin");
    {
        BulkInsert insert(*rad.file());
        Record& r = rad.record();
        const TableDef& d = r.def();
        auto field = [&](const char* name) { return d.fieldIndex(name); };
        char id[24];
        auto add = [&](long employer, long i) {
            const long person = i / 2;
            r.clear();
            r.setInteger(field("REDBROJ"), employer);
            std::snprintf(id, sizeof id, "  %011ld", 10000000000L + employer * 1000000 + person);
            r.setText(field("JMBG"), id);
            r.setFromDisplay(field("PREZIME"),
                             std::string(kSurnames[person % 15]) + " " + kNames[person % 8]);
            r.setText(field("OPCINA"), "1333");
            r.setText(field("VRSOBV"), "31");
            r.setText(field("VRSTAUPLA"), "01");
            r.setText(field("CLANDN"), person % 5 ? "D" : "N");
            r.setText(field("OSNOVA1"), "01");
            r.setText(field("OSNOVA3"), "0");
            r.setInteger(field("GODOBRA"), 2026);
            r.setInteger(field("MJEOBRA"), 11 + i % 2);
            r.setInteger(field("ODDANA"), 1);
            r.setInteger(field("DODANA"), 30 + i % 2);
            const Decimal gross = Decimal::fromUnits(600000 + (person % 977) * 1234, 2);
            r.setDecimal(field("IZNOS7"), gross);
            r.setDecimal(field("IZNOS8"), gross);
            r.setDecimal(field("IZNOS9"), Decimal::fromUnits(gross.units() / 5, 2));
            r.setDecimal(field("IZNOS10"), Decimal::fromUnits(gross.units() / 20, 2));
            r.setDecimal(field("IZNOS11"), Decimal::fromUnits(gross.units() * 7 / 10, 2));
            must(!insert.add(r), "add employee");
        };
        for (long i = 0; i < records / 2; ++i)
            add(1, i);
        for (long i = 0; i < records; ++i)
            add(kEmployer, i);
        for (long i = 0; i < records / 2; ++i)
            add(3, i);
    }
    must(!tables.storage().commit(), "commit");
    rad.close();
}

// Reads employer 2's rows through RAD:KEYRBRFIRME; returns how many.
long readRows(const std::string& dir, ErrorReporter& errors) {
    Tables tables(dir, errors);
    TableAccess& rad = tables.access("RAD");
    must(rad.open() == result::Ok, "open RAD");
    const TableDef& def = rad.def();
    const int key = def.keyIndex("KEYRBRFIRME");
    const int number = def.fieldIndex("REDBROJ");
    rad.setOrder(key);
    rad.record().clear();
    rad.record().setInteger(number, kEmployer);
    rad.setFromSortValue(keyPrefixSortValue(def, def.keys[key], rad.record(), 1));
    long rows = 0;
    while (rad.next() == result::Ok && rad.record().integer(number) == kEmployer)
        ++rows;
    rad.close();
    return rows;
}

struct PrintTimes {
    double model = 0, drawing = 0;
    long records = 0;
    std::size_t pages = 0;
};

PrintTimes printList(const std::string& dir, const std::string& pdf, ErrorReporter& errors,
                     Reporter& reporter) {
    PrintTimes t;
    auto start = Clock::now();
    Tables tables(dir, errors);
    const ReportResult r = printInsuredPersons(tables, kEmployer, "10.12.2026 14:05", reporter);
    must(r.status == ReportStatus::Done, "printInsuredPersons");
    t.model = seconds(start);
    t.records = r.records;
    t.pages = r.pages.pages.size();
    std::vector<int> pages(t.pages);
    for (std::size_t i = 0; i < pages.size(); ++i)
        pages[i] = static_cast<int>(i + 1);
    start = Clock::now();
    must(writePdf(r.pages, pages, QString::fromStdString(pdf)), "writePdf");
    t.drawing = seconds(start);
    return t;
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    const long records = argc > 1 ? std::atol(argv[1]) : 10000;
    const std::string dir =
        (std::filesystem::temp_directory_path() / "mvz_bench_insured_list").string();
    const std::string pdf = dir + "/osiguranici.pdf";
    bench::StderrReporter reporter;
    ErrorReporter errors(reporter);
    errors.addMessages(standardMessages());

    makeData(dir, records, errors);
    std::printf("insured-persons list: %ld records of one employer among %ld\n", records,
                2 * records);

    // Warm-up: file cache, fonts.
    must(readRows(dir, errors) == records, "reading the employer's rows");
    printList(dir, pdf, errors, reporter);

    std::vector<double> reads, models, drawings, totals;
    PrintTimes last;
    for (int run = 0; run < 5; ++run) {
        auto start = Clock::now();
        readRows(dir, errors);
        reads.push_back(seconds(start));
        last = printList(dir, pdf, errors, reporter);
        models.push_back(last.model);
        drawings.push_back(last.drawing);
        totals.push_back(last.model + last.drawing);
    }
    const double read = median(reads), total = median(totals);
    std::printf("  read through KEYRBRFIRME       %8.1f ms\n", read * 1000);
    std::printf("  page model                     %8.1f ms  ratio %.2f\n", median(models) * 1000,
                median(models) / read);
    std::printf("  drawing to PDF                 %8.1f ms  ratio %.2f\n", median(drawings) * 1000,
                median(drawings) / read);
    std::printf("  list to PDF                    %8.1f ms  ratio %.2f (goal <= 3.0)\n",
                total * 1000, total / read);
    std::printf("  (%ld records, %zu pages, %.1f MB)\n", last.records, last.pages,
                std::filesystem::file_size(pdf) / 1e6);
    std::filesystem::remove_all(dir);
    return 0;
}
