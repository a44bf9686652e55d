#include "print/zoom_table.h"

namespace mvz {

const std::vector<ZoomEntry>& zoomTable() {
    static const std::vector<ZoomEntry> table = {
        {kZoomTilePages, "Tile pages", "Zoom: Tile Pages"},
        {kZoomPageWidth, "Page Width", "Zoom: Page Width"},
        {50, "50% Zoom", "Zoom: 50%"},
        {75, "75% Zoom", "Zoom: 75%"},
        {100, "100% Zoom", "Zoom: 100%"},
        {200, "200% Zoom", "Zoom: 200%"},
        {300, "300% Zoom", "Zoom: 300%"},
    };
    return table;
}

int zoomIndexOf(int percentile) {
    const auto& table = zoomTable();
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].percentile == percentile) return static_cast<int>(i);
    return -1;
}

std::optional<int> parseUserZoom(std::string_view s) {
    auto skipBlanks = [&s] {
        while (!s.empty() && s.front() == ' ')
            s.remove_prefix(1);
    };
    skipBlanks();
    int value = 0;
    int digits = 0;
    while (!s.empty() && s.front() >= '0' && s.front() <= '9') {
        if (++digits > 4) return std::nullopt;
        value = value * 10 + (s.front() - '0');
        s.remove_prefix(1);
    }
    if (digits == 0) return std::nullopt;
    skipBlanks();
    if (!s.empty() && s.front() == '%') s.remove_prefix(1);
    skipBlanks();
    if (s.size() >= 4 && (s.substr(0, 4) == "Zoom" || s.substr(0, 4) == "zoom")) s.remove_prefix(4);
    skipBlanks();
    if (!s.empty()) return std::nullopt;
    if (value < kMinUserZoom || value > kMaxUserZoom) return std::nullopt;
    return value;
}

std::string userZoomText(int percent) {
    return std::to_string(percent) + "% Zoom";
}

} // namespace mvz
