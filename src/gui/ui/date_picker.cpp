#include "ui/date_picker.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace mvz {

namespace {

constexpr int kColumns = 7;
const char* const kMarkedProperty = "marked";

QPushButton* arrowButton(const QString& text, const QString& tip, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setToolTip(tip);
    b->setAutoDefault(false);
    b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral(" >> ")) + 16);
    return b;
}

} // namespace

DatePicker::DatePicker(std::int32_t start, QWidget* parent) : QDialog(parent), grid_(start) {
    setWindowTitle(QStringLiteral("Odabir datuma"));
    previousYear_ = arrowButton(QStringLiteral(" <<"), QStringLiteral("Previous Year"), this);
    heading_ = new QLabel(this);
    heading_->setAlignment(Qt::AlignCenter);
    heading_->setMinimumWidth(heading_->fontMetrics().horizontalAdvance(QString(16, 'W')) / 2);
    QFont bold = heading_->font();
    bold.setBold(true);
    heading_->setFont(bold);
    previousMonth_ = arrowButton(QStringLiteral("<"), QStringLiteral("Previous Month"), this);
    nextMonth_ = arrowButton(QStringLiteral(">"), QStringLiteral("Next Month"), this);
    nextYear_ = arrowButton(QStringLiteral(" >>"), QStringLiteral("Next Year"), this);
    connect(previousYear_, &QPushButton::clicked, this, [this] {
        grid_.previousYear();
        draw();
    });
    connect(previousMonth_, &QPushButton::clicked, this, [this] {
        grid_.previousMonth();
        draw();
    });
    connect(nextMonth_, &QPushButton::clicked, this, [this] {
        grid_.nextMonth();
        draw();
    });
    connect(nextYear_, &QPushButton::clicked, this, [this] {
        grid_.nextYear();
        draw();
    });

    auto* top = new QHBoxLayout;
    top->addWidget(previousYear_);
    top->addWidget(previousMonth_);
    top->addWidget(heading_, 1);
    top->addWidget(nextMonth_);
    top->addWidget(nextYear_);

    // The weekday header over the grid's columns, Sunday first.
    auto* days = new QGridLayout;
    days->setSpacing(2);
    const QStringList names =
        QString::fromUtf8(kWeekdayHeader).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int col = 0; col < names.size() && col < kColumns; ++col) {
        auto* name = new QLabel(names[col], this);
        name->setAlignment(Qt::AlignCenter);
        days->addWidget(name, 0, col);
    }
    cells_ = new QButtonGroup(this);
    const int side = fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12;
    for (int n = 1; n <= kCalendarCells; ++n) {
        auto* b = new QToolButton(this);
        b->setAutoRaise(true);
        b->setFixedSize(side, side);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        cells_->addButton(b, n);
        days->addWidget(b, 1 + (n - 1) / kColumns, (n - 1) % kColumns);
    }
    // Hidden cells keep their room, so the grid does not jump between months.
    for (int n = 1; n <= kCalendarCells; ++n) {
        QSizePolicy p = cells_->button(n)->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        cells_->button(n)->setSizePolicy(p);
    }
    connect(cells_, &QButtonGroup::idClicked, this, &DatePicker::choose);

    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setAutoDefault(false);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        chosen_ = 0;
        reject();
    });
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(days);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    draw();
}

QAbstractButton* DatePicker::cell(int number) const {
    return cells_->button(number);
}

bool DatePicker::cellMarked(int number) const {
    QAbstractButton* b = cell(number);
    return b && b->property(kMarkedProperty).toBool();
}

void DatePicker::draw() {
    heading_->setText(QString::fromStdString(grid_.heading()));
    const int marked = grid_.markedCell();
    for (int n = 1; n <= kCalendarCells; ++n) {
        QAbstractButton* b = cells_->button(n);
        const QString text = QString::fromStdString(grid_.cellText(n));
        b->setText(text);
        b->setVisible(!text.isEmpty());
        // Red for the marked day, black for the others.
        const bool mark = n == marked;
        QPalette pal = b->palette();
        pal.setColor(QPalette::ButtonText, mark ? QColor(255, 0, 0) : QColor(0, 0, 0));
        b->setPalette(pal);
        QFont f = b->font();
        f.setBold(mark);
        b->setFont(f);
        b->setProperty(kMarkedProperty, mark && !text.isEmpty());
    }
}

void DatePicker::choose(int cell) {
    const std::int32_t date = grid_.dateOfCell(cell);
    if (date == 0) return;
    chosen_ = date;
    accept();
}

std::optional<std::int32_t> pickDate(QWidget* parent, std::int32_t start) {
    DatePicker picker(start, parent);
    if (picker.exec() != QDialog::Accepted || picker.chosenDate() == 0) return std::nullopt;
    return picker.chosenDate();
}

} // namespace mvz
