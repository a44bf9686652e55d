#pragma once
// Drawing the pages of a page model with QPainter: on the screen (preview),
// on a printer and into a PDF file. Lengths of the model are tenths of a
// millimetre; a page is drawn scaled into a target rectangle.

#include <QString>

#include <vector>

#include "print/page_model.h"

class QPainter;
class QPagedPaintDevice;
class QRectF;

namespace mvz {

// Draws `page` into `target` (device coordinates), keeping its proportions
// by the target's width. Texts too small to read are drawn as grey bars.
void paintPage(QPainter& painter, const Page& page, const QRectF& target);

// Draws the pages numbered in `pages` (1-based) onto a printer or PDF writer,
// one device page each, at their own size and without margins. False when
// the device could not be painted on.
bool paintPages(QPagedPaintDevice& device, const PageModel& model, const std::vector<int>& pages);

// Writes the pages numbered in `pages` to a PDF file. On failure returns
// false with the reason in `error`.
bool writePdf(const PageModel& model, const std::vector<int>& pages, const QString& path,
              QString* error = nullptr);

} // namespace mvz
