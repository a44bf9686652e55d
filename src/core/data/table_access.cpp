#include "data/table_access.h"

#include "data/error_reporter.h"
#include "data/field_checks.h"
#include "data/sort_value.h"
#include "data/storage_session.h"

namespace mvz {

namespace {
constexpr int kMaxPage = 256;
constexpr int kAutoNumberAttempts = 3;
} // namespace

TableAccess::TableAccess(const TableDef& def, StorageSession& session, ErrorReporter& errors)
    : def_(def), session_(session), errors_(errors), record_(def) {
    order_ = def.keys.empty() ? -1 : 0;
    installStandardFieldChecks(*this);
}

TableAccess::~TableAccess() {
    if (file_) session_.close(file_);
}

int TableAccess::raise(int message, std::string_view text) {
    lastMessage_ = message;
    errors_.setFile(def_.fileName);
    errors_.captureError(lastError_);
    return errors_.raise(static_cast<std::uint16_t>(message), text);
}

int TableAccess::openText(bool silent) {
    const std::string path = session_.pathOf(def_);
    auto text = std::make_unique<TextTable>(def_);
    ShareMode mode = shareMode_;
    for (int attempt = 0; attempt < 2; ++attempt) {
        lastError_ = text->open(path, mode);
        if (!lastError_) {
            text_ = std::move(text);
            opened_ = 1;
            atEof_ = false;
            return result::Ok;
        }
        if (lastError_.code == err::AccessDenied && mode != ShareMode::ReadOnly) {
            mode = ShareMode::ReadOnly;
            lastError_ = text->open(path, mode);
            if (!lastError_) {
                if (!silent) raise(2);
                text_ = std::move(text);
                opened_ = 1;
                return result::Ok;
            }
        } else if (lastError_.code == err::FileNotFound) {
            if (StorageError e = text->create(path, session_.fileMode())) {
                lastError_ = e;
                if (silent) return result::Failed;
                raise(10);
                return result::Fatal;
            }
        }
    }
    if (silent) return result::Failed;
    raise(23);
    return result::Fatal;
}

int TableAccess::open(bool silent, bool allowRepair) {
    if (opened_ > 0) {
        ++opened_;
        return result::Ok;
    }
    if (isText()) return openText(silent);
    ShareMode mode = shareMode_;
    for (int attempt = 0; attempt < 2; ++attempt) {
        lastError_ = session_.open(def_, mode, file_);
        if (!lastError_) {
            opened_ = 1;
            atEof_ = false;
            return result::Ok;
        }
        switch (lastError_.code) {
        case err::AccessDenied:
            if (mode != ShareMode::ReadOnly) {
                // Someone holds the file: settle for reading it.
                mode = ShareMode::ReadOnly;
                lastError_ = session_.open(def_, mode, file_);
                if (!lastError_) {
                    if (!silent) raise(2);
                    opened_ = 1;
                    return result::Ok;
                }
            }
            break;
        case err::FileNotFound:
            if (!def_.creatable()) {
                lastError_ = StorageError::of(err::NoCreateAttribute, session_.pathOf(def_));
                break;
            }
            if (StorageError e = session_.create(def_)) {
                lastError_ = e;
                if (silent) return result::Failed;
                raise(10);
                return result::Fatal;
            }
            continue;
        case err::KeyFileMustBeRebuilt: {
            TableFile* f = file_;
            if (!silent) raise(27);
            StorageError e =
                allowRepair && f ? f->rebuildKeys() : StorageError::of(err::KeyFileMustBeRebuilt);
            if (f) session_.close(f);
            file_ = nullptr;
            if (e) {
                lastError_ = e;
                if (silent) return result::Failed;
                raise(26);
                return result::Fatal;
            }
            continue;
        }
        default:
            break;
        }
    }
    file_ = nullptr;
    if (silent) return result::Failed;
    raise(23);
    return result::Fatal;
}

void TableAccess::close() {
    if (opened_ == 0) return;
    if (--opened_ > 0) return;
    if (text_) {
        // Lines still buffered are written now; a failure must not pass unseen.
        lastError_ = text_->flush();
        if (lastError_) raise(4);
        text_.reset();
    }
    session_.close(file_);
    file_ = nullptr;
    invalidate();
    anchor_ = Anchor::Start;
}

int TableAccess::useCheck() {
    if (opened_ > 0 && (file_ || text_)) return result::Ok;
    lastError_ = StorageError::of(err::FileNotOpen, def_.fileName);
    raise(39);
    return result::Fatal;
}

void TableAccess::invalidate() {
    page_.clear();
    pageNext_ = 0;
}

void TableAccess::setOrder(int key) {
    order_ = key;
    setStart();
}

void TableAccess::setStart() {
    invalidate();
    anchor_ = Anchor::Start;
    anchorValue_.clear();
    anchorRowid_ = 0;
    atEof_ = false;
    pageSize_ = 32;
}

void TableAccess::setFromBuffer() {
    setStart();
    if (order_ < 0) {
        anchor_ = Anchor::Start;
        return;
    }
    anchor_ = Anchor::Value;
    anchorValue_ =
        keyPrefixSortValue(def_, def_.keys[order_], record_, def_.keys[order_].fields.size());
}

void TableAccess::setFromSortValue(const std::string& value) {
    setStart();
    anchor_ = order_ < 0 ? Anchor::Start : Anchor::Value;
    anchorValue_ = value;
}

std::string TableAccess::currentSortValue() const {
    if (order_ < 0) return {};
    return keySortValue(def_, def_.keys[order_], record_).value_or(std::string());
}

void TableAccess::takeRow(const StoredRow& row) {
    record_.assign(row.bytes);
    record_.memo = row.memo;
    rowid_ = row.rowid;
    version_ = row.version;
}

int TableAccess::textStep() {
    if (anchor_ == Anchor::Start) {
        if ((lastError_ = text_->set())) {
            raise(1);
            return result::Failed;
        }
        anchor_ = Anchor::Row;
    }
    lastError_ = text_->next(record_);
    if (lastError_.code == err::RecordNotAvailable) {
        atEof_ = true;
        return result::Failed;
    }
    if (lastError_) {
        raise(1);
        return result::Failed;
    }
    rowid_ = static_cast<std::int64_t>(text_->position());
    atEof_ = false;
    return result::Ok;
}

int TableAccess::readStep(bool forward) {
    if (int r = useCheck()) return r;
    if (text_) {
        if (forward) return textStep();
        // A text file is read from its start to its end only.
        lastError_ = StorageError::of(err::UnsupportedDriverFunction, def_.fileName);
        return result::Failed;
    }
    if (pageNext_ >= page_.size() || pageForward_ != forward) {
        page_.clear();
        pageNext_ = 0;
        pageForward_ = forward;
        const std::string* from = anchor_ == Anchor::Start ? nullptr : &anchorValue_;
        std::int64_t fromRowid = anchor_ == Anchor::Row ? anchorRowid_ : 0;
        if (order_ < 0 && anchor_ == Anchor::Row) from = &anchorValue_;
        lastError_ = file_->page(order_, forward, from, fromRowid, pageSize_, page_);
        pageSize_ = std::min(pageSize_ * 4, kMaxPage);
        if (lastError_) {
            if (lastError_.code == err::RecordHeld)
                raise(28);
            else
                raise(1);
            return result::Failed;
        }
        if (page_.empty()) {
            atEof_ = true;
            lastError_ = StorageError::of(err::RecordNotAvailable, def_.fileName);
            return result::Failed;
        }
    }
    const StoredRow& row = page_[pageNext_++];
    takeRow(row);
    anchor_ = Anchor::Row;
    anchorValue_ = row.sortValue;
    anchorRowid_ = row.rowid;
    atEof_ = false;
    lastError_ = {};
    return result::Ok;
}

int TableAccess::next() {
    return readStep(true);
}
int TableAccess::previous() {
    return readStep(false);
}

int TableAccess::fetch(int key) {
    if (int r = useCheck()) return r;
    auto value = keySortValue(def_, def_.keys.at(key), record_);
    if (!value) {
        // A blank value is left out of the key: no record has it.
        lastError_ = StorageError::of(err::RecordNotFound, def_.fileName);
        return result::Failed;
    }
    std::vector<StoredRow> rows;
    lastError_ = file_->page(key, true, &*value, 0, 1, rows);
    if (lastError_) {
        raise(1);
        return result::Failed;
    }
    if (rows.empty() || rows.front().sortValue != *value) {
        lastError_ = StorageError::of(err::RecordNotFound, def_.fileName);
        return result::Failed;
    }
    takeRow(rows.front());
    lastError_ = {};
    return result::Ok;
}

int TableAccess::fetchPosition(std::int64_t position) {
    if (int r = useCheck()) return r;
    if (text_) {
        lastError_ = text_->get(static_cast<std::uint64_t>(position), record_);
        if (lastError_) {
            lastError_ = StorageError::of(err::RecordNotFound, def_.fileName);
            return result::Failed;
        }
        rowid_ = position;
        return result::Ok;
    }
    StoredRow row;
    lastError_ = file_->read(position, row);
    if (lastError_) {
        if (lastError_.code == err::RecordNotAvailable)
            lastError_ = StorageError::of(err::RecordNotFound, def_.fileName);
        return result::Failed;
    }
    takeRow(row);
    return result::Ok;
}

void TableAccess::addFieldCheck(int field, FieldCheck check) {
    checks_.emplace_back(field, std::move(check));
}

int TableAccess::validateField(int field) {
    for (auto& [f, check] : checks_)
        if (f == field)
            if (int r = check(*this, field)) return r;
    return result::Ok;
}

int TableAccess::validateRecord() {
    for (auto& [f, check] : checks_)
        if (int r = check(*this, f)) return r;
    return result::Ok;
}

int TableAccess::insertRecord() {
    lastError_ = file_->insert(record_, rowid_);
    if (!lastError_) version_ = 1;
    return lastError_ ? result::Failed : result::Ok;
}

int TableAccess::reserveAutoNumber() {
    const int key = def_.autoNumberKey();
    const KeyDef& k = def_.keys[key];
    const int field = k.fields.back();
    const FieldDef& f = def_.fields[field];
    for (;;) {
        for (int attempt = 0; attempt < kAutoNumberAttempts; ++attempt) {
            std::string prefix = keyPrefixSortValue(def_, k, record_, k.fields.size() - 1);
            std::int64_t highest = 0;
            if (attempt > 0 || !file_->knownHighest(key, prefix, highest)) {
                std::optional<std::string> last;
                lastError_ = file_->lastSortValue(key, prefix, last);
                if (lastError_) return result::Failed;
                highest = last ? trailingIntegerOfSortValue(*last, f.size) : 0;
            }
            if (!record_.setInteger(field, highest + 1)) {
                // Every number the field can hold is taken: no retry helps.
                lastError_ = StorageError::of(err::InvalidKeyLength, def_.qualified(field));
                return result::Failed;
            }
            if (insertRecord() == result::Ok) {
                file_->rememberHighest(key, prefix, highest + 1);
                autoIncDone_ = true;
                return result::Ok;
            }
            file_->forgetHighest();
            // Only a number another station took in the meantime is worth a
            // fresh try; any other failure would fail again the same way.
            if (lastError_.code != err::DuplicateKey || file_->duplicateKey(record_, 0) != key)
                return result::Failed;
        }
        if (raise(32) != result::Ok) return result::Failed;
    }
}

int TableAccess::add(bool silent) {
    if (int r = useCheck()) return r;
    // A value the field checks refuse is no storage error: lastError() is clear.
    lastError_ = {};
    if (validateRecord()) return result::Failed;
    if (text_) {
        lastError_ = text_->add(record_);
        if (lastError_) {
            if (!silent) raise(4);
            return result::Failed;
        }
        return result::Ok;
    }
    int r;
    if (def_.autoNumberKey() >= 0 && autoIncDone_) {
        std::int64_t v;
        lastError_ = file_->update(rowid_, version_, record_, v);
        if (!lastError_) version_ = v;
        r = lastError_ ? result::Failed : result::Ok;
    } else if (def_.autoNumberKey() >= 0) {
        r = reserveAutoNumber();
        if (r != result::Ok && !lastError_) return r; // the user gave up numbering
    } else {
        r = insertRecord();
    }
    invalidate();
    if (r == result::Ok) {
        autoIncDone_ = false;
        anchor_ = Anchor::Row;
        anchorValue_ = currentSortValue();
        anchorRowid_ = rowid_;
        return result::Ok;
    }
    if (lastError_.code == err::DuplicateKey) {
        int key = file_->duplicateKey(record_, autoIncDone_ ? rowid_ : 0);
        if (!silent) raise(13, key >= 0 ? def_.keys[key].description : std::string());
        return result::Failed;
    }
    if (!silent) raise(4);
    return result::Failed;
}

int TableAccess::change(bool redisplay) {
    if (int r = useCheck()) return r;
    if (text_) {
        // Lines of a text file are only ever added; the file is rewritten whole.
        lastError_ = StorageError::of(err::UnsupportedDriverFunction, def_.fileName);
        raise(25);
        return result::Failed;
    }
    lastError_ = {};
    if (validateRecord()) return result::Failed;
    std::int64_t v = version_;
    lastError_ = file_->update(rowid_, version_, record_, v);
    invalidate();
    if (!lastError_) {
        version_ = v;
        anchor_ = Anchor::Row;
        anchorValue_ = currentSortValue();
        anchorRowid_ = rowid_;
        return result::Ok;
    }
    if (lastError_.code == err::RecordChanged) {
        StorageError changed = lastError_;
        raise(redisplay ? 7 : 6);
        StoredRow row;
        if (!file_->read(rowid_, row)) takeRow(row);
        lastError_ = changed;
        return result::Failed;
    }
    raise(25);
    return result::Failed;
}

int TableAccess::remove() {
    if (int r = useCheck()) return r;
    if (text_) {
        lastError_ = StorageError::of(err::UnsupportedDriverFunction, def_.fileName);
        raise(11);
        return result::Failed;
    }
    lastError_ = file_->remove(rowid_);
    invalidate();
    if (lastError_) {
        raise(11);
        return result::Failed;
    }
    autoIncDone_ = false;
    return result::Ok;
}

int TableAccess::flush() {
    if (int r = useCheck()) return r;
    if (!text_) return result::Ok;
    lastError_ = text_->flush();
    return lastError_ ? result::Failed : result::Ok;
}

int TableAccess::removeAll() {
    if (int r = useCheck()) return r;
    lastError_ = text_ ? text_->empty() : file_->removeAll();
    setStart();
    if (lastError_) {
        raise(11);
        return result::Failed;
    }
    return result::Ok;
}

int TableAccess::primeAutoNumber() {
    if (int r = useCheck()) return r;
    if (def_.autoNumberKey() < 0 || autoIncDone_) return result::Ok;
    int r = reserveAutoNumber();
    invalidate();
    if (r != result::Ok && lastError_) raise(4);
    return r;
}

int TableAccess::cancelAutoNumber() {
    if (!autoIncDone_) return result::Ok;
    if (int r = useCheck()) return r;
    autoIncDone_ = false;
    lastError_ = file_->remove(rowid_);
    invalidate();
    if (lastError_) {
        raise(11);
        return result::Failed;
    }
    rowid_ = 0;
    return result::Ok;
}

void TableAccess::savePosition() {
    saved_.push_back({anchor_, anchorValue_, anchorRowid_, rowid_, version_, order_, autoIncDone_,
                      std::string(record_.bytes()), record_.memo});
}

void TableAccess::restorePosition() {
    if (saved_.empty()) return;
    SavedState s = std::move(saved_.back());
    saved_.pop_back();
    invalidate();
    anchor_ = s.anchor;
    anchorValue_ = s.value;
    anchorRowid_ = s.rowid;
    rowid_ = s.position;
    version_ = s.version;
    order_ = s.order;
    autoIncDone_ = s.autoIncDone;
    record_.assign(s.bytes);
    record_.memo = s.memo;
    atEof_ = false;
}

std::int64_t TableAccess::count() {
    if (useCheck()) return 0;
    std::int64_t n = 0;
    if (text_) {
        lastError_ = text_->count(n);
        anchor_ = Anchor::Start;
        return n;
    }
    lastError_ = file_->count(n);
    return n;
}

} // namespace mvz
