// Opening a browse list and painting its first page must not cost more over
// a big table than over a small one: the list reads one page through the
// key, never the whole table. Measured in one run:
//  1. open the employee list (TBZAPOSL in surname order) over 1,000 and over
//     1,000,000 rows and paint its first page (table objects, window, first
//     refresh and paint); the ratio of the two and the time of the big one;
//  2. over the big table: a page down, and a jump of the incremental locator
//     (one more typed letter), each with its repaint;
//  3. beside them, as a baseline, a 30-row read in key order through
//     TableAccess from a key value.
//
// Goals: big/small open <= 1.5 and under 100 ms; page down and locator jump
// each under 20 ms.
//
// Usage: bench_browse_list [rows] [data folder]  (defaults 1,000,000 and a
// folder under the system's temporary directory, kept between runs).

#include <QApplication>
#include <QKeyEvent>

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
#include "ui/list_window.h"
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

const char* kSurnames[] = {"Horvat",   "Kovačević", "Babić",    "Marić",    "Jurić",
                           "Novak",    "Kovačić",   "Knežević", "Vuković",  "Marković",
                           "Petrović", "Matić",     "Tomić",    "Pavlović", "Šarić",
                           "Đurić",    "Čović",     "Ćosić",    "Žagar",    "Lovrić"};

// A folder with `rows` employees, made once and reused while it holds them.
void ensureTable(const std::string& dir, long rows, ErrorReporter& errors) {
    std::filesystem::create_directories(dir);
    Tables tables(dir, errors);
    TableAccess& rad = tables.access("RAD");
    if (rad.open() != 0) std::exit(1);
    if (rad.count() == rows) return rad.close();
    const auto start = Clock::now();
    rad.removeAll();
    if (tables.storage().begin({rad.file()})) std::exit(1);
    {
        BulkInsert insert(*rad.file());
        Record& r = rad.record();
        const int redbroj = r.def().fieldIndex("REDBROJ"), id = r.def().fieldIndex("JMBG"),
                  name = r.def().fieldIndex("PREZIME");
        char jmbg[24];
        for (long i = 0; i < rows; ++i) {
            r.clear();
            r.setInteger(redbroj, static_cast<int>(1 + i % 500));
            std::snprintf(jmbg, sizeof jmbg, "%013ld", 1000000000000L + i * 7);
            r.setText(id, jmbg);
            r.setFromDisplay(name, std::string(kSurnames[i % 20]) + " " + std::to_string(i));
            if (insert.add(r)) std::exit(1);
        }
    }
    if (tables.storage().commit()) std::exit(1);
    rad.close();
    std::printf("  (made %ld employees in %.1f s)\n", rows, ms(start) / 1000);
}

ListWindowSpec employeeList() {
    ListWindowSpec decl;
    decl.title = QStringLiteral("Zaposlenici");
    decl.table = "RAD";
    decl.format = "67L(2)|M~Identifikacijski broj~@s13@146L(2)|M~Prezime i ime~L(3)@s35@"
                  "34L(2)|M~Općina~L(4)@s4@";
    decl.fields = {"RAD:JMBG", "RAD:PREZIME", "RAD:OPCINA"};
    decl.tabs = {{"KEYPREZIME",
                  QStringLiteral("Po prezimenu"),
                  LocatorKind::Incremental,
                  QStringLiteral("Traži se prezime"),
                  {}}};
    return decl;
}

struct OpenResult {
    double ms = 0;
    long rowsRead = 0;
    int rowsShown = 0;
};

// Table objects, window, first refresh and the paint of its first page.
OpenResult openAndPaint(const std::string& dir, ErrorReporter& errors) {
    const auto start = Clock::now();
    auto* w = new ListWindow(std::make_unique<Tables>(dir, errors), employeeList());
    if (!w->start()) std::exit(1);
    w->resize(800, 500);
    w->show();
    w->repaint(); // the list's first refresh ran on show; paint it now
    QApplication::processEvents();
    OpenResult r;
    r.ms = ms(start);
    r.rowsRead = static_cast<long>(w->list()->rowsRead());
    r.rowsShown = w->list()->rowCount();
    w->endWindow();
    delete w;
    return r;
}

double openMedian(const std::string& dir, ErrorReporter& errors, int runs, OpenResult* last) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        *last = openAndPaint(dir, errors);
        times.push_back(last->ms);
    }
    return median(times);
}

void typeKey(QWidget* target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
}

} // namespace

