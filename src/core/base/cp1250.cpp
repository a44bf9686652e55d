#include "base/cp1250.h"

#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/utf8.h>

#include <array>
#include <stdexcept>
#include <vector>

namespace mvz {
namespace {

struct Utf8Bytes {
    char bytes[4];
    uint8_t length;
};

struct Cp1250Tables {
    std::array<char32_t, 256> toUnicode{};
    std::array<Utf8Bytes, 256> toUtf8{};
    // Indexed by code point up to the highest one the code page holds; -1 where
    // the code point has no byte.
    std::vector<int16_t> fromUnicode;
    std::array<char, 256> upper{};

    int find(char32_t cp) const { return cp < fromUnicode.size() ? fromUnicode[cp] : -1; }
};

Utf8Bytes utf8Of(char32_t cp) {
    Utf8Bytes out{};
    int32_t len = 0;
    U8_APPEND_UNSAFE(reinterpret_cast<uint8_t*>(out.bytes), len, static_cast<UChar32>(cp));
    out.length = static_cast<uint8_t>(len);
    return out;
}

Cp1250Tables buildTables() {
    Cp1250Tables t;
    UErrorCode status = U_ZERO_ERROR;
    UConverter* conv = ucnv_open("windows-1250", &status);
    if (U_FAILURE(status) || conv == nullptr)
        throw std::runtime_error("ICU has no windows-1250 converter");
    status = U_ZERO_ERROR; // the name is an alias; ICU warns, which is fine
    ucnv_setToUCallBack(conv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    for (int b = 0; b < 256; ++b) {
        char in = static_cast<char>(b);
        UChar out[4];
        UErrorCode st = U_ZERO_ERROR;
        ucnv_resetToUnicode(conv);
        int32_t n = ucnv_toUChars(conv, out, 4, &in, 1, &st);
        // A byte ICU leaves undefined keeps its Latin-1 value, like the
        // platform converter does with the holes of the code page.
        char32_t cp = (U_SUCCESS(st) && n == 1) ? out[0] : static_cast<char32_t>(b);
        t.toUnicode[b] = cp;
    }
    ucnv_close(conv);

    char32_t highest = 0;
    for (char32_t cp : t.toUnicode)
        highest = cp > highest ? cp : highest;
    t.fromUnicode.assign(highest + 1, -1);
    for (int b = 0; b < 256; ++b) {
        t.toUtf8[b] = utf8Of(t.toUnicode[b]);
        t.fromUnicode[t.toUnicode[b]] = static_cast<int16_t>(b);
    }
    for (int b = 0; b < 256; ++b) {
        auto up = static_cast<char32_t>(u_toupper(static_cast<UChar32>(t.toUnicode[b])));
        int byte = t.find(up);
        t.upper[b] = static_cast<char>(byte >= 0 ? byte : b);
    }
    return t;
}

const Cp1250Tables& tables() {
    static const Cp1250Tables t = buildTables();
    return t;
}

template <typename OnBad>
bool convertFromUtf8(std::string_view utf8, std::string& out, OnBad onBad) {
    const auto& t = tables();
    out.reserve(utf8.size());
    const auto* s = reinterpret_cast<const uint8_t*>(utf8.data());
    const auto length = static_cast<int32_t>(utf8.size());
    int32_t i = 0;
    while (i < length) {
        if (s[i] < 0x80) {
            out.push_back(static_cast<char>(s[i++]));
            continue;
        }
        UChar32 cp;
        U8_NEXT(s, i, length, cp);
        if (cp < 0) {
            if (!onBad(out)) return false;
            continue;
        }
        int byte = t.find(static_cast<char32_t>(cp));
        if (byte < 0) {
            if (!onBad(out)) return false;
            continue;
        }
        out.push_back(static_cast<char>(byte));
    }
    return true;
}

} // namespace

std::string cp1250ToUtf8(std::string_view cp1250) {
    const auto& t = tables();
    std::string out;
    out.reserve(cp1250.size() + cp1250.size() / 4);
    for (char c : cp1250) {
        auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out.push_back(c);
        else
            out.append(t.toUtf8[b].bytes, t.toUtf8[b].length);
    }
    return out;
}

std::optional<std::string> utf8ToCp1250(std::string_view utf8) {
    std::string out;
    if (!convertFromUtf8(utf8, out, [](std::string&) { return false; })) return std::nullopt;
    return out;
}

std::string utf8ToCp1250Lossy(std::string_view utf8, char replacement) {
    std::string out;
    convertFromUtf8(utf8, out, [replacement](std::string& o) {
        o.push_back(replacement);
        return true;
    });
    return out;
}

char toUpperCp1250(char c) {
    return tables().upper[static_cast<unsigned char>(c)];
}

std::string toUpperCp1250(std::string_view cp1250) {
    const auto& up = tables().upper;
    std::string out(cp1250);
    for (char& c : out)
        c = up[static_cast<unsigned char>(c)];
    return out;
}

} // namespace mvz
