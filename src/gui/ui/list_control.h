#pragma once
// The painted list control of a browse list: a header from the column
// formats (dialog units turned into pixels by the font), the rows of the page
// the list has read, the highlighted row, and a scroll bar whose thumb the
// list places. It holds no data of its own beyond the page shown and turns
// keys, mouse and scroll bar into requests for the list.

#include <QAbstractScrollArea>
#include <QStringList>
#include <QVector>

#include <vector>

#include "ui_model/column_format.h"

class QHeaderView;
class QStandardItemModel;

namespace mvz {

class ListControl : public QAbstractScrollArea {
    Q_OBJECT
  public:
    enum class Scroll { RowUp, RowDown, PageUp, PageDown, First, Last };
    enum class Key { Insert, Change, Delete, Select };

    explicit ListControl(QWidget* parent = nullptr);

    void setColumns(const std::vector<ColumnFormat>& columns);
    const std::vector<ColumnFormat>& columns() const { return columns_; }
    QHeaderView* header() const { return header_; }

    // The page shown and the highlighted row (-1 none).
    void setRows(QVector<QStringList> rows, int current);
    void setCurrent(int row);
    int current() const { return current_; }
    int rowCount() const { return rows_.size(); }
    QString text(int row, int column) const;

    // Rows that fit the control (at least 1).
    int visibleRows() const;
    QSize sizeHint() const override;
    int rowHeight() const;
    // The thumb, 0..1.
    void setThumb(double fraction);
    double thumb() const;
    // How much of the list the page shows, 0..1: the thumb's length.
    void setVisibleShare(double share);
    double visibleShare() const;

    // Dialog units to pixels with the control's font.
    int horizontalDialogUnits(int units) const;

  signals:
    void scrollRequested(mvz::ListControl::Scroll scroll);
    void thumbDragged(double fraction);
    void keyRequested(mvz::ListControl::Key key);
    // Printable characters, Space ("\x20") and Backspace ("\b") for the locator.
    void locatorKey(const QString& text);
    void rowClicked(int row);
    void rowDoubleClicked(int row);
    void contextMenuAt(int row, const QPoint& globalPos);
    void visibleRowsChanged(int rows);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    int rowAt(int y) const;
    void layoutHeader();
    void scrollBarAction(int action);

    std::vector<ColumnFormat> columns_;
    QHeaderView* header_;
    QStandardItemModel* headerModel_;
    QVector<QStringList> rows_;
    int current_ = -1;
    int lastVisible_ = 0;
    bool widening_ = false;
};

} // namespace mvz
