#include "ui/page_painter.h"

#include <QFileInfo>
#include <QFont>
#include <QGlyphRun>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>

#include <algorithm>
#include <memory>
#include <string_view>
#include <unordered_map>
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

double pixelsOf(const TextItem& t, double scale) {
    return t.font.size * kTenthMmPerPoint * scale;
}

QFont fontOf(const PageFont& f, double pixels, const QPaintDevice& device) {
    QFont font(QString::fromStdString(f.name));
    // A fixed-pitch font stays fixed-pitch where its name is not installed:
    // its columns line up by character.
    if (f.name == kFixedPitchFont) font.setStyleHint(QFont::TypeWriter);
    font.setBold(f.bold);
    // Point sizes are taken against the device's resolution.
    const int dpi = std::max(1, device.logicalDpiY());
    font.setPointSizeF(pixels * 72.0 / dpi);
    return font;
}

// Thumbnails: a grey bar where the text stands.
void paintTextBar(QPainter& painter, const TextItem& t, const QPointF& origin, double scale) {
    const double pixels = pixelsOf(t, scale);
    const double x = origin.x() + t.x * scale;
    const double y = origin.y() + t.y * scale;
    const double chars = static_cast<double>(QString::fromStdString(t.text).size());
    const double width =
        std::min<double>(chars * pixels * 0.5, t.width > 0 ? t.width * scale : 1e9);
    double left = x;
    if (t.width > 0 && t.align == TextAlign::Right) left = x + t.width * scale - width;
    if (t.width > 0 && t.align == TextAlign::Center) left = x + (t.width * scale - width) / 2;
    painter.fillRect(QRectF(left, y + pixels * 0.2, width, std::max(pixels * 0.7, 0.5)),
                     QColor(150, 150, 150));
}

// A text laid out by Qt's text layout, which also finds characters the font
// lacks in another font.
void paintLaidOutText(QPainter& painter, const TextItem& t, const QPointF& origin, double scale) {
    const double pixels = pixelsOf(t, scale);
    const double x = origin.x() + t.x * scale;
    const double y = origin.y() + t.y * scale;
    painter.setFont(fontOf(t.font, pixels, *painter.device()));
    painter.setPen(Qt::black);
    const double width = t.width > 0 ? t.width * scale : 1e6;
    painter.drawText(QRectF(x, y, width, pixels * 1.3),
                     alignmentOf(t.width > 0 ? t.align : TextAlign::Left) | Qt::AlignTop |
                         Qt::TextDontClip | Qt::TextSingleLine,
                     QString::fromStdString(t.text));
}

