#pragma once
// Drawing the empty fixed forms that pages A and B are printed into: boxes
// that take one character each, section bars, frames and captions. The
// empty form is drawn once into a layer that every page of the print shares;
// the values go into the boxes as texts set into cells (CellTextItem).

#include <memory>
#include <string>
#include <string_view>

#include "print/page_model.h"

namespace mvz::form {

// `count` boxes of `width` side by side, `height` high, for characters of
// `font`.
std::shared_ptr<const CellLayout> boxes(int count, int width, int height, const PageFont& font);

// The outline of every cell of `layout` placed at (x, y), as lines.
void drawCells(PageLayer& layer, int x, int y, const CellLayout& layout, int thickness = 2);

// A rectangle as four lines (so that it joins the lines drawn with it).
void drawFrame(PageLayer& layer, int x, int y, int width, int height, int thickness = 3);

// A section bar: grey, outlined, with its heading at the left and an
// optional note at the right.
void drawSectionBar(PageLayer& layer, int x, int y, int width, int height, std::string heading,
                    const PageFont& font, std::string note = {}, const PageFont& noteFont = {});

void drawText(PageLayer& layer, int x, int y, std::string text, const PageFont& font,
              TextAlign align = TextAlign::Left, int width = 0);

// The characters of a CP1250 text from `from` (0-based), at most `count` of
// them, padded with blanks to `count`.
std::string slice(std::string_view cp1250, std::size_t from, std::size_t count);

} // namespace mvz::form
