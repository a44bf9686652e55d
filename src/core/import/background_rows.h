#pragma once
// Stores the result rows of a check on a thread of its own, so that reading
// and checking a file and storing its rows run side by side. The caller
// hands over record images (one table each, in order); they travel in
// batches, and at most a few batches wait, so memory stays bounded whatever
// the number of rows. The writing thread is the only one that uses the
// tables' connection until finish() or abandon() returns: the caller must not
// touch the storage meanwhile.
//
// Each file must be open and inside the running transaction before the
// first row is handed over. A file that is empty then gets its key indexes
// built once after its last row (finish); a duplicate on a unique key then
// fails the finish, and the caller's rollback brings the indexes back.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "data/storage_error.h"

namespace mvz {

class Record;
class TableFile;

class BackgroundRows {
  public:
    explicit BackgroundRows(std::vector<TableFile*> files);
    ~BackgroundRows(); // abandons what was not finished
    BackgroundRows(const BackgroundRows&) = delete;
    BackgroundRows& operator=(const BackgroundRows&) = delete;

    // Queues a record image for files[file]; false once a write has failed.
    bool add(int file, std::string_view image);
    // Waits until every row handed over is stored; false when a write failed.
    bool finish();
    // Drops the rows not yet stored and waits for the thread.
    void abandon();
    bool failed() const { return failed_.load(std::memory_order_acquire); }
    // The first failed write (valid once failed() or after finish()).
    const StorageError& error() const { return error_; }

  private:
    struct Batch {
        std::string bytes;
        std::vector<std::pair<int, std::uint32_t>> rows; // file and image length
        // The rows' key sort values in row and key order, made by the caller's
        // thread (the collation is the costliest part of storing a row).
        std::vector<std::optional<std::string>> sortValues;
    };
    void handOver();
    void run();
    void stop(bool drain);

    std::vector<TableFile*> files_;
    std::vector<std::unique_ptr<Record>> images_; // the caller's view of each file's rows
    std::unique_ptr<Batch> current_;
    std::deque<std::unique_ptr<Batch>> queue_;
    std::vector<std::unique_ptr<Batch>> spare_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool closing_ = false; // no more batches come
    bool dropping_ = false;
    std::atomic<bool> failed_{false};
    StorageError error_;
    std::thread thread_;
};

} // namespace mvz
