#include "data/table_file.h"

#include <cerrno>
#include <cstring>
#include <sqlite3.h>
#include <unicode/ucol.h>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "data/record.h"
#include "data/sort_value.h"
#include "data/sqlite_error.h"
#include "data/storage_session.h"

namespace mvz {

namespace {

enum Slot {
    Insert,
    Update,
    Remove,
    ReadRow,
    ExistsRow,
    RemoveAll,
    Count,
    DataVersion,
    FirstPageSlot
};
// Statements per key beyond the page statements.
constexpr int kLastValueSlot = 1000;
// Page statements: per key (and physical order) and per shape.
enum PageShape { FromStart, AfterPosition, FromValue, Shapes };

std::string quoteIdent(const std::string& s) {
    return "\"" + s + "\"";
}

std::string sqlType(const FieldDef& f) {
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Packed:
        return "TEXT";
    case FieldType::Real:
        return "REAL";
    default:
        return "INTEGER";
    }
}

} // namespace

std::string layoutSignature(const TableDef& t) {
    std::string s = std::to_string(t.recordLength);
    for (const auto& f : t.fields)
        s += ";" + f.name + ":" + std::to_string(static_cast<int>(f.type)) + ":" +
             std::to_string(f.size) + ":" + std::to_string(f.decimals);
    for (const auto& k : t.keys) {
        s += "|" + k.name + ":" + std::to_string(k.flags);
        for (int c : k.fields)
            s += "," + std::to_string(c);
    }
    if (t.memo.size) s += "|memo";
    return s;
}

