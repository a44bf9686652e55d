#include "support/data_state.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include "exchange/data_files.h"
#include "support/temp_dir.h"

namespace mvz::test {

namespace {

std::string query(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    std::string out;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        out = std::string("(unreadable: ") + sqlite3_errmsg(db) + ")";
        sqlite3_close(db);
        return out;
    }
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    if (rc == SQLITE_OK)
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                const unsigned char* v = sqlite3_column_text(st, c);
                out += v ? reinterpret_cast<const char*>(v) : "NULL";
                out += '|';
            }
            out += '\n';
        }
    if (rc != SQLITE_DONE) out = std::string("(unreadable: ") + sqlite3_errstr(rc) + ")";
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

} // namespace

std::string tableRows(const std::string& path) {
    return query(path, "SELECT * FROM rec ORDER BY rowid");
}

std::string integrity(const std::string& path) {
    std::string out = query(path, "PRAGMA integrity_check");
    if (out == "ok|\n") return "ok";
    return out;
}

DataState dataState(const std::string& dir) {
    DataState state;
    for (const DataFile& f : installationDataFiles()) {
        const std::string path = dir + "/" + f.name;
        struct stat st;
        if (::stat(path.c_str(), &st) != 0) continue;
        state[f.name] = f.keyed ? tableRows(path) : slurp(path);
    }
    return state;
}

} // namespace mvz::test
