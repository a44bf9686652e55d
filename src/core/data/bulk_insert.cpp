#include "data/bulk_insert.h"

#include <array>
#include <sqlite3.h>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "data/record.h"
#include "data/sort_value.h"
#include "data/sqlite_error.h"
#include "data/storage_session.h"
#include "data/table_file.h"

namespace mvz {

namespace {

constexpr int kCacheKiB = 64 * 1024;

std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}

// The UTF-8 form of every CP1250 byte, made once.
const std::array<std::string, 256>& utf8OfByte() {
    static const std::array<std::string, 256> table = [] {
        std::array<std::string, 256> t;
        for (int b = 0; b < 256; ++b)
            t[b] = cp1250ToUtf8(std::string(1, static_cast<char>(b)));
        return t;
    }();
    return table;
}

} // namespace

BulkInsert::BulkInsert(TableFile& file) : file_(file) {}

BulkInsert::~BulkInsert() {
    if (statement_) sqlite3_finalize(statement_);
}

void BulkInsert::bindText(int column, std::string_view cp1250, std::string& buffer) {
    bool ascii = true;
    for (char c : cp1250)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (!ascii) {
        const auto& utf8 = utf8OfByte();
        buffer.clear();
        for (char c : cp1250)
            buffer += utf8[static_cast<unsigned char>(c)];
        cp1250 = buffer;
    }
    sqlite3_bind_text(statement_, column, cp1250.data(), static_cast<int>(cp1250.size()),
                      SQLITE_STATIC);
}

void BulkInsert::sortValuesOf(const Record& r, std::vector<std::optional<std::string>>& out) {
    const TableDef& layout = r.def();
    for (const KeyDef& key : layout.keys)
        out.push_back(keySortValue(layout, key, r));
}

StorageError BulkInsert::add(const Record& r, const std::optional<std::string>* sortValues) {
    if (file_.readOnly()) return StorageError::of(err::AccessDenied, file_.path());
    const TableDef& layout = file_.layout();
    sqlite3* db = file_.hub() ? file_.hub()->db : nullptr;
    if (!db) return StorageError::of(err::FileNotOpen, file_.path());
    if (!statement_) {
        std::string columns, values;
        for (const FieldDef& f : layout.fields) {
            columns += (columns.empty() ? "" : ",") + quoted(f.name);
            values += values.empty() ? "?" : ",?";
        }
        if (layout.memo.size) {
            columns += "," + quoted(layout.memo.name);
            values += ",?";
        }
        for (std::size_t k = 0; k < layout.keys.size(); ++k) {
            columns += ",_k" + std::to_string(k);
            values += ",?";
        }
        const std::string sql = "INSERT INTO " + quoted(file_.schema()) + ".rec(" + columns +
                                ") VALUES(" + values + ")";
        const int rc = sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT,
                                          &statement_, nullptr);
        if (rc != SQLITE_OK) {
            statement_ = nullptr;
            return storageErrorOfSqlite(db, rc, file_.path() + ": prepare", err::UnknownError);
        }
        buffers_.resize(layout.fields.size() + layout.keys.size() + 1);
        const std::string cache =
            "PRAGMA " + quoted(file_.schema()) + ".cache_size=-" + std::to_string(kCacheKiB);
        sqlite3_exec(db, cache.c_str(), nullptr, nullptr, nullptr);
    }
    int n = 1;
    for (std::size_t i = 0; i < layout.fields.size(); ++i, ++n) {
        const int fi = static_cast<int>(i);
        switch (layout.fields[i].type) {
        case FieldType::Text:
            bindText(n, clipRight(r.text(fi)), buffers_[i]);
            break;
        case FieldType::Packed:
            buffers_[i] = r.decimal(fi).toString();
            sqlite3_bind_text(statement_, n, buffers_[i].data(),
                              static_cast<int>(buffers_[i].size()), SQLITE_STATIC);
            break;
        case FieldType::Real:
            sqlite3_bind_double(statement_, n, r.real(fi));
            break;
        default:
            sqlite3_bind_int64(statement_, n, r.integer(fi));
            break;
        }
    }
    if (layout.memo.size) {
        sqlite3_bind_text(statement_, n, r.memo.data(), static_cast<int>(r.memo.size()),
                          SQLITE_STATIC);
        ++n;
    }
    for (std::size_t k = 0; k < layout.keys.size(); ++k, ++n) {
        const std::string* value = nullptr;
        std::string& b = buffers_[layout.fields.size() + k];
        if (sortValues) {
            if (sortValues[k]) value = &*sortValues[k];
        } else if (std::optional<std::string> v = keySortValue(layout, layout.keys[k], r)) {
            b = std::move(*v);
            value = &b;
        }
        if (value)
            sqlite3_bind_blob(statement_, n, value->data(), static_cast<int>(value->size()),
                              SQLITE_STATIC);
        else
            sqlite3_bind_null(statement_, n);
    }
    const int rc = sqlite3_step(statement_);
    sqlite3_reset(statement_);
    if (rc != SQLITE_DONE)
        return storageErrorOfSqlite(db, rc, file_.path() + ": add", err::UnknownError);
    return {};
}

} // namespace mvz
