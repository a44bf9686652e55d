#include "print/form_sheet.h"

#include <utility>

namespace mvz::form {

std::shared_ptr<const CellLayout> boxes(int count, int width, int height, const PageFont& font) {
    auto layout = std::make_shared<CellLayout>();
    layout->addBoxes(0, count, width);
    layout->height = height;
    layout->font = font;
    return layout;
}

void drawCells(PageLayer& layer, int x, int y, const CellLayout& layout, int thickness) {
    const int bottom = y + layout.height;
    // Cells that touch share their dividing line; a run of touching cells
    // is one top line and one bottom line.
    std::size_t i = 0;
    while (i < layout.cells.size()) {
        std::size_t end = i + 1;
        while (end < layout.cells.size() &&
               layout.cells[end].left == layout.cells[end - 1].left + layout.cells[end - 1].width)
            ++end;
        const int left = x + layout.cells[i].left;
        const int right = x + layout.cells[end - 1].left + layout.cells[end - 1].width;
        layer.emplace_back(LineItem{left, y, right, y, thickness});
        layer.emplace_back(LineItem{left, bottom, right, bottom, thickness});
        for (std::size_t c = i; c < end; ++c)
            layer.emplace_back(
                LineItem{x + layout.cells[c].left, y, x + layout.cells[c].left, bottom, thickness});
        layer.emplace_back(LineItem{right, y, right, bottom, thickness});
        i = end;
    }
}

void drawFrame(PageLayer& layer, int x, int y, int width, int height, int thickness) {
    layer.emplace_back(LineItem{x, y, x + width, y, thickness});
    layer.emplace_back(LineItem{x + width, y, x + width, y + height, thickness});
    layer.emplace_back(LineItem{x + width, y + height, x, y + height, thickness});
    layer.emplace_back(LineItem{x, y + height, x, y, thickness});
}

void drawSectionBar(PageLayer& layer, int x, int y, int width, int height, std::string heading,
                    const PageFont& font, std::string note, const PageFont& noteFont) {
    BoxItem bar{x, y, width, height, 3, true, 225};
    layer.emplace_back(bar);
    const int textY = y + (height - static_cast<int>(font.size * kTenthMmPerPoint * 1.15)) / 2;
    layer.emplace_back(TextItem{x + 20, textY, 0, std::move(heading), font, TextAlign::Left});
    if (!note.empty()) {
        const int noteY =
            y + (height - static_cast<int>(noteFont.size * kTenthMmPerPoint * 1.15)) / 2;
        layer.emplace_back(
            TextItem{x, noteY, width - 20, std::move(note), noteFont, TextAlign::Right});
    }
}

void drawText(PageLayer& layer, int x, int y, std::string text, const PageFont& font,
              TextAlign align, int width) {
    layer.emplace_back(TextItem{x, y, width, std::move(text), font, align});
}

std::string slice(std::string_view cp1250, std::size_t from, std::size_t count) {
    std::string out =
        from < cp1250.size() ? std::string(cp1250.substr(from, count)) : std::string();
    out.resize(count, ' ');
    return out;
}

} // namespace mvz::form
