#include "ui/list_control.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>

#include <algorithm>
#include <cmath>

namespace mvz {

namespace {

constexpr int kThumbSteps = 1000;

Qt::Alignment alignmentOf(ColumnAlign align) {
    switch (align) {
    case ColumnAlign::Right:
    case ColumnAlign::Decimal:
        return Qt::AlignRight | Qt::AlignVCenter;
    case ColumnAlign::Center:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case ColumnAlign::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

// Text inset from its aligned edge by the indent.
QRect indented(QRect rect, ColumnAlign align, int indent) {
    if (align == ColumnAlign::Left) return rect.adjusted(indent, 0, 0, 0);
    if (align == ColumnAlign::Right || align == ColumnAlign::Decimal)
        return rect.adjusted(0, 0, -indent, 0);
    return rect;
}

// The header draws its captions with their own alignment and indent.
class ColumnHeader : public QHeaderView {
  public:
    ColumnHeader(ListControl* list) : QHeaderView(Qt::Horizontal, list), list_(list) {}

  protected:
    void paintSection(QPainter* painter, const QRect& rect, int index) const override {
        QStyleOptionHeader opt;
        initStyleOption(&opt);
        initStyleOptionForIndex(&opt, index);
        opt.rect = rect;
        opt.text.clear();
        style()->drawControl(QStyle::CE_HeaderSection, &opt, painter, this);
        const auto& cols = list_->columns();
        if (index < 0 || index >= static_cast<int>(cols.size())) return;
        const ColumnFormat& c = cols[static_cast<std::size_t>(index)];
        opt.text = QString::fromStdString(c.header);
        opt.textAlignment = alignmentOf(c.headerAlign);
        opt.rect = indented(rect, c.headerAlign, list_->horizontalDialogUnits(c.headerIndent));
        style()->drawControl(QStyle::CE_HeaderLabel, &opt, painter, this);
    }

  private:
    ListControl* list_;
};

} // namespace

ListControl::ListControl(QWidget* parent)
    : QAbstractScrollArea(parent), header_(new ColumnHeader(this)),
      headerModel_(new QStandardItemModel(this)) {
    header_->setModel(headerModel_);
    header_->setSectionsClickable(false);
    header_->setHighlightSections(false);
    header_->setStretchLastSection(false);
    connect(header_, &QHeaderView::sectionResized, this, [this] {
        layoutHeader();
        viewport()->update();
    });
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verticalScrollBar()->setRange(0, kThumbSteps);
    verticalScrollBar()->setPageStep(kThumbSteps / 10);
    verticalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &ListControl::scrollBarAction);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
}

int ListControl::horizontalDialogUnits(int units) const {
    const QFontMetrics fm(font());
    const int avg = (fm.horizontalAdvance(
                         QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) +
                     26) /
                    52;
    return (units * avg + 2) / 4;
}

void ListControl::setColumns(const std::vector<ColumnFormat>& columns) {
    columns_ = columns;
    headerModel_->clear();
    headerModel_->setColumnCount(static_cast<int>(columns.size()));
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int c = static_cast<int>(i);
        header_->resizeSection(c, horizontalDialogUnits(columns[i].width));
        header_->setSectionResizeMode(c, columns[i].resizable ? QHeaderView::Interactive
                                                              : QHeaderView::Fixed);
    }
    header_->setFixedHeight(fontMetrics().height() + 6);
    setViewportMargins(0, header_->height(), 0, 0);
    layoutHeader();
    viewport()->update();
}

void ListControl::layoutHeader() {
    const QRect vp = viewport()->geometry();
    if (!columns_.empty() && !widening_ && columns_.back().align == ColumnAlign::Left) {
        // A last column of text takes the width the window has beyond the
        // others (a number stays beside its neighbours).
        const int last = static_cast<int>(columns_.size()) - 1;
        const int others = header_->length() - header_->sectionSize(last);
        const int wanted =
            std::max(horizontalDialogUnits(columns_.back().width), vp.width() - others);
        if (wanted != header_->sectionSize(last)) {
            widening_ = true;
            header_->resizeSection(last, wanted);
            widening_ = false;
        }
    }
    header_->setGeometry(vp.left(), vp.top() - header_->height(), vp.width(), header_->height());
    int total = header_->length();
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, total - vp.width()));
    h->setPageStep(vp.width());
    header_->setOffset(h->value());
}

