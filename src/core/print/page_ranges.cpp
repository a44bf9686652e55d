#include "print/page_ranges.h"

#include <cstdint>

namespace mvz {

namespace {

// The part read as a number: digits between optional blanks; anything else
// reads as 0. Values beyond any page number are capped.
std::int64_t readNumber(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    if (s.empty()) return 0;
    std::int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return 0;
        if (v < 1'000'000'000) v = v * 10 + (c - '0');
    }
    return v;
}

bool itemSelects(std::string_view item, std::int64_t n) {
    auto dash = item.find('-');
    if (dash == std::string_view::npos) return readNumber(item) == n;
    std::int64_t a = readNumber(item.substr(0, dash));
    std::int64_t b = readNumber(item.substr(dash + 1));
    return a > 0 && b > 0 && a <= b && a <= n && n <= b;
}

} // namespace

std::string allPagesText(int pageCount) {
    return "1-" + std::to_string(pageCount);
}

bool pageSelected(std::string_view text, int page) {
    while (!text.empty()) {
        auto comma = text.find(',');
        std::string_view item = text.substr(0, comma);
        if (itemSelects(item, page)) return true;
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return false;
}

std::vector<int> selectedPages(std::string_view text, int pageCount) {
    std::vector<int> out;
    for (int n = 1; n <= pageCount; ++n)
        if (pageSelected(text, n)) out.push_back(n);
    return out;
}

} // namespace mvz
