#include "ui/preview_dialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

#include "print/page_ranges.h"

namespace mvz {

QString pageNumberTip(int pageCount) {
    return QStringLiteral("Enter a page number from 1 to ") + QString::number(pageCount);
}

PagesToPrintDialog::PagesToPrintDialog(const QString& current, int pageCount, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Pages to Print"));
    auto* prompt = new QLabel(QStringLiteral("&Pages to Print:"), this);
    entry_ = new QLineEdit(current, this);
    entry_->setMaxLength(255);
    entry_->setMinimumWidth(260);
    prompt->setBuddy(entry_);
    reset_ = new QPushButton(QStringLiteral("&Reset"), this);
    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    ok->setDefault(true);
    const QString all = QString::fromStdString(allPagesText(pageCount));
    connect(reset_, &QPushButton::clicked, this, [this, all] { entry_->setText(all); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(prompt);
    row->addWidget(entry_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(reset_);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
}

QString PagesToPrintDialog::text() const {
    return entry_->text();
}

JumpToPageDialog::JumpToPageDialog(int current, int pageCount, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Jump to a Report Page"));
    auto* prompt = new QLabel(QStringLiteral("&Page:"), this);
    prompt->setToolTip(QStringLiteral("Select a page of the report"));
    page_ = new QSpinBox(this);
    page_->setRange(1, std::max(1, pageCount));
    page_->setValue(current);
    page_->setToolTip(pageNumberTip(pageCount));
    prompt->setBuddy(page_);
    auto* jump = new QPushButton(style()->standardIcon(QStyle::SP_ArrowRight), QString(), this);
    jump->setObjectName(QStringLiteral("jumpButton"));
    jump->setToolTip(QStringLiteral("Jump to the selected page"));
    jump->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setToolTip(QStringLiteral("Cancel this selection"));
    connect(jump, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(page_);
    layout->addWidget(jump);
    layout->addWidget(cancel);
}

int JumpToPageDialog::page() const {
    return page_->value();
}

ChangeDisplayDialog::ChangeDisplayDialog(int across, int down, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Change the Report Display"));
    auto* group = new QGroupBox(QStringLiteral("Pages Displayed"), this);
    across_ = new QSpinBox(group);
    across_->setRange(1, kMaxPages);
    across_->setValue(across);
    down_ = new QSpinBox(group);
    down_->setRange(1, kMaxPages);
    down_->setValue(down);
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("Across"), across_);
    form->addRow(QStringLiteral("Down"), down_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

int ChangeDisplayDialog::across() const {
    return across_->value();
}

int ChangeDisplayDialog::down() const {
    return down_->value();
}

} // namespace mvz
