#include "ui/page_canvas.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "print/zoom_table.h"
#include "ui/page_painter.h"

namespace mvz {

namespace {

constexpr int kGap = 12; // pixels around and between pages

} // namespace

PageCanvas::PageCanvas(const PageModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(pal);
}

void PageCanvas::setView(int first, int across, int down, int zoom, QSize viewport) {
    first_ = first;
    across_ = std::max(1, across);
    down_ = std::max(1, down);
    zoom_ = zoom;
    viewport_ = viewport;
    layoutPages();
    update();
}

void PageCanvas::layoutPages() {
    placed_.clear();
    const int count = static_cast<int>(model_.pages.size());
    if (count == 0 || first_ < 1 || first_ > count) {
        resize(viewport_);
        return;
    }
    const Page& page = model_.pages[first_ - 1];
    if (zoom_ == kZoomTilePages) {
        // Cells of equal size; each page fitted into its cell.
        const double cellW = std::max(1.0, double(viewport_.width() - kGap) / across_ - kGap);
        const double cellH = std::max(1.0, double(viewport_.height() - kGap) / down_ - kGap);
        for (int row = 0; row < down_; ++row)
            for (int col = 0; col < across_; ++col) {
                const int n = first_ + row * across_ + col;
                if (n > count) break;
                const Page& p = model_.pages[n - 1];
                const double s = std::min(cellW / p.width, cellH / p.height);
                const double w = p.width * s;
                const double h = p.height * s;
                const double x = kGap + col * (cellW + kGap) + (cellW - w) / 2;
                const double y = kGap + row * (cellH + kGap) + (cellH - h) / 2;
                placed_.push_back({n, QRectF(x, y, w, h)});
                if (n == first_) scale_ = s;
            }
        resize(viewport_);
        return;
    }
    if (zoom_ == kZoomPageWidth)
        scale_ = std::max(0.01, double(viewport_.width() - 2 * kGap) / page.width);
    else
        scale_ = logicalDpiX() / 254.0 * zoom_ / 100.0;
    const QRectF rect(kGap, kGap, page.width * scale_, page.height * scale_);
    placed_.push_back({first_, rect});
    resize(std::max(viewport_.width(), int(rect.right()) + kGap),
           std::max(viewport_.height(), int(rect.bottom()) + kGap));
}

int PageCanvas::pageAt(QPoint point) const {
    for (const Placed& p : placed_)
        if (p.rect.contains(point)) return p.page;
    return 0;
}

void PageCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    for (const Placed& p : placed_) {
        if (!p.rect.intersects(QRectF(event->rect()))) continue;
        painter.fillRect(p.rect.translated(3, 3), QColor(60, 60, 60));
        painter.fillRect(p.rect, Qt::white);
        paintPage(painter, model_.pages[p.page - 1], p.rect);
        if (zoom_ == kZoomTilePages && p.page == first_ && placed_.size() > 1) {
            painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(p.rect.adjusted(-2, -2, 2, 2));
        }
    }
}

void PageCanvas::mousePressEvent(QMouseEvent* event) {
    if (int n = pageAt(event->position().toPoint())) emit pageClicked(n);
    QWidget::mousePressEvent(event);
}

void PageCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
    if (int n = pageAt(event->position().toPoint())) emit pageDoubleClicked(n);
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace mvz
