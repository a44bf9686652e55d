#include "shell/shell_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <functional>

namespace mvz {

namespace {

// Every icon is drawn on a 32 x 32 canvas and scaled to the size asked for.
using Drawing = std::function<void(QPainter&)>;

const QColor kNavigation(0x1f, 0x4e, 0x9e);
const QColor kGreen(0x2e, 0x8b, 0x3e);
const QColor kRed(0xc6, 0x28, 0x28);
const QColor kInk(0x33, 0x33, 0x33);

QPixmap render(const Drawing& draw, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    draw(p);
    return pixmap;
}

QIcon iconOf(const Drawing& draw) {
    QIcon icon;
    for (int size : {16, 20, 24, 32, 48})
        icon.addPixmap(render(draw, size));
    return icon;
}

void triangle(QPainter& p, QPointF a, QPointF b, QPointF c, const QColor& color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF({a, b, c}));
}

void bar(QPainter& p, qreal x) {
    p.setPen(Qt::NoPen);
    p.setBrush(kNavigation);
    p.drawRect(QRectF(x, 7, 4, 18));
}

// Left- and right-pointing triangles of the navigation icons, tip at `tipX`.
void left(QPainter& p, qreal tipX) {
    triangle(p, {tipX, 16}, {tipX + 11, 6}, {tipX + 11, 26}, kNavigation);
}
void right(QPainter& p, qreal tipX) {
    triangle(p, {tipX, 16}, {tipX - 11, 6}, {tipX - 11, 26}, kNavigation);
}

void magnifier(QPainter& p) {
    p.setBrush(QColor(0xdd, 0xea, 0xf7));
    p.setPen(QPen(kNavigation, 3));
    p.drawEllipse(QPointF(13, 13), 8, 8);
    p.setPen(QPen(kInk, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 19), QPointF(27, 27));
}

void checkMark(QPainter& p) {
    p.setPen(QPen(kGreen, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(6, 17);
    path.lineTo(13, 24);
    path.lineTo(26, 8);
    p.drawPath(path);
}

void plus(QPainter& p) {
    p.setPen(QPen(kGreen, 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 6), QPointF(16, 26));
    p.drawLine(QPointF(6, 16), QPointF(26, 16));
}

void pencil(QPainter& p) {
    p.translate(16, 16);
    p.rotate(45);
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(0xf2, 0xb1, 0x34));
    p.drawRect(QRectF(-4, -14, 8, 20));
    p.setBrush(QColor(0xf0, 0xd9, 0xb5));
    p.drawPolygon(QPolygonF({QPointF(-4, 6), QPointF(4, 6), QPointF(0, 14)}));
    p.setBrush(QColor(0xe5, 0x8a, 0x9a));
    p.drawRect(QRectF(-4, -14, 8, 4));
}

void cross(QPainter& p) {
    p.setPen(QPen(kRed, 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(24, 24));
    p.drawLine(QPointF(24, 8), QPointF(8, 24));
}

void ditto(QPainter& p) {
    // Two raised strokes: the ditto mark, "the same as above".
    p.setPen(QPen(kNavigation, 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 8), QPointF(8, 18));
    p.drawLine(QPointF(20, 8), QPointF(18, 18));
    p.setPen(QPen(kInk, 2));
    p.drawLine(QPointF(5, 26), QPointF(27, 26));
}

void question(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kNavigation);
    p.drawEllipse(QPointF(16, 16), 14, 14);
    p.setPen(Qt::white);
    QFont font;
    font.setBold(true);
    font.setPixelSize(22);
    p.setFont(font);
    p.drawText(QRectF(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("?"));
}

// A form sheet with ruled lines and a header band.
void sheet(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kInk, r.width() / 24));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(kNavigation);
    p.drawRect(QRectF(r.left(), r.top(), r.width(), r.height() * 0.18));
    p.setPen(QPen(QColor(0x90, 0x90, 0x90), r.height() / 40));
    for (int i = 1; i <= 5; ++i) {
        const qreal y = r.top() + r.height() * (0.22 + 0.13 * i);
        p.drawLine(QPointF(r.left() + r.width() * 0.12, y),
                   QPointF(r.right() - r.width() * 0.12, y));
    }
}

Drawing drawingOf(std::string_view name) {
    if (name == "VCRFIRST") return [](QPainter& p) { bar(p, 6), left(p, 12); };
    if (name == "VCRPRIOR") return [](QPainter& p) { left(p, 4), left(p, 16); };
    if (name == "VCRUP")
        return [](QPainter& p) { triangle(p, {16, 6}, {5, 24}, {27, 24}, kNavigation); };
    if (name == "FIND") return magnifier;
    if (name == "VCRDOWN")
        return [](QPainter& p) { triangle(p, {16, 26}, {5, 8}, {27, 8}, kNavigation); };
    if (name == "VCRNEXT") return [](QPainter& p) { right(p, 16), right(p, 28); };
    if (name == "VCRLAST") return [](QPainter& p) { right(p, 20), bar(p, 22); };
    if (name == "SELECT") return checkMark;
    if (name == "ADD") return plus;
    if (name == "CHANGE") return pencil;
    if (name == "DELETE") return cross;
    if (name == "DITTO") return ditto;
    if (name == "HELP") return question;
    return {};
}

QPixmap picture(int width, int height, const QString& caption) {
    QPixmap pixmap(width, height);
    pixmap.fill(QColor(0xee, 0xf3, 0xfa));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal h = height * 0.7;
    sheet(p, QRectF(width * 0.08, height * 0.12, h * 0.75, h));
    p.setPen(kNavigation);
    QFont font;
    font.setBold(true);
    font.setPixelSize(int(height * 0.2));
    p.setFont(font);
    p.drawText(QRectF(width * 0.1 + h * 0.75, 0, width * 0.9 - h * 0.75, height), Qt::AlignCenter,
               caption);
    return pixmap;
}

} // namespace

QIcon toolbarIcon(std::string_view name) {
    Drawing draw = drawingOf(name);
    return draw ? iconOf(draw) : QIcon();
}

QIcon programIcon() {
    return iconOf([](QPainter& p) { sheet(p, QRectF(5, 2, 22, 28)); });
}

QPixmap creditPicture() {
    return picture(320, 120, QStringLiteral("M-Vz"));
}

QPixmap aboutPicture() {
    // The sheet with the project's name under it.
    QPixmap pixmap(84, 104);
    pixmap.fill(QColor(0xee, 0xf3, 0xfa));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    sheet(p, QRectF(18, 8, 48, 64));
    p.setPen(kNavigation);
    QFont font;
    font.setBold(true);
    font.setPixelSize(18);
    p.setFont(font);
    p.drawText(QRectF(0, 74, 84, 26), Qt::AlignCenter, QStringLiteral("mvz"));
    return pixmap;
}

} // namespace mvz
