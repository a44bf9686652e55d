#include "data/csv_text.h"

namespace mvz {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isLineEnd(std::string_view text, std::size_t i) {
    return text[i] == '\n' || (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n');
}

// Steps over the line end at i (CR LF or LF).
std::size_t afterLineEnd(std::string_view text, std::size_t i) {
    return text[i] == '\r' ? i + 2 : i + 1;
}

} // namespace

CsvReader::CsvReader(std::string_view text) : text_(text) {
    if (text_.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text_.remove_prefix(kByteOrderMark.size());
}

bool CsvReader::fail(std::size_t line, std::string reason) {
    failed_ = true;
    error_ = {line, std::move(reason)};
    return false;
}

bool CsvReader::next(CsvRow& row) {
    row.fields.clear();
    if (failed_) return false;
    const std::string_view text = text_;
    std::size_t& i = pos_;
    while (i < text.size() && isLineEnd(text, i)) { // empty lines
        i = afterLineEnd(text, i);
        ++line_;
    }
    if (i >= text.size()) return false;
    row.line = line_;
    for (;;) {
        std::string field;
        if (text[i] == '"') {
            const std::size_t openedOn = line_;
            ++i;
            for (;;) {
                if (i >= text.size()) return fail(openedOn, "a quoted field is not closed");
                const char c = text[i++];
                if (c == '"') {
                    if (i < text.size() && text[i] == '"') {
                        field += '"';
                        ++i;
                        continue;
                    }
                    break;
                }
                if (c == '\n') ++line_;
                field += c;
            }
            if (i < text.size() && text[i] != ',' && !isLineEnd(text, i))
                return fail(line_, "text follows the closing quote of field " +
                                       std::to_string(row.fields.size() + 1));
        } else {
            while (i < text.size() && text[i] != ',' && !isLineEnd(text, i)) {
                if (text[i] == '"')
                    return fail(line_, "a quote inside the unquoted field " +
                                           std::to_string(row.fields.size() + 1) +
                                           " (a field holding quotes must be quoted, its quotes "
                                           "doubled)");
                field += text[i++];
            }
        }
        row.fields.push_back(std::move(field));
        if (i >= text.size()) return true;
        if (text[i] == ',') {
            ++i;
            // A comma at the very end of the text still opens a last, empty field.
            if (i >= text.size()) {
                row.fields.emplace_back();
                return true;
            }
            continue;
        }
        i = afterLineEnd(text, i);
        ++line_;
        return true;
    }
}

bool parseCsvText(std::string_view text, std::vector<CsvRow>& rows, CsvSyntaxError& error) {
    rows.clear();
    CsvReader reader(text);
    CsvRow row;
    while (reader.next(row))
        rows.push_back(row);
    if (reader.failed()) {
        error = reader.error();
        return false;
    }
    return true;
}

std::string csvField(std::string_view value) {
    bool quote = !value.empty() && (value.front() == ' ' || value.back() == ' ' ||
                                    value.front() == '\t' || value.back() == '\t');
    for (char c : value)
        if (c == ',' || c == '"' || c == '\n' || c == '\r') quote = true;
    if (!quote) return std::string(value);
    std::string out = "\"";
    for (char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string csvRecord(const std::vector<std::string>& fields) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) out += ',';
        out += csvField(fields[i]);
    }
    out += '\n';
    return out;
}

} // namespace mvz