void ListControl::setRows(QVector<QStringList> rows, int current) {
    rows_ = std::move(rows);
    current_ = rows_.isEmpty() ? -1 : std::clamp(current, 0, int(rows_.size()) - 1);
    viewport()->update();
}

void ListControl::setCurrent(int row) {
    current_ = rows_.isEmpty() ? -1 : std::clamp(row, 0, int(rows_.size()) - 1);
    viewport()->update();
}

QString ListControl::text(int row, int column) const {
    if (row < 0 || row >= rows_.size() || column < 0 || column >= rows_[row].size()) return {};
    return rows_[row][column];
}

QSize ListControl::sizeHint() const {
    // Every column (one narrower than the header's least section is drawn
    // that wide) and fifteen rows.
    int width = 0;
    for (const ColumnFormat& c : columns_)
        width += std::max(horizontalDialogUnits(c.width), header_->minimumSectionSize());
    width += verticalScrollBar()->sizeHint().width() + 2 * frameWidth();
    return {std::max(width, 200), header_->height() + 15 * rowHeight() + 2 * frameWidth()};
}

int ListControl::rowHeight() const {
    return fontMetrics().height() + 4;
}

int ListControl::visibleRows() const {
    return std::max(1, viewport()->height() / rowHeight());
}

void ListControl::setVisibleShare(double share) {
    QScrollBar* bar = verticalScrollBar();
    const bool blocked = bar->blockSignals(true);
    if (share >= 0.999) {
        // Everything is shown: the thumb fills the bar.
        bar->setRange(0, 0);
    } else {
        bar->setRange(0, kThumbSteps);
        share = std::max(share, 0.01);
        // The thumb's length is pageStep / (range + pageStep).
        bar->setPageStep(static_cast<int>(std::lround(share * kThumbSteps / (1 - share))));
    }
    bar->blockSignals(blocked);
}

double ListControl::visibleShare() const {
    const QScrollBar* bar = verticalScrollBar();
    if (bar->maximum() == 0) return 1;
    return static_cast<double>(bar->pageStep()) / (bar->maximum() + bar->pageStep());
}

void ListControl::setThumb(double fraction) {
    QScrollBar* bar = verticalScrollBar();
    if (bar->isSliderDown()) return; // the user is dragging it
    const int pos = static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * kThumbSteps));
    const bool blocked = bar->blockSignals(true);
    bar->setSliderPosition(pos);
    bar->setValue(pos);
    bar->blockSignals(blocked);
}

double ListControl::thumb() const {
    return static_cast<double>(verticalScrollBar()->sliderPosition()) / kThumbSteps;
}

void ListControl::scrollBarAction(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        emit scrollRequested(Scroll::RowDown);
        break;
    case QAbstractSlider::SliderSingleStepSub:
        emit scrollRequested(Scroll::RowUp);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        emit scrollRequested(Scroll::PageDown);
        break;
    case QAbstractSlider::SliderPageStepSub:
        emit scrollRequested(Scroll::PageUp);
        break;
    case QAbstractSlider::SliderToMinimum:
        emit scrollRequested(Scroll::First);
        break;
    case QAbstractSlider::SliderToMaximum:
        emit scrollRequested(Scroll::Last);
        break;
    case QAbstractSlider::SliderMove:
        emit thumbDragged(static_cast<double>(verticalScrollBar()->sliderPosition()) / kThumbSteps);
        return;
    default:
        return;
    }
}

void ListControl::scrollContentsBy(int dx, int) {
    if (dx) {
        header_->setOffset(horizontalScrollBar()->value());
        viewport()->update();
    }
}

int ListControl::rowAt(int y) const {
    const int row = y / rowHeight();
    return row >= 0 && row < rows_.size() ? row : -1;
}