int main(int argc, char** argv) {
    bench::prepareWindowBenchmark();
    QApplication app(argc, argv);
    const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
    const std::string base =
        argc > 2 ? argv[2]
                 : (std::filesystem::temp_directory_path() / "mvz_bench_browse_list").string();
    bench::StderrReporter silent;
    ErrorReporter errors(silent);
    errors.addMessages(standardMessages());
    const std::string small = base + "/small", big = base + "/big";
    std::printf("browse list: open and paint the first page, page down, locator jump\n");
    ensureTable(small, 1000, errors);
    ensureTable(big, rows, errors);

    OpenResult r;
    openAndPaint(small, errors); // warm-up: fonts, styles, file cache
    openAndPaint(big, errors);
    const double smallMs = openMedian(small, errors, 7, &r);
    std::printf("  open + first page, %7d rows: %7.2f ms  (%ld rows read, %d shown)\n", 1000,
                smallMs, r.rowsRead, r.rowsShown);
    const double bigMs = openMedian(big, errors, 7, &r);
    std::printf("  open + first page, %7ld rows: %7.2f ms  (%ld rows read, %d shown)\n", rows,
                bigMs, r.rowsRead, r.rowsShown);
    const double ratio = bigMs / smallMs;
    std::printf("  ratio big/small: %.2f  (goal <= 1.5; big under 100 ms: %s)\n", ratio,
                bigMs < 100 ? "yes" : "NO");

    // Page down and locator jumps over the big table.
    auto* w = new ListWindow(std::make_unique<Tables>(big, errors), employeeList());
    if (!w->start()) return 1;
    w->resize(800, 500);
    w->show();
    QApplication::processEvents();
    BrowseList* list = w->list();
    QWidget* viewport = list->control()->viewport();
    std::vector<double> pageDown;
    for (int i = 0; i < 40; ++i) {
        const auto start = Clock::now();
        list->scroll(ListControl::Scroll::PageDown);
        viewport->repaint();
        pageDown.push_back(ms(start));
    }
    std::vector<double> jump;
    QString landed;
    const char* typed[] = {"k", "o", "v", "a", "č"};
    for (int round = 0; round < 8; ++round) {
        for (const char* t : typed) {
            const auto start = Clock::now();
            typeKey(list->control(), Qt::Key_unknown, QString::fromUtf8(t));
            viewport->repaint();
            jump.push_back(ms(start));
        }
        landed = list->cell(list->currentRow(), 1);
        for (int i = 0; i < 5; ++i)
            typeKey(list->control(), Qt::Key_Backspace, {});
        list->scroll(ListControl::Scroll::First);
    }
    w->endWindow();
    delete w;

    // Baseline: 30 rows in key order through TableAccess from a key value.
    std::vector<double> seek;
    {
        Tables tables(big, errors);
        TableAccess& rad = tables.access("RAD");
        rad.open();
        const int key = rad.def().keyIndex("KEYPREZIME");
        rad.setOrder(key);
        for (int i = 0; i < 40; ++i) {
            rad.record().clear();
            rad.record().setFromDisplay(rad.def().fieldIndex("PREZIME"),
                                        std::string(kSurnames[i % 20]) + " " +
                                            std::to_string(i * 7919 % rows));
            const auto start = Clock::now();
            rad.setFromBuffer();
            for (int n = 0; n < 30 && rad.next() == 0; ++n) {
            }
            seek.push_back(ms(start));
        }
        rad.close();
    }
    const double seekMs = median(seek);
    const double pageMs = median(pageDown), jumpMs = median(jump);
    std::printf("  30-row read from a key value (baseline): %.3f ms\n", seekMs);
    std::printf("  page down + repaint: %.3f ms median, %.3f ms worst (%.1fx the baseline; "
                "goal < 20 ms)\n",
                pageMs, *std::max_element(pageDown.begin(), pageDown.end()), pageMs / seekMs);
    std::printf("  locator jump + repaint: %.3f ms median, %.3f ms worst (%.1fx the baseline; "
                "goal < 20 ms; typed \"kovač\" lands on %s)\n",
                jumpMs, *std::max_element(jump.begin(), jump.end()), jumpMs / seekMs,
                landed.toUtf8().constData());
    const bool ok = ratio <= 1.5 && bigMs < 100 && pageMs < 20 && jumpMs < 20;
    std::printf("  %s\n", ok ? "all goals met" : "A GOAL WAS MISSED");
    return 0;
}