std::string collationVersion() {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* c = ucol_open("hr", &status);
    UVersionInfo v;
    ucol_getVersion(c, v);
    ucol_close(c);
    char buf[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(v, buf);
    return buf;
}

TableFile::TableFile(const TableDef& layout, std::string path, std::string schema)
    : layout_(layout), path_(std::move(path)), schema_(std::move(schema)) {
    for (size_t i = 0; i < layout_.fields.size(); ++i) {
        if (i) columns_ += ",";
        columns_ += quoteIdent(layout_.fields[i].name);
    }
    if (layout_.memo.size) columns_ += "," + quoteIdent(layout_.memo.name);
}

TableFile::~TableFile() {
    finalizeStatements();
}

void TableFile::finalizeStatements() {
    for (auto* st : statements_)
        if (st) sqlite3_finalize(st);
    statements_.clear();
}

StorageError TableFile::sqliteError(int rc, const std::string& what) const {
    return storageErrorOfSqlite(hub_ ? hub_->db : nullptr, rc, path_ + ": " + what,
                                err::UnknownError);
}

sqlite3_stmt* TableFile::statement(int slot, const std::string& sql, StorageError& error) {
    if (static_cast<int>(statements_.size()) <= slot) statements_.resize(slot + 1, nullptr);
    if (!statements_[slot]) {
        int rc = sqlite3_prepare_v3(hub_->db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT,
                                    &statements_[slot], nullptr);
        if (rc != SQLITE_OK) {
            error = sqliteError(rc, "prepare");
            statements_[slot] = nullptr;
            return nullptr;
        }
    }
    return statements_[slot];
}

StorageError TableFile::attachTo(Hub* hub, bool readOnly) {
    hub_ = hub;
    readOnly_ = readOnly;
    std::string uri = "file:";
    for (unsigned char c : path_) {
        if (std::isalnum(c) || std::strchr("/._-~", c))
            uri += static_cast<char>(c);
        else {
            char b[4];
            std::snprintf(b, sizeof b, "%%%02X", c);
            uri += b;
        }
    }
    uri += readOnly ? "?mode=ro" : "?mode=rw";
    sqlite3_stmt* st = nullptr;
    std::string sql = "ATTACH DATABASE ?1 AS " + quoteIdent(schema_);
    int rc = sqlite3_prepare_v2(hub->db, sql.c_str(), -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_bind_text(st, 1, uri.c_str(), -1, SQLITE_TRANSIENT);
        rc = sqlite3_step(st);
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) {
        StorageError e = sqliteError(rc, "attach");
        hub_ = nullptr;
        return e;
    }
    hub->attached++;
    return {};
}

std::string TableFile::indexStatements() const {
    const std::string s = quoteIdent(schema_) + ".";
    std::string sql;
    for (size_t k = 0; k < layout_.keys.size(); ++k) {
        const KeyDef& key = layout_.keys[k];
        const std::string col = "_k" + std::to_string(k);
        sql += std::string("CREATE ") + (key.unique() ? "UNIQUE " : "") + "INDEX " + s +
               quoteIdent(key.name) + " ON rec(" + col + ")" +
               (key.omitBlank() ? " WHERE " + col + " IS NOT NULL" : "") + ";";
    }
    return sql;
}

StorageError TableFile::dropIndexes() {
    if (readOnly_) return StorageError::of(err::AccessDenied, path_ + " is open read-only");
    if (!hub_) return StorageError::of(err::FileNotOpen, path_);
    finalizeStatements();
    std::string sql;
    for (const KeyDef& key : layout_.keys)
        sql += "DROP INDEX " + quoteIdent(schema_) + "." + quoteIdent(key.name) + ";";
    const int rc = sqlite3_exec(hub_->db, sql.c_str(), nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? StorageError{} : sqliteError(rc, "drop the indexes");
}

StorageError TableFile::buildIndexes() {
    if (!hub_) return StorageError::of(err::FileNotOpen, path_);
    finalizeStatements();
    const int rc = sqlite3_exec(hub_->db, indexStatements().c_str(), nullptr, nullptr, nullptr);
    if ((rc & 0xff) == SQLITE_CONSTRAINT) return StorageError::of(err::DuplicateKey, path_);
    return rc == SQLITE_OK ? StorageError{} : sqliteError(rc, "build the indexes");
}

void TableFile::detach() {
    if (!hub_) return;
    finalizeStatements();
    std::string sql = "DETACH DATABASE " + quoteIdent(schema_);
    sqlite3_exec(hub_->db, sql.c_str(), nullptr, nullptr, nullptr);
    hub_->attached--;
    hub_ = nullptr;
}

StorageError TableFile::createSchema() {
    const std::string s = quoteIdent(schema_) + ".";
    std::string sql = "BEGIN;CREATE TABLE " + s + "rec(";
    for (size_t i = 0; i < layout_.fields.size(); ++i)
        sql += quoteIdent(layout_.fields[i].name) + " " + sqlType(layout_.fields[i]) + ",";
    if (layout_.memo.size) sql += quoteIdent(layout_.memo.name) + " TEXT,";
    for (size_t k = 0; k < layout_.keys.size(); ++k)
        sql += "_k" + std::to_string(k) + " BLOB,";
    sql += "_ver INTEGER NOT NULL DEFAULT 1);";
    sql += indexStatements();
    sql += "CREATE TABLE " + s + "_mvz(name TEXT PRIMARY KEY, value TEXT);";
    sql += "INSERT INTO " + s + "_mvz VALUES('file','" + layout_.baseName() + "'),('layout','" +
           layoutSignature(layout_) + "'),('collation','" + collationVersion() + "');";
    sql += "COMMIT;";
    char* msg = nullptr;
    int rc = sqlite3_exec(hub_->db, sql.c_str(), nullptr, nullptr, &msg);
    sqlite3_free(msg);
    if (rc != SQLITE_OK) {
        StorageError e = sqliteError(rc, "create");
        sqlite3_exec(hub_->db, "ROLLBACK", nullptr, nullptr, nullptr);
        return e;
    }
    return {};
}

StorageError TableFile::checkLayout() {
    std::string sql = "SELECT name, value FROM " + quoteIdent(schema_) + "._mvz";
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(hub_->db, sql.c_str(), -1, &st, nullptr);
    if (rc != SQLITE_OK) {
        // An empty SQLite file (a fresh file another program left) is not ours;
        // neither is any other database.
        StorageError e = rc == SQLITE_ERROR
                             ? StorageError::of(err::InvalidDataFile,
                                                path_ + ": not a data file of this program")
                             : sqliteError(rc, "open");
        sqlite3_finalize(st);
        return e;
    }
    std::string layout, collation;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        std::string name = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        const unsigned char* v = sqlite3_column_text(st, 1);
        std::string value = v ? reinterpret_cast<const char*>(v) : "";
        if (name == "layout") layout = value;
        if (name == "collation") collation = value;
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) return sqliteError(rc, "open");
    if (layout != layoutSignature(layout_))
        return StorageError::of(
            err::InvalidRecordDeclaration,
            path_ + ": the file's record layout differs from the table's declaration");
    if (collation != collationVersion())
        return StorageError::of(err::KeyFileMustBeRebuilt,
                                path_ + ": sorted with another collation version");
    return {};
}

StorageError TableFile::bindRecord(sqlite3_stmt* st, const Record& r, int& n) {
    // The bound texts live in scratch strings until the statement has run.
    bound_.resize(layout_.fields.size() + layout_.keys.size());
    for (size_t i = 0; i < layout_.fields.size(); ++i, ++n) {
        const FieldDef& f = layout_.fields[i];
        const int fi = static_cast<int>(i);
        std::string& b = bound_[i];
        switch (f.type) {
        case FieldType::Text: {
            b = cp1250ToUtf8(clipRight(r.text(fi)));
            sqlite3_bind_text(st, n, b.data(), static_cast<int>(b.size()), SQLITE_STATIC);
            break;
        }
        case FieldType::Packed: {
            b = r.decimal(fi).toString();
            sqlite3_bind_text(st, n, b.data(), static_cast<int>(b.size()), SQLITE_STATIC);
            break;
        }
        case FieldType::Real:
            sqlite3_bind_double(st, n, r.real(fi));
            break;
        default:
            sqlite3_bind_int64(st, n, r.integer(fi));
            break;
        }
    }
    if (layout_.memo.size) {
        sqlite3_bind_text(st, n, r.memo.data(), static_cast<int>(r.memo.size()), SQLITE_TRANSIENT);
        ++n;
    }
    for (const auto& key : layout_.keys) {
        auto v = keySortValue(layout_, key, r);
        if (v)
            sqlite3_bind_blob(st, n, v->data(), static_cast<int>(v->size()), SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(st, n);
        ++n;
    }
    return {};
}

void TableFile::readRow(sqlite3_stmt* st, int c, StoredRow& row) {
    if (!scratch_) scratch_ = std::make_unique<Record>(layout_);
    Record& r = *scratch_;
    r.clear();
    for (size_t i = 0; i < layout_.fields.size(); ++i, ++c) {
        const FieldDef& f = layout_.fields[i];
        const int fi = static_cast<int>(i);
        switch (f.type) {
        case FieldType::Text: {
            const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
            if (t)
                r.setText(fi, utf8ToCp1250Lossy(std::string_view(t, sqlite3_column_bytes(st, c))));
            break;
        }
        case FieldType::Packed: {
            const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
            if (t) {
                auto d =
                    Decimal::parse(std::string_view(t, sqlite3_column_bytes(st, c)), f.decimals);
                if (d) r.setDecimal(fi, *d);
            }
            break;
        }
        case FieldType::Real:
            r.setReal(fi, sqlite3_column_double(st, c));
            break;
        default:
            r.setInteger(fi, sqlite3_column_int64(st, c));
            break;
        }
    }
    if (layout_.memo.size) {
        const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
        row.memo = t ? std::string(t, sqlite3_column_bytes(st, c)) : std::string();
        ++c;
    } else {
        row.memo.clear();
    }
    row.bytes.assign(r.data(), r.size());
    row.rowid = sqlite3_column_int64(st, c++);
    row.version = sqlite3_column_int64(st, c++);
    if (sqlite3_column_type(st, c) == SQLITE_BLOB)
        row.sortValue.assign(static_cast<const char*>(sqlite3_column_blob(st, c)),
                             sqlite3_column_bytes(st, c));
    else
        row.sortValue.clear();
}

StorageError TableFile::insert(const Record& record, std::int64_t& rowid) {
    if (readOnly_) return StorageError::of(err::AccessDenied, path_ + " is open read-only");
    StorageError e;
    std::string sql = "INSERT INTO " + quoteIdent(schema_) + ".rec(" + columns_;
    std::string values = "?";
    for (size_t k = 0; k < layout_.keys.size(); ++k)
        sql += ",_k" + std::to_string(k);
    size_t n = layout_.fields.size() + layout_.keys.size() + (layout_.memo.size ? 1 : 0);
    for (size_t i = 1; i < n; ++i)
        values += ",?";
    sql += ") VALUES(" + values + ")";
    sqlite3_stmt* st = statement(Insert, sql, e);
    if (!st) return e;
    int next = 1;
    bindRecord(st, record, next);
    int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) return sqliteError(rc, "add");
    rowid = sqlite3_last_insert_rowid(hub_->db);
    return {};
}

StorageError TableFile::update(std::int64_t rowid, std::int64_t version, const Record& record,
                               std::int64_t& newVersion) {
    if (readOnly_) return StorageError::of(err::AccessDenied, path_ + " is open read-only");
    StorageError e;
    std::string sql = "UPDATE " + quoteIdent(schema_) + ".rec SET ";
    for (size_t i = 0; i < layout_.fields.size(); ++i)
        sql += quoteIdent(layout_.fields[i].name) + "=?,";
    if (layout_.memo.size) sql += quoteIdent(layout_.memo.name) + "=?,";
    for (size_t k = 0; k < layout_.keys.size(); ++k)
        sql += "_k" + std::to_string(k) + "=?,";
    sql += "_ver=_ver+1 WHERE rowid=? AND _ver=?";
    sqlite3_stmt* st = statement(Update, sql, e);
    if (!st) return e;
    int next = 1;
    bindRecord(st, record, next);
    sqlite3_bind_int64(st, next++, rowid);
    sqlite3_bind_int64(st, next++, version);
    int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) return sqliteError(rc, "change");
    if (sqlite3_changes(hub_->db) == 0) {
        StoredRow current;
        StorageError r = read(rowid, current);
        if (r)
            return r.code == err::RecordNotAvailable ? StorageError::of(err::RecordNotFound, path_)
                                                     : r;
        return StorageError::of(err::RecordChanged, path_);
    }
    newVersion = version + 1;
    return {};
}

