#include "base/plain_name.h"

#include <array>
#include <cstdint>
#include <utility>

namespace mvz {

namespace {

// Letters with marks that the registry's code page holds, and their plain forms.
constexpr std::array<std::pair<std::string_view, char>, 14> kFolded{{
    {"č", 'c'},
    {"Č", 'c'},
    {"ć", 'c'},
    {"Ć", 'c'},
    {"đ", 'd'},
    {"Đ", 'd'},
    {"š", 's'},
    {"Š", 's'},
    {"ž", 'z'},
    {"Ž", 'z'},
    {"ä", 'a'},
    {"ö", 'o'},
    {"ü", 'u'},
    {"ß", 's'},
}};

} // namespace

std::string plainName(std::string_view utf8) {
    std::string out;
    bool gap = false;
    for (std::size_t i = 0; i < utf8.size();) {
        char plain = 0;
        std::size_t step = 1;
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) plain = static_cast<char>(c);
            if (c >= 'A' && c <= 'Z') plain = static_cast<char>(c - 'A' + 'a');
        } else {
            step = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
            for (const auto& [letter, folded] : kFolded)
                if (utf8.substr(i, letter.size()) == letter) {
                    plain = folded;
                    step = letter.size();
                }
        }
        i += step;
        if (!plain) {
            gap = true;
            continue;
        }
        if (gap && !out.empty()) out += '-';
        gap = false;
        out += plain;
    }
    return out;
}

std::string reportFileName(std::string_view title, std::string_view isoDay,
                           std::string_view extension) {
    std::string name = plainName(title);
    if (name.empty()) name = "ispis";
    if (!isoDay.empty()) name += "-" + std::string(isoDay);
    return name + std::string(extension);
}

} // namespace mvz
