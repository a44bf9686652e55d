// Forming one form of many employee rows (one payer) against adding the same
// number of page-B rows to TBOSIGUR through TableAccess alone, in one run.
//
// Usage: bench_forming [rows] (default 99,999: the most type-5 records one
// form can hold, as its count has five digits)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/day_number.h"
#include "base/reporter.h"
#include "bench_support.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "setup/initialize.h"
#include "submission/forming.h"

using namespace mvz;

namespace {

using bench::seconds;

std::string identifier(long i) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "  %011ld", 10000000000L + i);
    return buf;
}

void fill(Record& r, const char* field, const std::string& value) {
    r.setText(r.def().fieldIndex(field), value);
}

void amounts(Record& r) {
    const char* names[] = {"IZNOS7", "IZNOS8", "IZNOS9", "IZNOS10", "IZNOS11"};
    const long units[] = {600000, 600000, 90000, 30000, 430000};
    for (int i = 0; i < 5; ++i)
        r.setDecimal(r.def().fieldIndex(names[i]), Decimal::fromUnits(units[i], 2));
}

} // namespace

int main(int argc, char** argv) {
    const long rows = argc > 1 ? std::atol(argv[1]) : 99999;
    std::string tmpl = (std::filesystem::temp_directory_path() / "bench_forming_XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) return 1;
    const std::string dir = tmpl;
    bench::StderrReporter quiet;
    ErrorReporter errors(quiet);
    errors.addMessages(standardMessages());

    // Baseline: the page-B rows alone, through TableAccess, in one transaction.
    double baseline;
    {
        std::filesystem::create_directory(dir + "/plain");
        Tables tables(dir + "/plain", errors);
        TableAccess& osi = tables.access("OSI");
        if (osi.open()) return 1;
        const auto start = std::chrono::steady_clock::now();
        if (tables.storage().begin({osi.file()})) return 1;
        Record& r = osi.record();
        for (long i = 0; i < rows; ++i) {
            r.clear();
            fill(r, "JMBG", identifier(i / 2));
            fill(r, "PREZIME", "Zaposlenik " + std::to_string(i / 2));
            r.setInteger(r.def().fieldIndex("OBRRAZD1"), i % 2 ? 16 : 1);
            fill(r, "KONVEZA", "001005001");
            fill(r, "IDENTIFIKATOR", "0010050");
            r.setInteger(r.def().fieldIndex("GODOBRA"), 2026);
            r.setInteger(r.def().fieldIndex("OBRMJE"), 10);
            amounts(r);
            if (osi.add()) return 1;
        }
        if (tables.storage().commit()) return 1;
        baseline = seconds(start);
    }

    // Forming: a demo installation whose payer gets `rows` pay rows for October.
    InitOptions init;
    init.demo = true;
    init.today = dayNumber(2026, 12, 10);
    if (!initializeDataDirectory(dir + "/demo", errors, init).ok) return 1;
    Tables tables(dir + "/demo", errors);
    {
        TableAccess& rad = tables.access("RAD");
        if (rad.open()) return 1;
        if (tables.storage().begin({rad.file()})) return 1;
        Record& r = rad.record();
        for (long i = 0; i < rows; ++i) {
            r.clear();
            r.setInteger(r.def().fieldIndex("REDBROJ"), 1);
            // Two rows per person (first and second half of the month): a
            // form holds at most 99999 persons.
            fill(r, "JMBG", identifier(i / 2));
            fill(r, "PREZIME", "Zaposlenik " + std::to_string(i / 2));
            fill(r, "VRSTAUPLA", "01");
            fill(r, "CLANDN", "D");
            fill(r, "OSNOVA1", "01");
            fill(r, "OSNOVA3", "0");
            r.setInteger(r.def().fieldIndex("GODOBRA"), 2026);
            r.setInteger(r.def().fieldIndex("MJEOBRA"), 10);
            r.setInteger(r.def().fieldIndex("ODDANA"), i % 2 ? 16 : 1);
            r.setInteger(r.def().fieldIndex("DODANA"), i % 2 ? 31 : 15);
            amounts(r);
            if (rad.add()) return 1;
        }
        if (tables.storage().commit()) return 1;
        rad.close();
    }
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
    const auto start = std::chrono::steady_clock::now();
    const FormingResult r = formPayer(tables, rq);
    const double forming = seconds(start);
    if (!r.done || r.rows != rows) {
        std::fprintf(stderr, "forming failed (%lld rows)\n", r.rows);
        return 1;
    }
    std::printf("form of %ld rows: adding the page-B rows alone %.2f s, whole forming %.2f s\n",
                rows, baseline, forming);
    std::printf("forming / adding the rows alone = %.2f (goal <= 3.0)\n", forming / baseline);
    std::filesystem::remove_all(dir);
    return 0;
}