void ListControl::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const int rh = rowHeight();
    const bool active = hasFocus();
    for (int r = 0; r < rows_.size(); ++r) {
        const QRect line(0, r * rh, viewport()->width(), rh);
        if (line.top() > viewport()->height()) break;
        const bool highlighted = r == current_;
        if (highlighted)
            p.fillRect(line, palette().brush(active ? QPalette::Active : QPalette::Inactive,
                                             QPalette::Highlight));
        p.setPen(palette().color(active ? QPalette::Active : QPalette::Inactive,
                                 highlighted ? QPalette::HighlightedText : QPalette::Text));
        for (int c = 0; c < rows_[r].size() && c < static_cast<int>(columns_.size()); ++c) {
            const ColumnFormat& fmt = columns_[static_cast<std::size_t>(c)];
            QRect cell(header_->sectionViewportPosition(c), line.top(), header_->sectionSize(c),
                       rh);
            p.save();
            p.setClipRect(cell);
            p.drawText(
                indented(cell.adjusted(2, 0, -2, 0), fmt.align, horizontalDialogUnits(fmt.indent)),
                alignmentOf(fmt.align), rows_[r][c]);
            p.restore();
        }
    }
    if (current_ >= 0 && active) {
        QRect focusRect(0, current_ * rh, viewport()->width(), rh);
        p.setPen(QPen(palette().color(QPalette::HighlightedText), 1, Qt::DotLine));
        p.drawRect(focusRect.adjusted(0, 0, -1, -1));
    }
}

void ListControl::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    layoutHeader();
    const int rows = visibleRows();
    if (rows != lastVisible_) {
        lastVisible_ = rows;
        emit visibleRowsChanged(rows);
    }
}

bool ListControl::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) viewport()->update();
    return QAbstractScrollArea::viewportEvent(event);
}

void ListControl::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Up:
        emit scrollRequested(Scroll::RowUp);
        return;
    case Qt::Key_Down:
        emit scrollRequested(Scroll::RowDown);
        return;
    case Qt::Key_PageUp:
        emit scrollRequested(Scroll::PageUp);
        return;
    case Qt::Key_PageDown:
        emit scrollRequested(Scroll::PageDown);
        return;
    case Qt::Key_Home:
        emit scrollRequested(Scroll::First);
        return;
    case Qt::Key_End:
        emit scrollRequested(Scroll::Last);
        return;
    case Qt::Key_Insert:
        emit keyRequested(Key::Insert);
        return;
    case Qt::Key_Delete:
        emit keyRequested(Key::Delete);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Ctrl+Enter changes; Enter does what a double click does (change,
        // or choose in a list opened for choosing).
        if (ctrl)
            emit keyRequested(Key::Change);
        else if (current_ >= 0)
            emit rowDoubleClicked(current_);
        return;
    case Qt::Key_Backspace:
        emit locatorKey(QStringLiteral("\b"));
        return;
    default:
        break;
    }
    const QString text = event->text();
    if (!ctrl && !(event->modifiers() & Qt::AltModifier) && text.size() == 1 && text[0].isPrint()) {
        emit locatorKey(text);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void ListControl::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const int row = rowAt(event->position().toPoint().y());
    if (event->button() == Qt::LeftButton) {
        if (row >= 0) emit rowClicked(row);
    } else if (event->button() == Qt::RightButton) {
        if (row >= 0) emit rowClicked(row);
        emit contextMenuAt(row, event->globalPosition().toPoint());
    }
}

void ListControl::mouseDoubleClickEvent(QMouseEvent* event) {
    const int row = rowAt(event->position().toPoint().y());
    if (event->button() == Qt::LeftButton && row >= 0) emit rowDoubleClicked(row);
}

void ListControl::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 40; // three rows a notch
    for (int i = 0; i < std::abs(steps); ++i)
        emit scrollRequested(steps > 0 ? Scroll::RowUp : Scroll::RowDown);
    event->accept();
}

} // namespace mvz
