#include "exchange/replace_confirmation.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/window_memory.h"

namespace mvz {

bool confirmReplacingData(QWidget* parent) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("replaceConfirmation"));
    dialog.setWindowTitle(QStringLiteral("Upozorenje"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* row = new QHBoxLayout;
    auto* icon = new QLabel(&dialog);
    icon->setPixmap(dialog.style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    row->addWidget(icon);
    row->addWidget(
        new QLabel(QStringLiteral("Da li želite postojeće podatke zamijeniti ?"), &dialog));
    layout->addLayout(row);
    auto* buttons = new QHBoxLayout;
    auto* yes = new QPushButton(QStringLiteral("DA"), &dialog);
    auto* cancel = new QPushButton(QStringLiteral("Odustani"), &dialog);
    yes->setObjectName(QStringLiteral("yes"));
    cancel->setObjectName(QStringLiteral("cancel"));
    // Replacing the data is never the default: Enter cancels.
    cancel->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(yes);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    QObject::connect(yes, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    dialog.adjustSize();
    placeOver(&dialog, parent);
    cancel->setFocus();
    return dialog.exec() == QDialog::Accepted;
}

} // namespace mvz
