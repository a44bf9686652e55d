#pragma once
// Access to one table for one window or batch run: its record buffer, its
// position in key order, opening with the open policy, reading forwards and
// backwards, adding with validation and auto-numbering, changing with change
// detection, deleting, and the messages every failure shows.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/dictionary.h"
#include "data/file_lock.h"
#include "data/record.h"
#include "data/storage_error.h"
#include "data/table_file.h"
#include "data/text_table.h"

namespace mvz {

class ErrorReporter;
class StorageSession;

// Results of the operations that can fail.
namespace result {
constexpr int Ok = 0;
constexpr int Fatal = 3;     // a fatal condition stopped the operation
constexpr int Cancelled = 4; // the user cancelled
constexpr int Failed = 5;    // failed; the caller keeps its window open
} // namespace result

class TableAccess {
  public:
    TableAccess(const TableDef& def, StorageSession& session, ErrorReporter& errors);
    ~TableAccess();
    TableAccess(const TableAccess&) = delete;
    TableAccess& operator=(const TableAccess&) = delete;

    const TableDef& def() const { return def_; }
    StorageSession& session() const { return session_; }
    ErrorReporter& errors() const { return errors_; }
    Record& record() { return record_; }
    const Record& record() const { return record_; }

    // How the next open shares the file (batch runs may deny writing by
    // others or ask for the file alone).
    void setShareMode(ShareMode mode) { shareMode_ = mode; }

    // Opens the table with the open policy; later opens only count users. A
    // silent open reports nothing and returns Failed where the policy would
    // end the program.
    int open(bool silent = false, bool allowRepair = true);
    void close();
    bool isOpen() const { return opened_ > 0; }
    int openCount() const { return opened_; }
    // Message 39 (the program ends) when the table is not open.
    int useCheck();

    // Reading order: a key index, or -1 for the order records were stored in.
    void setOrder(int key);
    int order() const { return order_; }
    // Positions before the first record (next) or after the last (previous).
    void setStart();
    // Positions at the key value the buffer holds: next reads the first
    // record at or after it, previous the last one at or before it.
    void setFromBuffer();
    // Positions at a sort value (or a prefix of one) of the current order.
    void setFromSortValue(const std::string& value);
    int next();
    int previous();
    bool atEof() const { return atEof_; }
    // Reads the first record whose `key` value equals the buffer's; Failed
    // (error 35, no message) when there is none.
    int fetch(int key);
    // Reads the record at a position; Failed (error 35) when it is gone.
    int fetchPosition(std::int64_t position);
    // The position of the record in the buffer (0 when none was read or added).
    std::int64_t position() const { return rowid_; }

    // A silent add shows no message: batch runs that report failures in
    // their own words read lastError() instead.
    int add(bool silent = false);
    // With redisplay, a record changed by another station raises message 7
    // instead of 6. Either way the buffer then holds the other station's values.
    int change(bool redisplay = false);
    // Deletes the record last read (table level; no relation rules).
    int remove();
    // Deletes every record (work tables are emptied before they are refilled).
    int removeAll();
    // Writes out what adds to a text table buffered, so that the file can be
    // read whole while the table stays open (and held); Failed (no message)
    // when the write failed.
    int flush();

    int validateField(int field);
    int validateRecord();

    // Reserves the auto-number for an insert: adds the buffer with the new
    // number. A later add() writes in place of the reserved record.
    int primeAutoNumber();
    // Deletes a reserved record of a cancelled insert.
    int cancelAutoNumber();
    bool autoNumberDone() const { return autoIncDone_; }

    void savePosition();
    void restorePosition();

    std::string keyDescription(int key) const { return def_.keys.at(key).description; }
    const StorageError& lastError() const { return lastError_; }
    int lastMessage() const { return lastMessage_; }
    std::int64_t count();
    TableFile* file() const { return file_; }
    // Tables kept as text files (line text, comma-delimited) rather than keyed files.
    bool isText() const {
        return def_.kind == TableKind::LineText || def_.kind == TableKind::CommaDelimited;
    }

    // A check of one field, run whenever a record is validated.
    using FieldCheck = std::function<int(TableAccess&, int field)>;
    void addFieldCheck(int field, FieldCheck check);

  private:
    int raise(int message, std::string_view text = {});
    int openText(bool silent);
    int textStep();
    int readStep(bool forward);
    void invalidate();
    void takeRow(const StoredRow& row);
    int reserveAutoNumber();
    int insertRecord();
    std::string currentSortValue() const;

    const TableDef& def_;
    StorageSession& session_;
    ErrorReporter& errors_;
    Record record_;
    ShareMode shareMode_ = ShareMode::Shared;
    TableFile* file_ = nullptr;
    std::unique_ptr<TextTable> text_;
    int opened_ = 0;
    bool atEof_ = false;
    bool autoIncDone_ = false;
    int lastMessage_ = 0;
    StorageError lastError_;

    int order_ = 0;
    std::int64_t rowid_ = 0;
    std::int64_t version_ = 0;

    // Read position: the last row returned (or a start value) and a page
    // read ahead in the current direction.
    enum class Anchor { Start, Value, Row };
    Anchor anchor_ = Anchor::Start;
    std::string anchorValue_;
    std::int64_t anchorRowid_ = 0;
    std::vector<StoredRow> page_;
    std::size_t pageNext_ = 0;
    bool pageForward_ = true;
    int pageSize_ = 32;

    struct SavedState {
        Anchor anchor;
        std::string value;
        std::int64_t rowid, position, version;
        int order;
        bool autoIncDone;
        std::string bytes, memo;
    };
    std::vector<SavedState> saved_;
    std::vector<std::pair<int, FieldCheck>> checks_;
};

} // namespace mvz
