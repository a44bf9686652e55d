#include "base/fixed_text.h"

#include <algorithm>
#include <cstring>

namespace mvz {

void setFixed(char* dst, size_t width, std::string_view src) {
    size_t n = std::min(width, src.size());
    if (n > 0) std::memcpy(dst, src.data(), n);
    if (width > n) std::memset(dst + n, ' ', width - n);
}

std::string fixed(std::string_view src, size_t width) {
    std::string out(width, ' ');
    setFixed(out.data(), width, src);
    return out;
}

std::string_view clipRight(std::string_view src) {
    size_t end = src.find_last_not_of(' ');
    return end == std::string_view::npos ? src.substr(0, 0) : src.substr(0, end + 1);
}

std::string_view clipLeft(std::string_view src) {
    size_t begin = src.find_first_not_of(' ');
    return begin == std::string_view::npos ? src.substr(src.size()) : src.substr(begin);
}

std::string_view trim(std::string_view src) {
    return clipLeft(clipRight(src));
}

bool equalIgnoringTrailingBlanks(std::string_view a, std::string_view b) {
    return clipRight(a) == clipRight(b);
}

bool isBlank(std::string_view src) {
    return src.find_first_not_of(' ') == std::string_view::npos;
}

std::string leftJustified(std::string_view src) {
    return fixed(clipLeft(src), src.size());
}

} // namespace mvz
