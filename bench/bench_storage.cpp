// The storage engine against bare SQLite on the same machine in the same run:
//  1. adding rows of a one-key work table (TBIZLAZ, one row per input line)
//     through TableAccess in one transaction, against a bare SQLite insert of
//     the same values into a plain table;
//  2. reading one 30-row page in key order from a random key of a table with
//     a text key (TBOSIGU2, ordered by surname and name), forwards and
//     backwards, against a bare SQLite index seek of the same 30 rows.
//
// Usage: bench_storage [rows] (default 1,000,000)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sqlite3.h>
#include <string>
#include <vector>

#include "base/cp1250.h"
#include "base/reporter.h"
#include "bench_support.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/sort_value.h"
#include "data/tables.h"

using namespace mvz;

namespace {

using bench::seconds;

std::string piece(long i, int part) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%08ld-%d ULAZNI SLOG ZA KONTROLU", i, part);
    return buf;
}

const char* kSurnames[] = {"Horvat",   "Kovačević", "Babić",    "Marić",    "Jurić",
                           "Novak",    "Kovačić",   "Knežević", "Vuković",  "Marković",
                           "Petrović", "Matić",     "Tomić",    "Pavlović", "Šarić",
                           "Đurić",    "Čović",     "Ćosić",    "Žagar",    "Lovrić"};
const char* kNames[] = {"Ivan", "Ana",   "Marko", "Petra", "Luka",
                        "Iva",  "Josip", "Maja",  "Đuro",  "Željka"};

std::string person(long i) {
    return std::string(kSurnames[i % 20]) + " " + kNames[(i / 20) % 10] + " " + std::to_string(i);
}

