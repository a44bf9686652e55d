#include "data/sort_value.h"

#include <cstring>
#include <memory>
#include <stdexcept>
#include <unicode/ucnv.h>
#include <unicode/ucol.h>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "data/record.h"

namespace mvz {

namespace {

struct CollatorDeleter {
    void operator()(UCollator* c) const { ucol_close(c); }
};

// One collator per thread: ICU collators are cheap to use but not meant to be
// shared between threads while they keep their work buffers.
UCollator* croatianCollator() {
    thread_local std::unique_ptr<UCollator, CollatorDeleter> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCollator* c = ucol_open("hr", &status);
        if (U_FAILURE(status)) throw std::runtime_error("Croatian collation is not available");
        ucol_setStrength(c, UCOL_IDENTICAL);
        return std::unique_ptr<UCollator, CollatorDeleter>(c);
    }();
    return collator.get();
}

// CP1250 byte to UTF-16, built once from the same table the text layer uses.
const char16_t* cp1250ToUtf16Table() {
    static const auto table = [] {
        static char16_t t[256];
        UErrorCode status = U_ZERO_ERROR;
        UConverter* cnv = ucnv_open("windows-1250", &status);
        for (int i = 0; i < 256; ++i) {
            char in = static_cast<char>(i);
            UChar out[2] = {0, 0};
            status = U_ZERO_ERROR;
            int n = ucnv_toUChars(cnv, out, 2, &in, 1, &status);
            t[i] = (U_SUCCESS(status) && n == 1) ? out[0] : u'\uFFFD';
        }
        ucnv_close(cnv);
        return t;
    }();
    return table;
}

} // namespace

void appendTextSortValue(std::string& out, std::string_view cp1250, bool noCase) {
    cp1250 = clipRight(cp1250);
    std::string upper;
    if (noCase) {
        upper = toUpperCp1250(cp1250);
        cp1250 = upper;
    }
    const char16_t* map = cp1250ToUtf16Table();
    UChar buf[512];
    const size_t n = std::min(cp1250.size(), sizeof buf / sizeof buf[0]);
    for (size_t i = 0; i < n; ++i)
        buf[i] = map[static_cast<unsigned char>(cp1250[i])];
    UCollator* c = croatianCollator();
    size_t start = out.size();
    out.resize(start + 4 * n + 64);
    int32_t len = ucol_getSortKey(c, buf, static_cast<int32_t>(n),
                                  reinterpret_cast<uint8_t*>(out.data() + start),
                                  static_cast<int32_t>(out.size() - start));
    if (len > static_cast<int32_t>(out.size() - start)) {
        out.resize(start + len);
        len = ucol_getSortKey(c, buf, static_cast<int32_t>(n),
                              reinterpret_cast<uint8_t*>(out.data() + start), len);
    }
    out.resize(start + len); // len counts the terminating 0x00
}

void appendIntegerSortValue(std::string& out, std::int64_t value, int bytes) {
    // Flip the sign bit so that negative numbers sort first, then big-endian.
    const int bits = bytes * 8;
    std::uint64_t u = static_cast<std::uint64_t>(value);
    if (bits < 64) u &= (std::uint64_t{1} << bits) - 1;
    u ^= std::uint64_t{1} << (bits - 1);
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

void appendRealSortValue(std::string& out, double value) {
    std::uint64_t u;
    std::memcpy(&u, &value, sizeof u);
    u = (u & (std::uint64_t{1} << 63)) ? ~u : u | (std::uint64_t{1} << 63);
    for (int i = 7; i >= 0; --i)
        out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

namespace {

void appendComponent(std::string& out, const FieldDef& f, const Record& r, int field, bool noCase) {
    switch (f.type) {
    case FieldType::Text:
        appendTextSortValue(out, r.text(field), noCase);
        break;
    case FieldType::Packed:
        appendIntegerSortValue(out, r.decimal(field).rescale(f.decimals).units(), 8);
        break;
    case FieldType::Real:
        appendRealSortValue(out, r.real(field));
        break;
    default:
        appendIntegerSortValue(out, r.integer(field), f.size);
        break;
    }
}

} // namespace

std::optional<std::string> keySortValue(const TableDef& table, const KeyDef& key,
                                        const Record& record) {
    if (key.omitBlank()) {
        bool allBlank = true;
        for (int fi : key.fields)
            if (!record.isBlankField(fi)) {
                allBlank = false;
                break;
            }
        if (allBlank) return std::nullopt;
    }
    return keyPrefixSortValue(table, key, record, key.fields.size());
}

std::string keyPrefixSortValue(const TableDef& table, const KeyDef& key, const Record& record,
                               std::size_t components) {
    std::string out;
    out.reserve(32);
    for (size_t i = 0; i < components && i < key.fields.size(); ++i) {
        int fi = key.fields[i];
        appendComponent(out, table.fields[fi], record, fi, key.noCase());
    }
    return out;
}

std::int64_t trailingIntegerOfSortValue(std::string_view value, int bytes) {
    if (value.size() < static_cast<size_t>(bytes)) return 0;
    std::uint64_t u = 0;
    for (size_t i = value.size() - bytes; i < value.size(); ++i)
        u = (u << 8) | static_cast<unsigned char>(value[i]);
    const int bits = bytes * 8;
    u ^= std::uint64_t{1} << (bits - 1);
    if (bits < 64 && (u & (std::uint64_t{1} << (bits - 1)))) u |= ~((std::uint64_t{1} << bits) - 1);
    return static_cast<std::int64_t>(u);
}

} // namespace mvz