// The next code point of UTF-8 text at `i` (a broken sequence gives U+FFFD).
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(s[i++]);
    if (lead < 0x80) return lead;
    const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (more < 0) return 0xFFFD;
    char32_t c = lead & (0x3F >> more);
    for (int k = 0; k < more; ++k) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0xFFFD;
        c = (c << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    return c;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Texts drawn as runs of glyphs. Laying each text out anew (itemising and
// shaping it) costs more than everything else of a long list, and a device
// page of a PDF file or a printer takes every call separately; so each
// character's glyph and advance are looked up once per font and size, and
// the texts of one font that follow one another on a page go to the device
// as one run. A text with a character its font lacks is laid out by Qt (it
// finds another font for it). The runs keep their fonts from page to page.
class TextRuns {
  public:
    explicit TextRuns(QPainter& painter) : painter_(painter) {}

    void draw(const TextItem& t, const QPointF& origin, double scale) {
        const double pixels = pixelsOf(t, scale);
        Face& face = faceOf(t.font, pixels);
        // The glyphs of the text after those waiting in the run.
        if (&face != pending_) flush();
        const qsizetype start = glyphs_.size();
        // Blanks only move on; trailing ones do not count in the alignment.
        double advance = 0, inked = 0;
        for (std::size_t i = 0; i < t.text.size();) {
            const char32_t c = nextCodePoint(t.text, i);
            const Glyph g = face.glyph(c);
            if (g.index == 0) {
                glyphs_.resize(start);
                positions_.resize(start);
                flush();
                paintLaidOutText(painter_, t, origin, scale);
                return;
            }
            if (c != U' ' && c != U'\u00A0') {
                glyphs_.push_back(g.index);
                positions_.push_back(QPointF(advance, 0));
                inked = advance + g.advance;
            }
            advance += g.advance;
        }
        double left = origin.x() + t.x * scale;
        if (t.width > 0 && t.align == TextAlign::Right) left += t.width * scale - inked;
        if (t.width > 0 && t.align == TextAlign::Center) left += (t.width * scale - inked) / 2;
        const double baseline = origin.y() + t.y * scale + face.ascent;
        for (qsizetype k = start; k < positions_.size(); ++k)
            positions_[k] += QPointF(left, baseline);
        pending_ = &face;
    }

    // The characters of a text set into the cells of a form, each centred in
    // its cell. A character the font lacks is laid out by Qt in its cell.
    void drawCells(const CellTextItem& t, const QPointF& origin, double scale) {
        const CellLayout& layout = *t.layout;
        const double pixels = layout.font.size * kTenthMmPerPoint * scale;
        Face& face = faceOf(layout.font, pixels);
        if (&face != pending_) flush();
        const double top = origin.y() + t.y * scale;
        const double baseline =
            top + (layout.height * scale - (face.ascent + face.descent)) / 2 + face.ascent;
        std::size_t cell = 0;
        for (std::size_t i = 0; i < t.text.size() && cell < layout.cells.size(); ++cell) {
            const char32_t c = nextCodePoint(t.text, i);
            if (c == U' ' || c == U'\u00A0') continue;
            const CellLayout::Cell& box = layout.cells[cell];
            const double centre = origin.x() + (t.x + box.left + box.width / 2.0) * scale;
            const Glyph g = face.glyph(c);
            if (g.index == 0) {
                flush();
                TextItem one{t.x + box.left, 0,           box.width,
                             std::string(),  layout.font, TextAlign::Center};
                one.y = static_cast<int>(t.y + (layout.height - pixels / scale * 1.15) / 2);
                appendUtf8(one.text, c);
                paintLaidOutText(painter_, one, origin, scale);
                continue;
            }
            glyphs_.push_back(g.index);
            positions_.push_back(QPointF(centre - g.advance / 2, baseline));
            pending_ = &face;
        }
    }

    // Draws the run waiting; before anything else is drawn and at a page's end.
    void flush() {
        if (pending_ && !glyphs_.isEmpty()) {
            QGlyphRun run;
            run.setRawFont(pending_->raw);
            run.setGlyphIndexes(glyphs_);
            run.setPositions(positions_);
            painter_.setPen(Qt::black);
            painter_.drawGlyphRun(QPointF(0, 0), run);
        }
        glyphs_.clear();
        positions_.clear();
        pending_ = nullptr;
    }

  private:
    struct Glyph {
        quint32 index = 0; // 0: the font has no glyph for the character
        double advance = 0;
        bool known = false;
    };

    struct Face {
        PageFont font;
        double pixels = 0;
        QRawFont raw;
        double ascent = 0;
        double descent = 0;
        // Latin letters (Croatian ones included) by code point, others hashed.
        std::vector<Glyph> latin = std::vector<Glyph>(0x250);
        std::unordered_map<char32_t, Glyph> other;

        Glyph glyph(char32_t c) {
            Glyph& g = c < latin.size() ? latin[c] : other[c];
            if (g.known) return g;
            g.known = true;
            const QList<quint32> found = raw.glyphIndexesForString(QString::fromUcs4(&c, 1));
            if (found.size() == 1 && found.front() != 0) {
                g.index = found.front();
                g.advance = raw.advancesForGlyphIndexes(found).value(0).x();
            }
            return g;
        }
    };

    Face& faceOf(const PageFont& font, double pixels) {
        if (last_ && last_->pixels == pixels && last_->font == font) return *last_;
        for (const std::unique_ptr<Face>& f : faces_)
            if (f->pixels == pixels && f->font == font) return *(last_ = f.get());
        auto face = std::make_unique<Face>();
        face->font = font;
        face->pixels = pixels;
        face->raw = QRawFont::fromFont(fontOf(font, pixels, *painter_.device()));
        face->raw.setPixelSize(pixels);
        face->ascent = face->raw.ascent();
        face->descent = face->raw.descent();
        last_ = face.get();
        faces_.push_back(std::move(face));
        return *last_;
    }

    QPainter& painter_;
    std::vector<std::unique_ptr<Face>> faces_;
    Face* last_ = nullptr;
    Face* pending_ = nullptr;
    QList<quint32> glyphs_;
    QList<QPointF> positions_;
};

QPen penOf(int thickness, double scale) {
    QPen pen(Qt::black);
    pen.setWidthF(std::max(thickness * scale, 0.5));
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

// Thumbnails: a grey bar over the cells that hold characters.
void paintCellsBar(QPainter& painter, const CellTextItem& t, const QPointF& origin, double scale) {
    const CellLayout& layout = *t.layout;
    std::size_t cell = 0;
    for (std::size_t i = 0; i < t.text.size() && cell < layout.cells.size(); ++cell) {
        const char32_t c = nextCodePoint(t.text, i);
        if (c == U' ') continue;
        const CellLayout::Cell& box = layout.cells[cell];
        painter.fillRect(QRectF(origin.x() + (t.x + box.left + box.width * 0.2) * scale,
                                origin.y() + (t.y + layout.height * 0.3) * scale,
                                std::max(box.width * 0.6 * scale, 0.5),
                                std::max(layout.height * 0.4 * scale, 0.5)),
                         QColor(150, 150, 150));
    }
}

// Lines of one thickness that follow one another go to the device in one
// call: a form's grid is hundreds of them on every page.
class LineRuns {
  public:
    explicit LineRuns(QPainter& painter) : painter_(painter) {}

    void draw(const LineItem& l, const QPointF& origin, double scale) {
        if (!lines_.isEmpty() && l.thickness != thickness_) flush();
        thickness_ = l.thickness;
        lines_.append(QLineF(origin.x() + l.x1 * scale, origin.y() + l.y1 * scale,
                             origin.x() + l.x2 * scale, origin.y() + l.y2 * scale));
        scale_ = scale;
    }

    void flush() {
        if (lines_.isEmpty()) return;
        painter_.setPen(penOf(thickness_, scale_));
        painter_.drawLines(lines_);
        lines_.clear();
    }

  private:
    QPainter& painter_;
    QList<QLineF> lines_;
    int thickness_ = 0;
    double scale_ = 1;
};

void paintItems(QPainter& painter, TextRuns& texts, const std::vector<PageItem>& items,
                const QPointF& origin, double scale) {
    LineRuns lines(painter);
    for (const PageItem& item : items) {
        if (const auto* l = std::get_if<LineItem>(&item)) {
            texts.flush();
            lines.draw(*l, origin, scale);
            continue;
        }
        lines.flush();
        if (const auto* t = std::get_if<TextItem>(&item)) {
            if (t->text.empty()) continue;
            if (pixelsOf(*t, scale) < kSmallestTextPixels) {
                texts.flush();
                paintTextBar(painter, *t, origin, scale);
            } else {
                texts.draw(*t, origin, scale);
            }
            continue;
        }
        if (const auto* c = std::get_if<CellTextItem>(&item)) {
            if (c->text.empty() || !c->layout) continue;
            if (c->layout->font.size * kTenthMmPerPoint * scale < kSmallestTextPixels) {
                texts.flush();
                paintCellsBar(painter, *c, origin, scale);
            } else {
                texts.drawCells(*c, origin, scale);
            }
            continue;
        }
        texts.flush();
        if (const auto* b = std::get_if<BoxItem>(&item)) {
            if (b->thickness > 0)
                painter.setPen(penOf(b->thickness, scale));
            else
                painter.setPen(Qt::NoPen);
            painter.setBrush(b->filled ? QBrush(QColor(b->grey, b->grey, b->grey)) : Qt::NoBrush);
            painter.drawRect(QRectF(origin.x() + b->x * scale, origin.y() + b->y * scale,
                                    b->width * scale, b->height * scale));
        }
    }
    lines.flush();
    texts.flush();
}

void paintPageWith(QPainter& painter, TextRuns& texts, const Page& page, const QRectF& target) {
    if (page.width <= 0 || page.height <= 0) return;
    const double scale = target.width() / page.width;
    const QPointF origin = target.topLeft();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    if (page.underlay) paintItems(painter, texts, *page.underlay, origin, scale);
    paintItems(painter, texts, page.items, origin, scale);
    painter.restore();
}

} // namespace

void paintPage(QPainter& painter, const Page& page, const QRectF& target) {
    TextRuns texts(painter);
    paintPageWith(painter, texts, page, target);
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
    TextRuns texts(painter);
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const Page& page = *chosen[i];
        if (i > 0) {
            device.setPageSize(pageSizeOf(page));
            if (!device.newPage()) return false;
        }
        // The whole sheet: the device's resolution over the page's width.
        const double scale = device.logicalDpiX() / 254.0;
        paintPageWith(painter, texts, page, QRectF(0, 0, page.width * scale, page.height * scale));
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
