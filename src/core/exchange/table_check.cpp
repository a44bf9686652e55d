#include "exchange/table_check.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "data/dictionary.h"
#include "data/table_file.h"

namespace mvz {

namespace {

constexpr int kBusyMillis = 10000;

std::string sqliteProblem(int rc) {
    switch (rc & 0xff) {
    case SQLITE_NOTADB:
        return "nije datoteka ovog programa (nije baza podataka)";
    case SQLITE_CORRUPT:
        return "datoteka je oštećena";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "datoteku drži zaključanu drugi program";
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return "datoteka se ne može otvoriti";
    case SQLITE_IOERR:
        return "greška kod čitanja datoteke";
    default:
        return std::string("datoteka se ne može pročitati (") + sqlite3_errstr(rc) + ")";
    }
}

// One text value of a query, or the SQLite result code that stopped it.
int queryText(sqlite3* db, const std::string& sql, std::string& value) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) {
            const unsigned char* t = sqlite3_column_text(st, 0);
            value = t ? reinterpret_cast<const char*>(t) : "";
            rc = SQLITE_OK;
        } else if (rc == SQLITE_DONE) {
            value.clear();
            rc = SQLITE_OK;
        }
    }
    sqlite3_finalize(st);
    return rc;
}

std::vector<std::string> expectedColumns(const TableDef& def) {
    std::vector<std::string> columns;
    for (const FieldDef& f : def.fields)
        columns.push_back(f.name);
    if (def.memo.size) columns.push_back(def.memo.name);
    for (std::size_t k = 0; k < def.keys.size(); ++k)
        columns.push_back("_k" + std::to_string(k));
    columns.push_back("_ver");
    return columns;
}

int readColumns(sqlite3* db, std::vector<std::string>& out) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, "SELECT name FROM pragma_table_info('rec') ORDER BY cid", -1,
                                &st, nullptr);
    if (rc == SQLITE_OK)
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

std::string examine(sqlite3* db, const TableDef& def, bool integrity, std::int64_t& records) {
    std::string value;
    int rc = queryText(db, "SELECT count(*) FROM sqlite_schema", value);
    if (rc != SQLITE_OK) return sqliteProblem(rc);
    rc = queryText(db, "SELECT value FROM _mvz WHERE name='file'", value);
    if ((rc & 0xff) == SQLITE_ERROR) return "nije datoteka ovog programa";
    if (rc != SQLITE_OK) return sqliteProblem(rc);
    if (value != def.baseName())
        return "nije datoteka tablice " + def.baseName() +
               (value.empty() ? std::string() : " nego tablice " + value);
    if ((rc = queryText(db, "SELECT value FROM _mvz WHERE name='layout'", value)) != SQLITE_OK)
        return sqliteProblem(rc);
    std::vector<std::string> columns;
    if ((rc = readColumns(db, columns)) != SQLITE_OK) return sqliteProblem(rc);
    if (value != layoutSignature(def) || columns != expectedColumns(def))
        return "raspored zapisa razlikuje se od tablice ovog programa";
    if (integrity) {
        if ((rc = queryText(db, "PRAGMA integrity_check(1)", value)) != SQLITE_OK)
            return sqliteProblem(rc);
        if (value != "ok") return "datoteka je oštećena (provjera ispravnosti: " + value + ")";
    }
    if ((rc = queryText(db, "SELECT count(*) FROM rec", value)) != SQLITE_OK)
        return sqliteProblem(rc);
    records = std::stoll(value);
    return {};
}

} // namespace

std::string unreadableFileProblem(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT
                   ? "datoteka ne postoji"
                   : std::string("datoteka se ne može čitati (") + std::strerror(errno) + ")";
    if (!S_ISREG(st.st_mode)) return "nije datoteka nego pretinac ili uređaj";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::string("datoteka se ne može čitati (") + std::strerror(errno) + ")";
    char byte;
    const ssize_t n = ::read(fd, &byte, 1);
    const int e = errno;
    ::close(fd);
    if (n < 0) return std::string("datoteka se ne može čitati (") + std::strerror(e) + ")";
    return {};
}

TableCheck checkTableFile(const std::string& path, const TableDef& def, bool integrity) {
    TableCheck check;
    check.problem = unreadableFileProblem(path);
    if (!check.problem.empty()) return check;
    sqlite3* db = nullptr;
    int rc =
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, kBusyMillis);
        check.problem = examine(db, def, integrity, check.records);
    } else {
        check.problem = sqliteProblem(rc);
    }
    sqlite3_close_v2(db);
    return check;
}

} // namespace mvz
