#pragma once
// The zoom settings of the report preview: the standard entries in the order
// the menu and the drop list show them, and zooms the user types.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mvz {

// Percentile values with a meaning of their own.
constexpr int kZoomTilePages = -2; // thumbnails, across x down pages
constexpr int kZoomPageWidth = -1; // one page as wide as the window

// The range of a zoom the user types, in percent.
constexpr int kMinUserZoom = 10;
constexpr int kMaxUserZoom = 500;

struct ZoomEntry {
    int percentile;
    std::string menuText;
    std::string statusText;
};

// Tile pages, page width, 50, 75, 100, 200 and 300 %.
const std::vector<ZoomEntry>& zoomTable();

// The index of the entry with this percentile, or -1.
int zoomIndexOf(int percentile);

// A zoom the user typed: a whole number of percent, optionally followed by
// "%" and by "Zoom" ("150", "150%", "150% Zoom"), within the range above.
std::optional<int> parseUserZoom(std::string_view typed);

// How a typed zoom is shown: "150% Zoom".
std::string userZoomText(int percent);

} // namespace mvz
