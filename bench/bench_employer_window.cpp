// The employer window opens over one employer's page of employees, whatever
// the number of its people, and saving a person's pay row with every check
// stays quick. Measured in one run:
//  1. the employer window (employer 1 opened for change) over 100 and over
//     100,000 employees of that employer (and as many of other employers
//     around them): table objects, window, the first page of the employee
//     list and its paint; the ratio of the two;
//  2. saving an employee row: the checks before saving (control table, rates
//     and the person's other rows of the month included) and the write,
//     against the write alone as the baseline.
//
// Goals: big/small open <= 1.5; a save with every check under 20 ms.
//
// Usage: bench_employer_window [employees] [data folder]  (defaults 100,000
// and a folder under the system's temporary directory, kept between runs).

#include <QApplication>

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
#include "registers/employer_window.h"
#include "rules/insured_person_checks.h"
#include "setup/initialize.h"
#include "ui/browse_list.h"
#include "window_bench_support.h"

using namespace mvz;

namespace {

using Clock = std::chrono::steady_clock;
double ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}
double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A demo installation whose employer 1 has `rows` pay rows, with as many of
// employers 2-9 around them; made once and reused while it holds them.
void ensureFolder(const std::string& dir, long rows, ErrorReporter& errors) {
    if (!std::filesystem::exists(dir + "/TBPOSLOD.DAT")) {
        std::filesystem::create_directories(dir);
        InitOptions options;
        options.demo = true;
        if (!initializeDataDirectory(dir, errors, options).ok) std::exit(1);
    }
    Tables tables(dir, errors);
    TableAccess& rad = tables.access("RAD");
    if (rad.open() != 0) std::exit(1);
    if (rad.count() == 2 * rows) return rad.close();
    const auto start = Clock::now();
    // A demo person's row as the pattern, so every code is known.
    rad.setOrder(rad.def().primaryKey());
    rad.setStart();
    if (rad.next() != 0) std::exit(1);
    const Record pattern = rad.record();
    rad.removeAll();
    if (tables.storage().begin({rad.file()})) std::exit(1);
    {
        BulkInsert insert(*rad.file());
        Record& r = rad.record();
        const int redbroj = r.def().fieldIndex("REDBROJ"), id = r.def().fieldIndex("JMBG"),
                  name = r.def().fieldIndex("PREZIME");
        char jmbg[24];
        for (long i = 0; i < 2 * rows; ++i) {
            r = pattern;
            r.setInteger(redbroj, i < rows ? 1 : static_cast<int>(2 + i % 8));
            std::snprintf(jmbg, sizeof jmbg, "%013ld", 1000000000000L + i * 7);
            r.setText(id, jmbg);
            r.setFromDisplay(name, "Osoba " + std::to_string(i));
            if (insert.add(r)) std::exit(1);
        }
    }
    if (tables.storage().commit()) std::exit(1);
    rad.close();
    std::printf("  (made %ld pay rows in %.1f s)\n", 2 * rows, ms(start) / 1000);
}

double openAndPaint(const std::string& dir, ErrorReporter& errors, int* shown) {
    const auto start = Clock::now();
    Tables tables(dir, errors);
    TableAccess& pos = tables.access("POS");
    if (pos.open() != 0) std::exit(1);
    pos.record().clear();
    pos.record().setInteger(pos.def().fieldIndex("REDBROJ"), 1);
    if (pos.fetch(pos.def().keyIndex("KEYREDBROJ")) != 0) std::exit(1);
    PendingRequest = request::Change;
    auto* w = new EmployerWindow(tables);
    if (!w->start()) std::exit(1);
    w->resize(1000, 700);
    w->show();
    w->repaint();
    QApplication::processEvents();
    const double took = ms(start);
    *shown = w->employees()->rowCount();
    w->endWindow();
    delete w;
    pos.close();
    return took;
}

double openMedian(const std::string& dir, ErrorReporter& errors, int* shown) {
    std::vector<double> times;
    for (int i = 0; i < 7; ++i)
        times.push_back(openAndPaint(dir, errors, shown));
    return median(times);
}

// Saves a copy of the first pay row `runs` times, with the checks or without.
double saveMedian(const std::string& dir, ErrorReporter& errors, bool checked, int runs) {
    Tables tables(dir, errors);
    TableAccess& rad = tables.access("RAD");
    if (rad.open() != 0) std::exit(1);
    rad.setOrder(rad.def().primaryKey());
    rad.setStart();
    if (rad.next() != 0) std::exit(1);
    Record pattern = rad.record();
    pattern.setText(pattern.def().fieldIndex("JMBG"), "  12345678903"); // a valid OIB
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        rad.record() = pattern;
        const auto start = Clock::now();
        if (checked) {
            const EntryOutcome outcome = checkBeforeSave(tables, rad.record(), SaveRequest{});
            if (!outcome.proceed) {
                for (const std::string& m : outcome.messages)
                    std::fprintf(stderr, "refused: %s\n", m.c_str());
                std::exit(1);
            }
        }
        if (rad.add() != 0) {
            std::fprintf(stderr, "the row could not be added\n");
            std::exit(1);
        }
        times.push_back(ms(start));
        rad.remove();
    }
    rad.close();
    return median(times);
}

} // namespace

int main(int argc, char** argv) {
    bench::prepareWindowBenchmark();
    QApplication app(argc, argv);
    const long rows = argc > 1 ? std::atol(argv[1]) : 100000;
    const std::string base =
        argc > 2 ? argv[2]
                 : (std::filesystem::temp_directory_path() / "mvz_bench_employer_window").string();
    bench::StderrReporter silent;
    ErrorReporter errors(silent);
    errors.addMessages(standardMessages());
    const std::string small = base + "/small", big = base + "/big";
    std::printf("employer window: open over the employees, save a pay row\n");
    ensureFolder(small, 100, errors);
    ensureFolder(big, rows, errors);

    int shown = 0;
    openAndPaint(small, errors, &shown); // warm-up: fonts, styles, file cache
    openAndPaint(big, errors, &shown);
    const double smallMs = openMedian(small, errors, &shown);
    std::printf("  open + first page, %7d employees: %7.2f ms  (%d shown)\n", 100, smallMs, shown);
    const double bigMs = openMedian(big, errors, &shown);
    std::printf("  open + first page, %7ld employees: %7.2f ms  (%d shown)\n", rows, bigMs, shown);
    std::printf("  ratio big/small: %.2f  (goal <= 1.5)\n", bigMs / smallMs);

    const double plain = saveMedian(big, errors, false, 30);
    const double checked = saveMedian(big, errors, true, 30);
    std::printf("  save a pay row: write alone %.2f ms, with every check %.2f ms  (ratio %.2f; "
                "goal under 20 ms: %s)\n",
                plain, checked, checked / plain, checked < 20 ? "yes" : "NO");
    return 0;
}
