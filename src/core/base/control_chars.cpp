#include "base/control_chars.h"

namespace mvz {

std::size_t findControlChar(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (isControlChar(static_cast<unsigned char>(text[i]))) return i;
    return std::string_view::npos;
}

std::string controlCharEscape(unsigned char c) {
    static constexpr char kHex[] = "0123456789abcdef";
    return {'\\', 'x', kHex[c >> 4], kHex[c & 0x0F]};
}

std::string escapeControlChars(std::string_view text, bool keepLineBreaks) {
    if (findControlChar(text) == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size() + 8);
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (isControlChar(c) && !(keepLineBreaks && c == '\n'))
            out += controlCharEscape(c);
        else
            out += ch;
    }
    return out;
}

} // namespace mvz
