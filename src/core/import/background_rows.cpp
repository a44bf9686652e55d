#include "import/background_rows.h"

#include <exception>

#include "data/bulk_insert.h"
#include "data/record.h"
#include "data/table_file.h"

namespace mvz {

namespace {

constexpr std::size_t kBatchRows = 512; // rows handed over at once
constexpr std::size_t kWaiting = 3;     // batches that may wait for the writer

} // namespace

BackgroundRows::BackgroundRows(std::vector<TableFile*> files)
    : files_(std::move(files)), current_(std::make_unique<Batch>()) {
    for (TableFile* f : files_)
        images_.push_back(std::make_unique<Record>(f->layout()));
    thread_ = std::thread([this] { run(); });
}

BackgroundRows::~BackgroundRows() {
    abandon();
}

bool BackgroundRows::add(int file, std::string_view image) {
    if (failed()) return false;
    Record& r = *images_[file];
    r.assign(image);
    BulkInsert::sortValuesOf(r, current_->sortValues);
    current_->bytes.append(image);
    current_->rows.emplace_back(file, static_cast<std::uint32_t>(image.size()));
    if (current_->rows.size() >= kBatchRows) handOver();
    return !failed();
}

void BackgroundRows::handOver() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < kWaiting || failed() || dropping_; });
    queue_.push_back(std::move(current_));
    if (!spare_.empty()) {
        current_ = std::move(spare_.back());
        spare_.pop_back();
    } else {
        current_ = std::make_unique<Batch>();
    }
    current_->bytes.clear();
    current_->rows.clear();
    current_->sortValues.clear();
    changed_.notify_all();
}

void BackgroundRows::run() {
    std::vector<std::unique_ptr<BulkInsert>> inserts;
    std::vector<std::unique_ptr<Record>> records;
    // An empty table gets its indexes once, after its rows.
    std::vector<TableFile*> indexLater;
    const auto fail = [this](StorageError e) {
        error_ = std::move(e);
        failed_.store(true, std::memory_order_release);
    };
    for (TableFile* f : files_) {
        inserts.push_back(std::make_unique<BulkInsert>(*f));
        records.push_back(std::make_unique<Record>(f->layout()));
        std::int64_t rows = -1;
        if (!failed() && !f->readOnly() && !f->count(rows) && rows == 0) {
            if (StorageError e = f->dropIndexes())
                fail(e);
            else
                indexLater.push_back(f);
        }
    }
    for (;;) {
        std::unique_ptr<Batch> batch;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !queue_.empty() || closing_ || dropping_; });
            if (dropping_) return;
            if (queue_.empty()) break;
            batch = std::move(queue_.front());
            queue_.pop_front();
            changed_.notify_all();
        }
        if (!failed()) {
            try {
                std::size_t at = 0, key = 0;
                for (const auto& [file, length] : batch->rows) {
                    Record& r = *records[file];
                    r.assign(std::string_view(batch->bytes).substr(at, length));
                    at += length;
                    const std::optional<std::string>* sortValues = batch->sortValues.data() + key;
                    key += r.def().keys.size();
                    if (StorageError e = inserts[file]->add(r, sortValues)) {
                        fail(e);
                        break;
                    }
                }
            } catch (const std::exception& e) {
                fail(StorageError::of(err::UnknownError, e.what()));
            }
        }
        std::lock_guard lock(mutex_);
        spare_.push_back(std::move(batch));
        changed_.notify_all();
    }
    inserts.clear();
    for (TableFile* f : indexLater) {
        if (failed()) break;
        if (StorageError e = f->buildIndexes()) fail(e);
    }
}

void BackgroundRows::stop(bool drain) {
    {
        std::lock_guard lock(mutex_);
        if (drain && !current_->rows.empty()) queue_.push_back(std::move(current_));
        closing_ = true;
        if (!drain) dropping_ = true;
        changed_.notify_all();
    }
    if (thread_.joinable()) thread_.join();
    if (!current_) current_ = std::make_unique<Batch>();
}

bool BackgroundRows::finish() {
    stop(true);
    return !failed();
}

void BackgroundRows::abandon() {
    stop(false);
}

} // namespace mvz