StorageError TableFile::remove(std::int64_t rowid) {
    if (readOnly_) return StorageError::of(err::AccessDenied, path_ + " is open read-only");
    StorageError e;
    sqlite3_stmt* st =
        statement(Remove, "DELETE FROM " + quoteIdent(schema_) + ".rec WHERE rowid=?", e);
    if (!st) return e;
    sqlite3_bind_int64(st, 1, rowid);
    int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) return sqliteError(rc, "delete");
    if (sqlite3_changes(hub_->db) == 0) return StorageError::of(err::RecordNotFound, path_);
    return {};
}

StorageError TableFile::removeAll() {
    if (readOnly_) return StorageError::of(err::AccessDenied, path_ + " is open read-only");
    StorageError e;
    sqlite3_stmt* st = statement(RemoveAll, "DELETE FROM " + quoteIdent(schema_) + ".rec", e);
    if (!st) return e;
    int rc = sqlite3_step(st);
    sqlite3_reset(st);
    return rc == SQLITE_DONE ? StorageError{} : sqliteError(rc, "empty");
}

StorageError TableFile::read(std::int64_t rowid, StoredRow& row) {
    StorageError e;
    sqlite3_stmt* st = statement(ReadRow,
                                 "SELECT " + columns_ + ",rowid,_ver,NULL FROM " +
                                     quoteIdent(schema_) + ".rec WHERE rowid=?",
                                 e);
    if (!st) return e;
    sqlite3_bind_int64(st, 1, rowid);
    int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) readRow(st, 0, row);
    sqlite3_reset(st);
    if (rc == SQLITE_ROW) return {};
    if (rc == SQLITE_DONE) return StorageError::of(err::RecordNotAvailable, path_);
    return sqliteError(rc, "read");
}

