#pragma once
// The drawing surface of the report preview: either thumbnails of
// across x down pages fitted into the visible area (tile pages), or the
// current page at a zoom (page width or a percentage of its real size).

#include <QWidget>

#include "print/page_model.h"

namespace mvz {

class PageCanvas : public QWidget {
    Q_OBJECT
  public:
    explicit PageCanvas(const PageModel& model, QWidget* parent = nullptr);

    // first: the page (1-based) shown first; zoom: a percentile of the zoom
    // table (tile pages, page width) or a percentage. `viewport` is the size
    // available for tiles and the page width.
    void setView(int first, int across, int down, int zoom, QSize viewport);
    // Device pixels per tenth of a millimetre at the current zoom.
    double scale() const { return scale_; }
    // The page (1-based) under a point of the canvas, or 0.
    int pageAt(QPoint point) const;

  signals:
    void pageClicked(int page);
    void pageDoubleClicked(int page);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    struct Placed {
        int page;
        QRectF rect;
    };
    void layoutPages();

    const PageModel& model_;
    int first_ = 1;
    int across_ = 1;
    int down_ = 1;
    int zoom_ = -2;
    QSize viewport_;
    double scale_ = 1;
    std::vector<Placed> placed_;
};

} // namespace mvz
