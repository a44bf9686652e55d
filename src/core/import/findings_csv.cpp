#include "import/findings_csv.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

#include "data/csv_text.h"
#include "data/work_copy.h"

namespace mvz {

std::string findingsCsvHeader() {
    return "line,field,kind,name,message,start,end,value\r\n";
}

namespace {

// A spreadsheet runs a cell that begins with "=" or "@" as a formula: such a
// value is written after an apostrophe, which the spreadsheet shows as text.
// The values of valid fields never begin so.
std::string cell(const std::string& value) {
    if (!value.empty() && (value[0] == '=' || value[0] == '@')) return csvField("'" + value);
    return csvField(value);
}

} // namespace

std::string findingCsvRow(const Finding& f) {
    std::string row = std::to_string(f.line);
    row += ',';
    row += cell(f.field);
    row += ',';
    row += f.kind;
    row += ',';
    row += cell(f.name);
    row += ',';
    row += cell(f.message);
    row += ',';
    row += std::to_string(f.start);
    row += ',';
    row += std::to_string(f.end);
    row += ',';
    row += cell(f.value);
    row += "\r\n";
    return row;
}

FindingsCsv::~FindingsCsv() {
    abandon();
}

bool FindingsCsv::open(const std::string& path) {
    abandon();
    error_.clear();
    rows_ = 0;
    path_ = path;
    // What a killed check left for the same file goes first.
    removeLeftoversOf(path);
    partPath_ = partName(path);
    file_ = std::fopen(partPath_.c_str(), "wb");
    if (!file_) {
        error_ = std::strerror(errno);
        return false;
    }
    const std::string header = findingsCsvHeader();
    std::fwrite(header.data(), 1, header.size(), file_);
    return true;
}

void FindingsCsv::add(const Finding& finding) {
    if (!file_) return;
    const std::string row = findingCsvRow(finding);
    std::fwrite(row.data(), 1, row.size(), file_);
    ++rows_;
}

bool FindingsCsv::finish() {
    if (!file_) return false;
    const bool written = !std::ferror(file_);
    const int e = errno;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!written || !closed) {
        error_ = std::strerror(written ? errno : e);
        std::remove(partPath_.c_str());
        return false;
    }
    if (std::rename(partPath_.c_str(), path_.c_str()) != 0) {
        error_ = std::strerror(errno);
        std::remove(partPath_.c_str());
        return false;
    }
    return true;
}

void FindingsCsv::abandon() {
    if (!file_) return;
    std::fclose(file_);
    file_ = nullptr;
    std::remove(partPath_.c_str());
}

} // namespace mvz