StorageError TableFile::page(int key, bool forward, const std::string* from, std::int64_t fromRowid,
                             int limit, std::vector<StoredRow>& out) {
    out.clear();
    const PageShape shape = !from ? FromStart : (fromRowid ? AfterPosition : FromValue);
    const int slot = FirstPageSlot + ((key + 1) * 2 + (forward ? 0 : 1)) * Shapes + shape;
    StorageError e;
    sqlite3_stmt* st = nullptr;
    if (static_cast<int>(statements_.size()) > slot && statements_[slot]) {
        st = statements_[slot];
    } else {
        const std::string col = key < 0 ? "rowid" : "_k" + std::to_string(key);
        const char* cmp = forward ? ">" : "<";
        const char* dir = forward ? "" : " DESC";
        std::string sql = "SELECT " + columns_ + ",rowid,_ver," + (key < 0 ? "NULL" : col) +
                          " FROM " + quoteIdent(schema_) + ".rec WHERE ";
        if (key < 0) {
            sql += shape == FromStart ? "1" : std::string("rowid") + cmp + "?2";
            sql += std::string(" ORDER BY rowid") + dir;
        } else {
            sql += col + " IS NOT NULL";
            if (shape == AfterPosition) sql += " AND (" + col + ",rowid)" + cmp + "(?1,?2)";
            if (shape == FromValue) sql += " AND " + col + cmp + "=?1";
            sql += " ORDER BY " + col + dir + ",rowid" + dir;
        }
        sql += " LIMIT ?3";
        st = statement(slot, sql, e);
        if (!st) return e;
    }
    if (from && key >= 0)
        sqlite3_bind_blob(st, 1, from->data(), static_cast<int>(from->size()), SQLITE_STATIC);
    if (shape == AfterPosition || (key < 0 && shape != FromStart))
        sqlite3_bind_int64(st, 2, fromRowid);
    sqlite3_bind_int(st, 3, limit);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        out.emplace_back();
        readRow(st, 0, out.back());
    }
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    if (rc != SQLITE_DONE) {
        out.clear();
        return rc == SQLITE_BUSY ? StorageError::of(err::RecordHeld, path_)
                                 : sqliteError(rc, "read");
    }
    return {};
}

