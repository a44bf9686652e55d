#pragma once
// A table stored as a text file: one line per record, either the record's
// fields at their fixed columns (line text) or its fields separated by
// commas (comma-delimited). Gives TableAccess the operations it needs.

#include <cstdint>
#include <memory>
#include <string>

#include "data/csv_file.h"
#include "data/dictionary.h"
#include "data/file_lock.h"
#include "data/line_file.h"
#include "data/storage_error.h"

namespace mvz {

class Record;

class TextTable {
  public:
    explicit TextTable(const TableDef& def);
    ~TextTable();

    // Error 2 when the file is missing.
    StorageError open(const std::string& path, ShareMode mode);
    // Creates the file empty with the permissions `mode`.
    StorageError create(const std::string& path, mode_t mode);
    void close();
    bool readOnly() const { return readOnly_; }

    StorageError set();
    // Error 33 at the end of the file.
    StorageError next(Record& record);
    StorageError get(std::uint64_t position, Record& record);
    std::uint64_t position() const;
    StorageError add(const Record& record);
    StorageError empty();
    // Writes out what add() buffered.
    StorageError flush();
    StorageError count(std::int64_t& n);

  private:
    StorageError fromLine(std::string_view line, Record& record) const;
    StorageError fromFields(const std::vector<std::string>& fields, Record& record) const;

    const TableDef& def_;
    std::unique_ptr<LineFile> lines_;
    std::unique_ptr<CsvFile> csv_;
    std::string path_;
    bool readOnly_ = false;
};

} // namespace mvz
