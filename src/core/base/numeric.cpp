#include "base/numeric.h"

#include "base/fixed_text.h"

#include <charconv>

namespace mvz {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

size_t skipDigits(std::string_view s, size_t i) {
    while (i < s.size() && isDigit(s[i]))
        ++i;
    return i;
}

} // namespace

bool isNumeric(std::string_view text) {
    std::string_view s = clipLeft(clipRight(text));
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t intEnd = skipDigits(s, i);
    size_t digits = intEnd - i;
    i = intEnd;
    if (i < s.size() && s[i] == '.') {
        size_t fracEnd = skipDigits(s, i + 1);
        digits += fracEnd - (i + 1);
        i = fracEnd;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        size_t expEnd = skipDigits(s, i);
        if (expEnd == i) return false;
        i = expEnd;
    }
    return i == s.size();
}

int digitValue(char c) {
    return isDigit(c) ? c - '0' : 0;
}

std::optional<long long> parseInteger(std::string_view text) {
    std::string_view s = trim(text);
    bool plus = !s.empty() && s.front() == '+';
    if (plus) s.remove_prefix(1);
    if (s.empty() || (!plus && s.front() != '-' && !isDigit(s.front()))) return std::nullopt;
    if (plus && !isDigit(s.front())) return std::nullopt;
    long long value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return value;
}

} // namespace mvz