int TableFile::duplicateKey(const Record& record, std::int64_t exceptRowid) {
    for (size_t k = 0; k < layout_.keys.size(); ++k) {
        const KeyDef& key = layout_.keys[k];
        if (!key.unique()) continue;
        auto v = keySortValue(layout_, key, record);
        if (!v) continue;
        std::string sql = "SELECT 1 FROM " + quoteIdent(schema_) + ".rec WHERE _k" +
                          std::to_string(k) + "=?1 AND rowid<>?2 LIMIT 1";
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(hub_->db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
            sqlite3_finalize(st);
            continue;
        }
        sqlite3_bind_blob(st, 1, v->data(), static_cast<int>(v->size()), SQLITE_STATIC);
        sqlite3_bind_int64(st, 2, exceptRowid);
        bool found = sqlite3_step(st) == SQLITE_ROW;
        sqlite3_finalize(st);
        if (found) return static_cast<int>(k);
    }
    return -1;
}

StorageError TableFile::lastSortValue(int key, const std::string& prefix,
                                      std::optional<std::string>& out) {
    out.reset();
    const std::string col = "_k" + std::to_string(key);
    StorageError e;
    sqlite3_stmt* st = statement(kLastValueSlot + key,
                                 "SELECT " + col + " FROM " + quoteIdent(schema_) + ".rec WHERE " +
                                     col + " IS NOT NULL AND " + col + ">=?1 AND " + col +
                                     "<?2 ORDER BY " + col + " DESC LIMIT 1",
                                 e);
    if (!st) return e;
    std::string upper = prefix + std::string(9, '\xFF');
    sqlite3_bind_blob(st, 1, prefix.data(), static_cast<int>(prefix.size()), SQLITE_STATIC);
    sqlite3_bind_blob(st, 2, upper.data(), static_cast<int>(upper.size()), SQLITE_STATIC);
    int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW)
        out = std::string(static_cast<const char*>(sqlite3_column_blob(st, 0)),
                          sqlite3_column_bytes(st, 0));
    sqlite3_reset(st);
    return rc == SQLITE_ROW || rc == SQLITE_DONE ? StorageError{} : sqliteError(rc, "read");
}

bool TableFile::knownHighest(int key, const std::string& prefix, std::int64_t& value) const {
    if (!highest_.valid || !hub_ || !hub_->inTransaction ||
        highest_.serial != hub_->transactionSerial || highest_.key != key ||
        highest_.prefix != prefix)
        return false;
    value = highest_.value;
    return true;
}

