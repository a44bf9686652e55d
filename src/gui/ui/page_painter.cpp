#include "ui/page_painter.h"

#include <QFileInfo>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <variant>

namespace mvz {

namespace {

// Below this height in device pixels a text is not worth rasterising.
constexpr double kSmallestTextPixels = 3.0;

QPageSize pageSizeOf(const Page& page) {
    return QPageSize(QSizeF(page.width / 10.0, page.height / 10.0), QPageSize::Millimeter,
                     QString(), QPageSize::ExactMatch);
}

Qt::Alignment alignmentOf(TextAlign a) {
    switch (a) {
    case TextAlign::Right:
        return Qt::AlignRight;
    case TextAlign::Center:
        return Qt::AlignHCenter;
    case TextAlign::Left:
        break;
    }
    return Qt::AlignLeft;
}

void paintText(QPainter& painter, const TextItem& t, const QPointF& origin, double scale) {
    if (t.text.empty()) return;
    const double pixels = t.font.size * kTenthMmPerPoint * scale;
    const double lineHeight = pixels * 1.3;
    const double x = origin.x() + t.x * scale;
    const double y = origin.y() + t.y * scale;
    const QString text = QString::fromStdString(t.text);
    if (pixels < kSmallestTextPixels) {
        // Thumbnails: a grey bar where the text stands.
        const double width =
            std::min<double>(text.size() * pixels * 0.5, t.width > 0 ? t.width * scale : 1e9);
        double left = x;
        if (t.width > 0 && t.align == TextAlign::Right) left = x + t.width * scale - width;
        if (t.width > 0 && t.align == TextAlign::Center) left = x + (t.width * scale - width) / 2;
        painter.fillRect(QRectF(left, y + pixels * 0.2, width, std::max(pixels * 0.7, 0.5)),
                         QColor(150, 150, 150));
        return;
    }
    QFont font(QString::fromStdString(t.font.name));
    // A fixed-pitch font stays fixed-pitch where its name is not installed:
    // its columns line up by character.
    if (t.font.name == kFixedPitchFont) font.setStyleHint(QFont::TypeWriter);
    font.setBold(t.font.bold);
    // Point sizes are taken against the device's resolution.
    const int dpi = std::max(1, painter.device()->logicalDpiY());
    font.setPointSizeF(pixels * 72.0 / dpi);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const double width = t.width > 0 ? t.width * scale : 1e6;
    painter.drawText(QRectF(x, y, width, lineHeight),
                     alignmentOf(t.width > 0 ? t.align : TextAlign::Left) | Qt::AlignTop |
                         Qt::TextDontClip | Qt::TextSingleLine,
                     text);
}

QPen penOf(int thickness, double scale) {
    QPen pen(Qt::black);
    pen.setWidthF(std::max(thickness * scale, 0.5));
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

} // namespace

void paintPage(QPainter& painter, const Page& page, const QRectF& target) {
    if (page.width <= 0 || page.height <= 0) return;
    const double scale = target.width() / page.width;
    const QPointF origin = target.topLeft();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const PageItem& item : page.items) {
        if (const auto* t = std::get_if<TextItem>(&item)) {
            paintText(painter, *t, origin, scale);
        } else if (const auto* l = std::get_if<LineItem>(&item)) {
            painter.setPen(penOf(l->thickness, scale));
            painter.drawLine(QPointF(origin.x() + l->x1 * scale, origin.y() + l->y1 * scale),
                             QPointF(origin.x() + l->x2 * scale, origin.y() + l->y2 * scale));
        } else if (const auto* b = std::get_if<BoxItem>(&item)) {
            if (b->thickness > 0)
                painter.setPen(penOf(b->thickness, scale));
            else
                painter.setPen(Qt::NoPen);
            painter.setBrush(b->filled ? QBrush(QColor(b->grey, b->grey, b->grey)) : Qt::NoBrush);
            painter.drawRect(QRectF(origin.x() + b->x * scale, origin.y() + b->y * scale,
                                    b->width * scale, b->height * scale));
        }
    }
    painter.restore();
}

bool paintPages(QPagedPaintDevice& device, const PageModel& model, const std::vector<int>& pages) {
    std::vector<const Page*> chosen;
    for (int n : pages)
        if (n >= 1 && n <= static_cast<int>(model.pages.size()))
            chosen.push_back(&model.pages[n - 1]);
    if (chosen.empty()) return false;
    device.setPageLayout(
        QPageLayout(pageSizeOf(*chosen.front()), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    if (!painter.begin(&device)) return false;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const Page& page = *chosen[i];
        if (i > 0) {
            device.setPageSize(pageSizeOf(page));
            if (!device.newPage()) return false;
        }
        // The whole sheet: the device's resolution over the page's width.
        const double scale = device.logicalDpiX() / 254.0;
        paintPage(painter, page, QRectF(0, 0, page.width * scale, page.height * scale));
    }
    return painter.end();
}

bool writePdf(const PageModel& model, const std::vector<int>& pages, const QString& path,
              QString* error) {
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setTitle(QString::fromStdString(model.title));
    writer.setCreator(QStringLiteral("mvz"));
    if (!paintPages(writer, model, pages)) {
        if (error) *error = QStringLiteral("Datoteka %1 se ne može zapisati.").arg(path);
        return false;
    }
    return QFileInfo(path).size() > 0;
}

} // namespace mvz
