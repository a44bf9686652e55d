#include "data/text_table.h"

#include "base/picture.h"
#include "data/record.h"

namespace mvz {

namespace {

TextOpenMode textMode(ShareMode mode) {
    switch (mode) {
    case ShareMode::ReadOnly:
        return TextOpenMode::ReadOnly;
    case ShareMode::Exclusive:
        return TextOpenMode::Exclusive;
    default:
        return TextOpenMode::ReadWrite;
    }
}

// Comma-delimited decimals are written with the picture N-_w.d: w is twice
// the field's byte size plus one, d its decimals.
std::string csvValue(const Record& r, int field) {
    const FieldDef& f = r.def().fields[field];
    if (f.type != FieldType::Packed) return r.display(field);
    std::string pic = "N-_" + std::to_string(2 * f.size + 1) + "." + std::to_string(f.decimals);
    auto p = Picture::parse(pic);
    std::string s = p ? p->format(r.decimal(field)) : r.display(field);
    auto start = s.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : s.substr(start);
}

} // namespace

TextTable::TextTable(const TableDef& def) : def_(def) {}
TextTable::~TextTable() {
    close();
}

StorageError TextTable::open(const std::string& path, ShareMode mode) {
    close();
    path_ = path;
    readOnly_ = mode == ShareMode::ReadOnly;
    if (def_.kind == TableKind::CommaDelimited) {
        csv_ = std::make_unique<CsvFile>();
        if (!csv_->open(path, textMode(mode))) {
            StorageError e = csv_->lastError();
            csv_.reset();
            return e;
        }
        return {};
    }
    lines_ = std::make_unique<LineFile>(def_.recordLength);
    if (!lines_->open(path, textMode(mode))) {
        StorageError e = lines_->lastError();
        lines_.reset();
        return e;
    }
    return {};
}

StorageError TextTable::create(const std::string& path, mode_t mode) {
    LineFile f(1, 4096);
    if (!f.create(path, mode)) return f.lastError();
    return {};
}

void TextTable::close() {
    if (lines_) lines_->close();
    if (csv_) csv_->close();
    lines_.reset();
    csv_.reset();
}

StorageError TextTable::set() {
    bool ok = lines_ ? lines_->set() : csv_->set();
    if (!ok) return lines_ ? lines_->lastError() : csv_->lastError();
    return {};
}

StorageError TextTable::fromFields(const std::vector<std::string>& fields, Record& record) const {
    record.clear();
    for (size_t i = 0; i < fields.size() && i < def_.fields.size(); ++i) {
        std::string why = record.setFromDisplay(static_cast<int>(i), fields[i]);
        if (!why.empty()) return StorageError::of(err::UnsupportedDataType, path_ + ": " + why);
    }
    return {};
}

StorageError TextTable::next(Record& record) {
    if (lines_) {
        if (!lines_->next(record.data())) return lines_->lastError();
        return {};
    }
    std::vector<std::string> fields;
    if (!csv_->next(fields)) return csv_->lastError();
    return fromFields(fields, record);
}

StorageError TextTable::get(std::uint64_t position, Record& record) {
    if (lines_) {
        if (!lines_->get(position, record.data())) return lines_->lastError();
        return {};
    }
    std::vector<std::string> fields;
    if (!csv_->get(position, fields)) return csv_->lastError();
    return fromFields(fields, record);
}

std::uint64_t TextTable::position() const {
    return lines_ ? lines_->position() : csv_->position();
}

StorageError TextTable::add(const Record& record) {
    if (lines_) {
        if (!lines_->add(record.bytes())) return lines_->lastError();
        return {};
    }
    std::vector<std::string> fields;
    for (size_t i = 0; i < def_.fields.size(); ++i)
        fields.push_back(csvValue(record, static_cast<int>(i)));
    if (!csv_->add(fields)) return csv_->lastError();
    return {};
}

StorageError TextTable::flush() {
    if (lines_ && !lines_->flush()) return lines_->lastError();
    if (csv_ && !csv_->flush()) return csv_->lastError();
    return {};
}

StorageError TextTable::empty() {
    bool ok = lines_ ? lines_->empty() : csv_->empty();
    if (!ok) return lines_ ? lines_->lastError() : csv_->lastError();
    return {};
}

StorageError TextTable::count(std::int64_t& n) {
    n = 0;
    if (StorageError e = set()) return e;
    Record r(def_);
    StorageError e;
    while (!(e = next(r)))
        ++n;
    set();
    return e.code == err::RecordNotAvailable ? StorageError{} : e;
}

} // namespace mvz
