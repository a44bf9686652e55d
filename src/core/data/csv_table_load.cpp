#include "data/csv_table_load.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "base/fixed_text.h"
#include "data/csv_text.h"
#include "data/input_file.h"
#include "data/storage_session.h"
#include "data/table_access.h"

namespace mvz {

namespace {

std::string describe(const StorageError& e) {
    std::string out = e.text.empty() ? storageErrorText(e.code) : e.text;
    if (!e.osText.empty()) out += " (" + e.osText + ")";
    if (!e.detail.empty()) out += ": " + e.detail;
    return out;
}

// Reads the header, then turns each row into the records to add.
class CsvRecordSource {
  public:
    CsvRecordSource(const TableDef& def, std::string_view text, const std::string& source,
                    const CsvRowExpander& expand)
        : def_(def), reader_(text), source_(source), expand_(expand) {}

    // Reads the header row; false with error() set when it is unusable.
    bool start() {
        CsvRow header;
        if (!reader_.next(header)) {
            if (reader_.failed()) return syntaxError();
            error_ = source_ + ": the file is empty; its first row must name the fields of " +
                     def_.stem();
            return false;
        }
        for (std::size_t i = 0; i < header.fields.size(); ++i) {
            const std::string name(trim(header.fields[i]));
            if (name.empty())
                return fail(header.line, "column " + std::to_string(i + 1) + " has no field name");
            const int field = def_.fieldIndex(name);
            if (field < 0) {
                std::string all;
                for (const auto& f : def_.fields)
                    all += (all.empty() ? "" : ", ") + f.name;
                return fail(header.line, "table " + def_.stem() + " has no field " + name +
                                             " (its fields: " + all + ")");
            }
            for (int seen : columns_)
                if (seen == field)
                    return fail(header.line,
                                "the field " + def_.fields[field].name + " is named twice");
            columns_.push_back(field);
        }
        return true;
    }

    // The records of the next row; false at the end or on an error (then
    // error() is set).
    bool next(std::vector<Record>& records, std::size_t& line) {
        records.clear();
        if (!reader_.next(row_)) return reader_.failed() ? syntaxError() : false;
        line = row_.line;
        if (row_.fields.size() > columns_.size())
            return fail(line, "the row has " + std::to_string(row_.fields.size()) +
                                  " fields, the header names " + std::to_string(columns_.size()));
        Record record(def_);
        for (std::size_t i = 0; i < row_.fields.size(); ++i)
            if (std::string why = record.setFromDisplay(columns_[i], row_.fields[i]); !why.empty())
                return fail(line, why);
        if (!expand_) {
            records.push_back(std::move(record));
            return true;
        }
        if (std::string why = expand_(record, records); !why.empty()) return fail(line, why);
        return true;
    }

    bool fail(std::size_t line, const std::string& why) {
        error_ = source_ + ", line " + std::to_string(line) + ": " + why;
        return false;
    }
    const std::string& error() const { return error_; }

  private:
    bool syntaxError() { return fail(reader_.error().line, reader_.error().reason); }

    const TableDef& def_;
    CsvReader reader_;
    const std::string& source_;
    const CsvRowExpander& expand_;
    std::vector<int> columns_;
    CsvRow row_;
    std::string error_;
};

constexpr std::string_view kNothingLoaded = "; nothing was loaded";

CsvLoadResult failure(std::string why) {
    CsvLoadResult r;
    r.error = std::move(why);
    r.error += kNothingLoaded;
    return r;
}

std::string refused(const TableAccess& table, const std::string& source, std::size_t line) {
    return source + ", line " + std::to_string(line) + ": " + table.def().stem() +
           " refused the record";
}

// Text tables have no transactions: every row is read and checked before the
// first line is written.
CsvLoadResult loadTextTable(TableAccess& table, std::string_view text, const std::string& source,
                            const CsvRowExpander& expand) {
    std::vector<CsvRecord> records;
    if (std::string why = readCsvRecords(table.def(), text, source, records, expand); !why.empty())
        return failure(why);
    for (const CsvRecord& r : records) {
        table.record() = r.record;
        if (table.validateRecord() != result::Ok) return failure(refused(table, source, r.line));
    }
    if (table.open() != result::Ok)
        return failure(source + ": " + table.def().fileName + " could not be opened");
    CsvLoadResult loaded;
    for (const CsvRecord& r : records) {
        table.record() = r.record;
        if (table.add() != result::Ok) {
            table.close();
            loaded.error = refused(table, source, r.line) + "; the lines before it were written";
            return loaded;
        }
        ++loaded.added;
    }
    table.close();
    if (table.lastError()) {
        loaded.error = source + ": " + table.def().fileName +
                       " could not be written: " + describe(table.lastError());
        return loaded;
    }
    loaded.ok = true;
    return loaded;
}

} // namespace

std::string readCsvRecords(const TableDef& def, std::string_view text, const std::string& source,
                           std::vector<CsvRecord>& out, const CsvRowExpander& expand) {
    out.clear();
    CsvRecordSource rows(def, text, source, expand);
    if (!rows.start()) return rows.error();
    std::vector<Record> records;
    std::size_t line = 0;
    while (rows.next(records, line))
        for (Record& r : records)
            out.push_back({line, std::move(r)});
    return rows.error();
}

CsvLoadResult loadCsvText(TableAccess& table, std::string_view text, const std::string& source,
                          const CsvRowExpander& expand) {
    if (table.isText()) return loadTextTable(table, text, source, expand);

    CsvRecordSource rows(table.def(), text, source, expand);
    if (!rows.start()) return failure(rows.error());
    if (table.open() != result::Ok)
        return failure(source + ": " + table.def().fileName + " could not be opened");
    StorageSession& session = table.session();
    if (StorageError e = session.begin({table.file()})) {
        table.close();
        return failure(source + ": no transaction could be started on " + table.def().fileName +
                       ": " + describe(e));
    }
    CsvLoadResult loaded;
    std::vector<Record> records;
    std::size_t line = 0;
    std::string why;
    while (why.empty() && rows.next(records, line)) {
        for (const Record& r : records) {
            table.record() = r;
            if (table.add() != result::Ok) {
                why = refused(table, source, line);
                break;
            }
            ++loaded.added;
        }
    }
    if (why.empty()) why = rows.error();
    if (why.empty())
        if (StorageError e = session.commit())
            why = source + ": the records could not be saved in " + table.def().fileName + ": " +
                  describe(e);
    if (!why.empty()) {
        session.rollback();
        table.setStart();
        table.close();
        return failure(why);
    }
    table.setStart();
    table.close();
    loaded.ok = true;
    return loaded;
}

CsvLoadResult loadCsvFile(TableAccess& table, const std::string& path,
                          const CsvRowExpander& expand) {
    if (isOtherThanRegularFile(path)) return failure(path + ": is not a regular file");
    std::ifstream in(path, std::ios::binary);
    if (!in) return failure(path + ": cannot be read: " + std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return failure(path + ": cannot be read: " + std::strerror(errno));
    return loadCsvText(table, text.str(), path, expand);
}

} // namespace mvz