double benchBareInsert(const std::string& path, long rows) {
    sqlite3* db;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE rec(REDBROJ INTEGER, TIPSLOGA TEXT, GRESKA TEXT, REDAK1 TEXT, "
                 "REDAK2 TEXT, REDAK3 TEXT, REEDAK4 TEXT, REDAK5 TEXT)",
                 nullptr, nullptr, nullptr);
    const auto start = std::chrono::steady_clock::now();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st;
    sqlite3_prepare_v2(db, "INSERT INTO rec VALUES(?,?,?,?,?,?,?,?)", -1, &st, nullptr);
    for (long i = 1; i <= rows; ++i) {
        sqlite3_bind_int64(st, 1, i);
        sqlite3_bind_text(st, 2, "5", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 3, "", -1, SQLITE_STATIC);
        for (int p = 1; p <= 5; ++p) {
            std::string s = piece(i, p);
            sqlite3_bind_text(st, 3 + p, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        }
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    double t = seconds(start);
    sqlite3_close(db);
    return t;
}

double benchTableAccessInsert(Tables& tables, long rows) {
    TableAccess& ulz = tables.access("ULZ");
    if (ulz.open()) std::exit(1);
    const auto start = std::chrono::steady_clock::now();
    if (tables.storage().begin({ulz.file()})) std::exit(1);
    Record& r = ulz.record();
    const int type = ulz.def().fieldIndex("TIPSLOGA");
    int pieces[5];
    for (int p = 0; p < 5; ++p)
        pieces[p] = ulz.def().fieldIndex(p == 3 ? "REEDAK4" : "REDAK" + std::to_string(p + 1));
    for (long i = 1; i <= rows; ++i) {
        r.clear();
        r.setText(type, "5");
        for (int p = 0; p < 5; ++p)
            r.setText(pieces[p], piece(i, p + 1));
        if (ulz.add()) std::exit(1);
    }
    if (tables.storage().commit()) std::exit(1);
    double t = seconds(start);
    ulz.close();
    return t;
}

void fillPeople(Tables& tables, long rows) {
    TableAccess& osi = tables.access("OSI3");
    if (osi.open()) std::exit(1);
    if (tables.storage().begin({osi.file()})) std::exit(1);
    Record& r = osi.record();
    const int name = osi.def().fieldIndex("PREZIME"), year = osi.def().fieldIndex("GODOBRA"),
              day = osi.def().fieldIndex("OBRRAZD1");
    for (long i = 0; i < rows; ++i) {
        r.clear();
        r.setText(name, utf8ToCp1250Lossy(person(i)));
        r.setInteger(year, 2010);
        r.setInteger(day, 1);
        if (osi.add()) std::exit(1);
    }
    if (tables.storage().commit()) std::exit(1);
}

} // namespace

int main(int argc, char** argv) {
    const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
    std::string tmpl = (std::filesystem::temp_directory_path() / "bench_storage_XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) return 1;
    const std::string dir = tmpl;
    bench::StderrReporter silent;
    ErrorReporter errors(silent);
    errors.addMessages(standardMessages());

    // 1. Adding rows.
    double bare = benchBareInsert(dir + "/bare.db", rows);
    double mine;
    {
        Tables tables(dir, errors);
        mine = benchTableAccessInsert(tables, rows);
    }
    std::printf(
        "add %ld rows: bare SQLite %.2f s (%.0f rows/s), TableAccess %.2f s (%.0f rows/s)\n", rows,
        bare, rows / bare, mine, rows / mine);
    std::printf("add: TableAccess rate / bare SQLite rate = %.2f (goal >= 0.40)\n", bare / mine);

    // 2. Reading one page from a random key.
    Tables tables(dir, errors);
    fillPeople(tables, rows);
    TableAccess& osi = tables.access("OSI3");
    const int name = osi.def().fieldIndex("PREZIME");
    sqlite3* db;
    sqlite3_open((dir + "/TBOSIGU2.DAT").c_str(), &db);
    sqlite3_stmt* fwd;
    sqlite3_stmt* bwd;
    sqlite3_prepare_v2(db, "SELECT * FROM rec WHERE _k0 >= ?1 ORDER BY _k0 LIMIT 30", -1, &fwd,
                       nullptr);
    sqlite3_prepare_v2(db, "SELECT * FROM rec WHERE _k0 <= ?1 ORDER BY _k0 DESC LIMIT 30", -1, &bwd,
                       nullptr);
    std::mt19937 rng(42);
    const int samples = 2000;
    std::vector<long> picks(samples);
    for (auto& p : picks)
        p = std::uniform_int_distribution<long>(0, rows - 1)(rng);
    // Sort values of the picked keys, for the bare seek (the bare side gets
    // them for free: it measures only the seek and the 30 rows).
    std::vector<std::string> keys;
    for (long p : picks) {
        osi.record().clear();
        osi.record().setText(name, utf8ToCp1250Lossy(person(p)));
        keys.push_back(keyPrefixSortValue(osi.def(), osi.def().keys[0], osi.record(), 1));
    }
    auto bareRun = [&](sqlite3_stmt* st) {
        const auto start = std::chrono::steady_clock::now();
        long n = 0;
        for (auto& k : keys) {
            sqlite3_bind_blob(st, 1, k.data(), static_cast<int>(k.size()), SQLITE_STATIC);
            while (sqlite3_step(st) == SQLITE_ROW) {
                for (int c = 0; c < sqlite3_column_count(st); ++c)
                    sqlite3_column_text(st, c);
                ++n;
            }
            sqlite3_reset(st);
        }
        return seconds(start) / samples;
    };
    auto mineRun = [&](bool forward) {
        const auto start = std::chrono::steady_clock::now();
        long n = 0;
        osi.setOrder(0);
        for (long p : picks) {
            osi.record().clear();
            osi.record().setText(name, utf8ToCp1250Lossy(person(p)));
            osi.setFromBuffer();
            for (int i = 0; i < 30; ++i)
                if ((forward ? osi.next() : osi.previous()) == 0) ++n;
        }
        return seconds(start) / samples;
    };
    double bareF = bareRun(fwd), bareB = bareRun(bwd);
    double mineF = mineRun(true), mineB = mineRun(false);
    std::printf("page of 30 from a random key: bare seek %.3f ms / %.3f ms, TableAccess %.3f ms / "
                "%.3f ms (forwards / backwards)\n",
                bareF * 1e3, bareB * 1e3, mineF * 1e3, mineB * 1e3);
    std::printf("page: TableAccess / bare seek = %.2f forwards, %.2f backwards (goal <= 3.0)\n",
                mineF / bareF, mineB / bareB);
    sqlite3_finalize(fwd);
    sqlite3_finalize(bwd);
    sqlite3_close(db);
    std::filesystem::remove_all(dir);
    return 0;
}