void TableFile::rememberHighest(int key, const std::string& prefix, std::int64_t value) {
    if (!hub_ || !hub_->inTransaction) return;
    highest_ = {true, key, prefix, value, hub_->transactionSerial};
}

StorageError TableFile::count(std::int64_t& n) {
    StorageError e;
    sqlite3_stmt* st = statement(Count, "SELECT count(*) FROM " + quoteIdent(schema_) + ".rec", e);
    if (!st) return e;
    int rc = sqlite3_step(st);
    n = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
    sqlite3_reset(st);
    return rc == SQLITE_ROW ? StorageError{} : sqliteError(rc, "count");
}

StorageError TableFile::dataVersion(std::int64_t& n) {
    StorageError e;
    sqlite3_stmt* st = statement(DataVersion, "PRAGMA " + quoteIdent(schema_) + ".data_version", e);
    if (!st) return e;
    int rc = sqlite3_step(st);
    n = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
    sqlite3_reset(st);
    return rc == SQLITE_ROW ? StorageError{} : sqliteError(rc, "data_version");
}

StorageError TableFile::rebuildKeys() {
    if (readOnly_) return StorageError::of(err::AccessDenied, path_);
    const std::string s = quoteIdent(schema_);
    if (sqlite3_exec(hub_->db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        return sqliteError(sqlite3_errcode(hub_->db), "rebuild");
    std::vector<StoredRow> rows;
    std::int64_t after = 0;
    StorageError e;
    std::string setKeys;
    for (size_t k = 0; k < layout_.keys.size(); ++k)
        setKeys +=
            std::string(k ? "," : "") + "_k" + std::to_string(k) + "=?" + std::to_string(k + 1);
    std::string sql = "UPDATE " + s + ".rec SET " + setKeys + " WHERE rowid=?" +
                      std::to_string(layout_.keys.size() + 1);
    // Unique indexes may refuse intermediate states, so the keys are cleared first.
    std::string clear = "UPDATE " + s + ".rec SET ";
    for (size_t k = 0; k < layout_.keys.size(); ++k)
        clear += std::string(k ? "," : "") + "_k" + std::to_string(k) + "=NULL";
    if (!layout_.keys.empty() &&
        sqlite3_exec(hub_->db, clear.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        e = sqliteError(sqlite3_errcode(hub_->db), "rebuild");
    sqlite3_stmt* up = nullptr;
    if (!e && sqlite3_prepare_v2(hub_->db, sql.c_str(), -1, &up, nullptr) != SQLITE_OK)
        e = sqliteError(sqlite3_errcode(hub_->db), "rebuild");
    while (!e) {
        std::string dummy;
        e = page(-1, true, after ? &dummy : nullptr, after, 500, rows);
        if (e || rows.empty()) break;
        for (auto& row : rows) {
            Record r(layout_);
            r.assign(row.bytes);
            for (size_t k = 0; k < layout_.keys.size(); ++k) {
                auto v = keySortValue(layout_, layout_.keys[k], r);
                if (v)
                    sqlite3_bind_blob(up, static_cast<int>(k + 1), v->data(),
                                      static_cast<int>(v->size()), SQLITE_TRANSIENT);
                else
                    sqlite3_bind_null(up, static_cast<int>(k + 1));
            }
            sqlite3_bind_int64(up, static_cast<int>(layout_.keys.size() + 1), row.rowid);
            int rc = sqlite3_step(up);
            sqlite3_reset(up);
            if (rc != SQLITE_DONE) {
                e = sqliteError(rc, "rebuild");
                break;
            }
            after = row.rowid;
        }
    }
    sqlite3_finalize(up);
    if (!e) {
        std::string meta =
            "UPDATE " + s + "._mvz SET value='" + collationVersion() + "' WHERE name='collation'";
        if (sqlite3_exec(hub_->db, meta.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            e = sqliteError(sqlite3_errcode(hub_->db), "rebuild");
    }
    sqlite3_exec(hub_->db, e ? "ROLLBACK" : "COMMIT", nullptr, nullptr, nullptr);
    return e;
}

} // namespace mvz
