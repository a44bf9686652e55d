#pragma once
// The pages of a report as drawing instructions, independent of any screen
// or printer: texts with their fonts, lines and boxes at positions measured
// in tenths of a millimetre from the page's top-left corner. Reports build
// pages in core; the preview, the printer and the PDF writer draw them.

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace mvz {

// Lengths of a page model, in tenths of a millimetre.
constexpr int kA4Width = 2100;
constexpr int kA4Height = 2970;
// Tenths of a millimetre per typographic point (1/72 inch).
constexpr double kTenthMmPerPoint = 254.0 / 72.0;

struct PageFont {
    std::string name = "Arial";
    double size = 10; // points
    bool bold = false;
    friend bool operator==(const PageFont&, const PageFont&) = default;
};

// The fixed-pitch font of lines laid out by character position.
inline constexpr const char* kFixedPitchFont = "Courier New";

enum class TextAlign { Left, Right, Center };

// One line of text. `y` is the top of the line. With a width the text is
// aligned within [x, x + width]; without one (0) it starts at x.
struct TextItem {
    int x = 0;
    int y = 0;
    int width = 0;
    std::string text; // UTF-8
    PageFont font;
    TextAlign align = TextAlign::Left;
};

struct LineItem {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    int thickness = 2;
};

// A rectangle, outlined (thickness > 0) and optionally filled with a grey
// level (0 black .. 255 white).
struct BoxItem {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int thickness = 2;
    bool filled = false;
    std::uint8_t grey = 230;
};

using PageItem = std::variant<TextItem, LineItem, BoxItem>;

struct Page {
    int width = kA4Width;
    int height = kA4Height;
    std::vector<PageItem> items; // drawn in this order

    void text(int x, int y, std::string s, const PageFont& font = {},
              TextAlign align = TextAlign::Left, int width = 0) {
        items.emplace_back(TextItem{x, y, width, std::move(s), font, align});
    }
    void line(int x1, int y1, int x2, int y2, int thickness = 2) {
        items.emplace_back(LineItem{x1, y1, x2, y2, thickness});
    }
    void box(int x, int y, int width, int height, int thickness = 2) {
        items.emplace_back(BoxItem{x, y, width, height, thickness});
    }
};

struct PageModel {
    std::string title; // the report's heading, for window titles and file names
    std::vector<Page> pages;
};

} // namespace mvz
