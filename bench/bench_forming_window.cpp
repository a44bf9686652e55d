// Forming from the forming window costs what forming costs: the window adds
// no work per row. Measured in one run on one installation whose payer has
// `rows` pay rows for October: forming the form through the core service (as
// `mvz form` does), against pressing "&Obrada obveznika" in the window (its
// checks, the run on a worker thread under the progress window, until the
// copy window is offered). Each three times, alternating; the medians.
//
// Goal: window / service <= 1.2.
//
// Usage: bench_forming_window [rows]  (default 20,000)

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/day_number.h"
#include "bench_support.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "setup/initialize.h"
#include "submission/copy_file_window.h"
#include "submission/forming.h"
#include "submission/forming_window.h"
#include "ui/lookup_drop_list.h"
#include "window_bench_support.h"

using namespace mvz;

namespace {

using Clock = std::chrono::steady_clock;
double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}
double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void addPayRows(Tables& tables, long rows) {
    TableAccess& rad = tables.access("RAD");
    if (rad.open() || tables.storage().begin({rad.file()})) std::exit(1);
    Record& r = rad.record();
    char id[24];
    for (long i = 0; i < rows; ++i) {
        r.clear();
        r.setInteger(r.def().fieldIndex("REDBROJ"), 1);
        std::snprintf(id, sizeof id, "  %011ld", 10000000000L + i);
        r.setText(r.def().fieldIndex("JMBG"), id);
        r.setFromDisplay(r.def().fieldIndex("PREZIME"), "Zaposlenik " + std::to_string(i));
        for (auto [field, value] :
             {std::pair{"VRSTAUPLA", "01"}, {"CLANDN", "D"}, {"OSNOVA1", "01"}, {"OSNOVA3", "0"}})
            r.setText(r.def().fieldIndex(field), value);
        r.setInteger(r.def().fieldIndex("GODOBRA"), 2026);
        r.setInteger(r.def().fieldIndex("MJEOBRA"), 10);
        r.setInteger(r.def().fieldIndex("ODDANA"), 1);
        r.setInteger(r.def().fieldIndex("DODANA"), 31);
        r.setDecimal(r.def().fieldIndex("IZNOS7"), Decimal::fromUnits(600000, 2));
        r.setDecimal(r.def().fieldIndex("IZNOS8"), Decimal::fromUnits(600000, 2));
        if (rad.add()) std::exit(1);
    }
    if (tables.storage().commit()) std::exit(1);
    rad.close();
}

FormingRequest request() {
    FormingRequest rq;
    rq.payer = 1;
    rq.calculationType = "01";
    rq.year = 2026;
    rq.month = 10;
    rq.firstDay = 1;
    rq.lastDay = 31;
    rq.payYear = 2026;
    rq.payMonth = 11;
    rq.sequence = 50;
    rq.sendingDate = dayNumber(2026, 12, 10);
    rq.mode = SendingMode::Single;
    return rq;
}

double formByService(const std::string& dir, ErrorReporter& errors) {
    Tables tables(dir, errors);
    const auto start = Clock::now();
    const FormingResult r = formPayer(tables, request());
    const double took = seconds(start);
    if (!r.done) std::exit(1);
    return took;
}

double formByWindow(const std::string& dir, ErrorReporter& errors) {
    auto* window = new FormingWindow(std::make_unique<Tables>(dir, errors));
    if (!window->start()) std::exit(1);
    window->show();
    window->payers()->setCurrentIndex(0);
    emit window->payers()->activated(0);
    const std::pair<FormingField, const char*> values[] = {
        {FormingField::Sequence, "0050"}, {FormingField::Type, "01"},
        {FormingField::Year, "2026"},     {FormingField::Month, "10"},
        {FormingField::FirstDay, "01"},   {FormingField::LastDay, "31"},
        {FormingField::PayYear, "2026"},  {FormingField::PayMonth, "11"}};
    for (const auto& [field, text] : values)
        window->entry(field)->setText(QString::fromUtf8(text));
    window->sendingDate()->setText(QStringLiteral("10.12.2026"));
    window->singleButton()->setChecked(true);
    // The run ends where the copy window is offered; it is then closed.
    Clock::time_point offered{};
    std::function<void()> poll = [&] {
        if (auto* copy = qobject_cast<CopyFileWindow*>(QApplication::activeModalWidget())) {
            offered = Clock::now();
            copy->endWindow();
        } else {
            QTimer::singleShot(1, poll);
        }
    };
    QTimer::singleShot(0, poll);
    const auto start = Clock::now();
    window->processButton()->click();
    if (!window->lastResult().done || offered == Clock::time_point{}) std::exit(1);
    window->endWindow();
    delete window;
    return std::chrono::duration<double>(offered - start).count();
}

} // namespace

int main(int argc, char** argv) {
    bench::prepareWindowBenchmark();
    QApplication app(argc, argv);
    const long rows = argc > 1 ? std::atol(argv[1]) : 20000;
    std::string dir =
        (std::filesystem::temp_directory_path() / "bench_forming_window_XXXXXX").string();
    if (!::mkdtemp(dir.data())) return 1;
    bench::StderrReporter quiet;
    ErrorReporter errors(quiet);
    errors.addMessages(standardMessages());
    InitOptions init;
    init.demo = true;
    init.today = dayNumber(2026, 12, 10);
    if (!initializeDataDirectory(dir, errors, init).ok) return 1;
    {
        Tables tables(dir, errors);
        addPayRows(tables, rows);
    }
    std::vector<double> service, window;
    // The first forming adds the form; every later one replaces its rows.
    const double first = formByService(dir, errors);
    for (int i = 0; i < 3; ++i) {
        service.push_back(formByService(dir, errors));
        window.push_back(formByWindow(dir, errors));
    }
    const double s = median(service), w = median(window);
    std::printf("forming window: one form of %ld rows\n", rows);
    std::printf("  first forming (a new form) %.3f s; forming it again replaces its rows\n", first);
    std::printf("  service (as mvz form) %.3f s, window %.3f s, ratio %.2f (goal <= 1.2)\n", s, w,
                w / s);
    std::filesystem::remove_all(dir);
    return 0;
}
