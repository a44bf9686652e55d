// The formal control of a 1,000,000-line submission file with its result
// tables filled (TBIZLAZ one row per line, TBIZLAZ1 one per finding, in one
// transaction), against `openssl dgst -sha1` on the same file in the same
// run, and the peak memory of the process. The control runs twice: into
// empty tables, and again replacing the million rows of the first run (as a
// bureau checks one file after another). For comparison it also times
// storing the same TBIZLAZ rows alone (emptying the table and adding the rows
// through BulkInsert in one transaction, no checks), the part of the control
// that SQLite sets the pace of. Goals: at most 8x the time of openssl; peak
// memory under 150 MB.
//
// Usage: bench_formal_control [lines] (default 1,000,000)

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/day_number.h"
#include "base/reporter.h"
#include "bench_support.h"
#include "data/bulk_insert.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "import/copying_record_reader.h"
#include "import/formal_control.h"
#include "setup/initialize.h"
#include "submission_file.h"

using namespace mvz;

namespace {

using bench::seconds;

double timeOpenssl(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "`%s` failed\n", command.c_str());
        std::exit(1);
    }
    return seconds(start);
}

// Empties TBIZLAZ and stores one row per line of the file, nothing else.
double timeRowsAlone(const std::string& dir, const std::string& path, ErrorReporter& errors) {
    Tables tables(dir, errors);
    TableAccess& lines = tables.access("ULZ");
    if (lines.open() != result::Ok) std::exit(1);
    const auto start = std::chrono::steady_clock::now();
    if (tables.storage().begin({lines.file()}) || lines.file()->removeAll()) std::exit(1);
    {
        BulkInsert insert(*lines.file());
        CopyingRecordReader reader(250);
        if (!reader.open(path, dir + "/copy.txt", tables.storage().fileMode())) std::exit(1);
        Record& r = lines.record();
        const TableDef& def = lines.def();
        const int pieces[5] = {def.fieldIndex("REDAK1"), def.fieldIndex("REDAK2"),
                               def.fieldIndex("REDAK3"), def.fieldIndex("REEDAK4"),
                               def.fieldIndex("REDAK5")};
        std::string_view record;
        long line = 0;
        while (reader.next(record)) {
            r.clear();
            r.setInteger(def.fieldIndex("REDBROJ"), ++line);
            r.setText(def.fieldIndex("TIPSLOGA"), record.substr(249, 1));
            for (int i = 0; i < 5; ++i)
                r.setText(pieces[i], record.substr(i * 50, 50));
            if (insert.add(r)) std::exit(1);
        }
        reader.abandon();
    }
    if (tables.storage().commit()) std::exit(1);
    const double t = seconds(start);
    lines.close();
    return t;
}

long peakMegabytes() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024; // kilobytes on Linux
}

} // namespace

int main(int argc, char** argv) {
    const long lines = argc > 1 ? std::atol(argv[1]) : 1000000;
    std::string dir = (std::filesystem::temp_directory_path() / "bench_control_XXXXXX").string();
    if (::mkdtemp(dir.data()) == nullptr) return 1;
    bench::StderrReporter quiet;
    ErrorReporter errors(quiet);
    errors.addMessages(standardMessages());
    InitOptions init;
    init.demo = true;
    if (!initializeDataDirectory(dir, errors, init).ok) return 1;

    bench::SubmissionFilePlan plan;
    plan.forms = std::max(1L, (lines + 99999) / 100000) * 2;
    plan.insured = std::max(0L, lines - 2 - 2 * plan.forms);
    const CivilDate today = civilDate(todayDayNumber());
    plan.sendingDate = today;
    plan.year = today.year;
    plan.month = today.month;
    const std::string path = dir + "/ZOVAK.MZ0";
    if (!bench::writeSubmissionFile(path, plan)) return 1;
    const double megabytes = std::filesystem::file_size(path) / 1048576.0;
    const long memoryBefore = peakMegabytes();

    const std::string command = "openssl dgst -sha1 '" + path + "' > /dev/null";
    timeOpenssl(command); // into the page cache
    double openssl = 1e300;
    for (int i = 0; i < 3; ++i)
        openssl = std::min(openssl, timeOpenssl(command));

    double runs[2];
    FormalControlResult r;
    for (double& t : runs) {
        Tables tables(dir, errors);
        const auto start = std::chrono::steady_clock::now();
        r = runFormalControl(tables, path);
        t = seconds(start);
        if (!r.done()) return 1;
    }
    const long memoryControl = peakMegabytes();
    const double rowsAlone = timeRowsAlone(dir, path, errors);
    std::filesystem::remove_all(dir);

    std::printf("file %lld lines (%.0f MB), %ld forms; findings F %lld, U %lld\n", r.lines,
                megabytes, plan.forms, r.errors, r.warnings);
    std::printf("openssl dgst -sha1                 %8.3f s\n", openssl);
    std::printf("formal control into empty tables   %8.3f s  ratio %.2f\n", runs[0],
                runs[0] / openssl);
    std::printf("formal control replacing a result  %8.3f s  ratio %.2f (goal <= 8.0)\n", runs[1],
                runs[1] / openssl);
    std::printf("storing the rows alone             %8.3f s  ratio %.2f\n", rowsAlone,
                rowsAlone / openssl);
    std::printf("peak memory %ld MB (goal < 150; %ld MB before the control)\n", memoryControl,
                memoryBefore);
    return 0;
}
