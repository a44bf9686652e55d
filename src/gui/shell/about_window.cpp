#include "shell/about_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/shell_icons.h"

namespace mvz {

AboutWindow::AboutWindow(const QString& dataDir, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("aboutWindow"));
    setWindowTitle(QStringLiteral("O programu"));

    auto* picture = new QLabel(this);
    picture->setPixmap(aboutPicture());
    picture->setAlignment(Qt::AlignTop);

    auto* text = new QVBoxLayout;
    for (const QString& line : lines())
        text->addWidget(new QLabel(line, this));
    text->addSpacing(10);
    for (const QString& line : detailLines(dataDir)) {
        auto* label = new QLabel(line, this);
        label->setObjectName(QStringLiteral("detail"));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text->addWidget(label);
    }
    text->addStretch();
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        // Inside the frame the window is the child the frame made for it.
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
            sub->close();
        else
            close();
    });
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(ok);
    text->addLayout(buttonRow);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(16);
    layout->addWidget(picture);
    layout->addLayout(text);
    setFixedSize(sizeHint());
}

QStringList AboutWindow::lines() {
    return {QStringLiteral("MVZ_2010.EXE Verzija 0.3"),
            QStringLiteral("Priprema i dostava podataka o osiguranicima"),
            QStringLiteral("i plaćenim doprinosima")};
}

QStringList AboutWindow::detailLines(const QString& dataDir) {
    QStringList out{QStringLiteral("mvz, verzija %1").arg(QStringLiteral(MVZ_VERSION))};
    if (!dataDir.isEmpty()) out << QStringLiteral("Mapa s podacima: %1").arg(dataDir);
    out << QStringLiteral("Slobodan program otvorenog koda, licenca MIT");
    return out;
}

} // namespace mvz
