// The payment-data check of a large file against reading the same file with
// the line reader alone, in one run. The file holds lines of the demo payer
// (see `mvz init --demo`), one line in 50 of another payer and one in 50
// with an unknown municipality, so every kind of row is written.
//
// Usage: bench_payment_check [lines] (default 200,000)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/day_number.h"
#include "base/reporter.h"
#include "bench_support.h"
#include "data/error_reporter.h"
#include "data/line_file.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "import/control_lookups.h"
#include "import/payment_check.h"
#include "import/payment_line.h"
#include "import/payment_line_checks.h"
#include "payment_file.h"
#include "setup/initialize.h"

using namespace mvz;

namespace {

using bench::seconds;

// The baseline: every line of the file through the line reader, nothing else.
double timeReading(const std::string& path, long& lines, unsigned long& sum) {
    const auto start = std::chrono::steady_clock::now();
    LineFile file(kPaymentLineLength);
    if (!file.open(path, TextOpenMode::ReadOnly)) std::exit(1);
    lines = 0;
    for (std::string_view line = file.next(); !line.empty(); line = file.next()) {
        sum += static_cast<unsigned char>(line[kPaymentLineLength - 1]);
        ++lines;
    }
    file.close();
    return seconds(start);
}

// The checks without the result tables: the lookups read into memory, every
// line read and parsed, and the checks of every line of the payer.
double timeChecks(Tables& tables, const std::string& path, long& findings) {
    const auto start = std::chrono::steady_clock::now();
    TableLookups lookups;
    if (!lookups.load(tables, 2026)) std::exit(1);
    PaymentLineChecker checker(lookups, PaymentCaller::InputCheck, {"31", "01", 2026, 12, 2026});
    LineFile file(kPaymentLineLength);
    if (!file.open(path, TextOpenMode::ReadOnly)) std::exit(1);
    PaymentLine line;
    PreviousAmounts remembered;
    findings = 0;
    for (std::string_view next = file.next(); !next.empty(); next = file.next()) {
        line.assign(next);
        const auto& amounts = line.amounts();
        RowValues row;
        row.gross = amounts[0];
        remembered.takePositive(row);
        if (line.field(PaymentField::MB2) != "  81773745505") continue;
        findings += static_cast<long>(checker.check(line, remembered).findings.size());
    }
    file.close();
    return seconds(start);
}

} // namespace

int main(int argc, char** argv) {
    const long lines = argc > 1 ? std::atol(argv[1]) : 200000;
    std::string tmpl =
        (std::filesystem::temp_directory_path() / "bench_payment_check_XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) return 1;
    const std::string dir = tmpl;
    bench::StderrReporter quiet;
    ErrorReporter errors(quiet);
    errors.addMessages(standardMessages());
    InitOptions init;
    init.demo = true;
    init.today = dayNumber(2026, 12, 10);
    if (!initializeDataDirectory(dir, errors, init).ok) return 1;

    bench::PaymentFilePlan plan;
    plan.lines = lines;
    plan.otherPayerEvery = 50;
    plan.faultyEvery = 50;
    const std::string input = dir + "/ulaz/uplate.txt";
    if (!bench::writePaymentFile(input, plan)) return 1;
    std::printf("file: %ld lines of %zu characters, %.1f MiB\n", lines, kPaymentLineLength,
                static_cast<double>(std::filesystem::file_size(input)) / (1 << 20));

    unsigned long sum = 0;
    long read = 0;
    double reading = 1e30;
    for (int round = 0; round < 5; ++round)
        reading = std::min(reading, timeReading(input, read, sum));
    if (read != lines) return 1;

    Tables tables(dir, errors);
    PaymentCheckRequest rq;
    rq.payer = 1;
    rq.calculationType = "01";
    rq.year = 2026;
    rq.month = 12;
    rq.firstDay = 1;
    rq.lastDay = 31;
    rq.file = input;
    rq.currentYear = 2026;
    long checkFindings = 0;
    double checksAlone = 1e30;
    for (int round = 0; round < 3; ++round)
        checksAlone = std::min(checksAlone, timeChecks(tables, input, checkFindings));
    double checking = 1e30;
    PaymentCheckResult r;
    for (int round = 0; round < 2; ++round) {
        const auto start = std::chrono::steady_clock::now();
        r = checkPaymentData(tables, rq);
        checking = std::min(checking, seconds(start));
        if (!r.done || r.linesRead != lines) {
            std::fprintf(stderr, "the check failed (%ld lines read)\n", r.linesRead);
            return 1;
        }
    }
    std::filesystem::remove_all(dir);

    std::printf("lines read %ld, selected wrong %ld, correct %ld, findings %ld\n", r.linesRead,
                r.selectedWrong, r.selectedCorrect, r.findings);
    std::printf("line reader alone:   %8.1f ms\n", reading * 1e3);
    std::printf("checks alone:        %8.1f ms  (reading, parsing and the checks, no tables; "
                "%ld findings)\n",
                checksAlone * 1e3, checkFindings);
    std::printf("payment-data check:  %8.1f ms  (%.0f lines/s)\n", checking * 1e3,
                static_cast<double>(lines) / checking);
    std::printf("checks alone / line reader = %.1f\n", checksAlone / reading);
    std::printf("check / line reader = %.1f (goal <= 8)   [checksum %lu]\n", checking / reading,
                sum % 1000);
    return 0;
}
