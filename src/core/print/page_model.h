#pragma once
// The pages of a report as drawing instructions, independent of any screen
// or printer: texts with their fonts, lines, boxes and the characters set
// into the cells of a fixed form, at positions measured in tenths of a
// millimetre from the page's top-left corner. Reports build pages in core;
// the preview, the printer and the PDF writer draw them.

#include <cstdint>
#include <memory>
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

// The cells of a fixed form that take one character each: their left edges
// (from the x of the item that fills them) and widths, their height, and the
// font of the characters set into them. One layout serves every line of the
// form that has the same cells.
struct CellLayout {
    struct Cell {
        int left = 0;
        int width = 0;
    };
    std::vector<Cell> cells;
    int height = 0;
    PageFont font;

    // `count` cells of `width` side by side from `left` on.
    void addBoxes(int left, int count, int width) {
        for (int i = 0; i < count; ++i)
            cells.push_back({left + i * width, width});
    }
};

// A text set into cells: its n-th character is centred in the n-th cell of
// the layout, whose top-left corner is at (x, y). Blanks leave their cell
// empty; characters beyond the last cell are not drawn.
struct CellTextItem {
    int x = 0;
    int y = 0;
    std::shared_ptr<const CellLayout> layout;
    std::string text; // UTF-8
};

using PageItem = std::variant<TextItem, LineItem, BoxItem, CellTextItem>;

// Items that several pages share, such as the empty form their values are
// filled into: made once, drawn under each page's own items.
using PageLayer = std::vector<PageItem>;

struct Page {
    int width = kA4Width;
    int height = kA4Height;
    std::shared_ptr<const PageLayer> underlay; // drawn first, when there is one
    std::vector<PageItem> items;               // drawn in this order

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
    void cells(int x, int y, std::shared_ptr<const CellLayout> layout, std::string s) {
        items.emplace_back(CellTextItem{x, y, std::move(layout), std::move(s)});
    }
};

struct PageModel {
    std::string title; // the report's heading, for window titles and file names
    std::vector<Page> pages;
};

} // namespace mvz
