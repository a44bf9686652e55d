#include "data/csv_file.h"

namespace mvz {

void parseCsvLine(std::string_view line, std::vector<std::string>& fields) {
    fields.clear();
    std::size_t i = 0;
    for (;;) {
        std::string& field = fields.emplace_back();
        if (i < line.size() && line[i] == '"') {
            ++i;
            for (;;) {
                const std::size_t quote = line.find('"', i);
                if (quote == std::string_view::npos) { // left open: the rest is text
                    field.append(line.substr(i));
                    i = line.size();
                    break;
                }
                field.append(line.substr(i, quote - i));
                i = quote + 1;
                if (i < line.size() && line[i] == '"') {
                    field.push_back('"');
                    ++i;
                    continue;
                }
                break;
            }
        }
        const std::size_t comma = line.find(',', i);
        field.append(line.substr(i, comma == std::string_view::npos ? comma : comma - i));
        if (comma == std::string_view::npos) return;
        i = comma + 1;
    }
}

std::string formatCsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (k > 0) line.push_back(',');
        const std::string& field = fields[k];
        if (field.find_first_of(",\"\r") == std::string::npos) {
            line.append(field);
            continue;
        }
        line.push_back('"');
        for (char c : field) {
            if (c == '"') line.push_back('"');
            line.push_back(c);
        }
        line.push_back('"');
    }
    return line;
}

bool CsvFile::next(std::vector<std::string>& fields) {
    std::string_view line;
    if (!nextLine(line)) {
        fields.clear();
        return false;
    }
    parseCsvLine(line, fields);
    return true;
}

bool CsvFile::get(std::uint64_t offset, std::vector<std::string>& fields) {
    std::string_view line;
    if (!getLine(offset, line)) {
        fields.clear();
        return false;
    }
    parseCsvLine(line, fields);
    return true;
}

bool CsvFile::add(const std::vector<std::string>& fields) {
    // Reading would end the record (or the file) there, splitting the record.
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (fields[k].find_first_of("\n\x1a") != std::string::npos)
            return fail(StorageError::of(err::UnsupportedDataType,
                                         path() + ": field " + std::to_string(k + 1) +
                                             " holds a line feed or Ctrl-Z"));
    }
    return addLine(formatCsvLine(fields));
}

} // namespace mvz
