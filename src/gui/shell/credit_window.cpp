#include "shell/credit_window.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "shell/shell_icons.h"

namespace mvz {

CreditWindow::CreditWindow(QWidget* parent, int closeAfterMs)
    : QFrame(parent), closeAfterMs_(closeAfterMs) {
    setObjectName(QStringLiteral("creditWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setAutoFillBackground(true);
    // Not in the tab chain: the frame's first focus must not close it.
    setFocusPolicy(Qt::ClickFocus);

    auto* picture = new QLabel(this);
    picture->setPixmap(creditPicture());
    picture->setAlignment(Qt::AlignCenter);
    auto* line = new QLabel(creditLine(), this);
    line->setObjectName(QStringLiteral("creditLine"));
    line->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(picture);
    layout->addWidget(line);
    adjustSize();

    QTimer::singleShot(closeAfterMs_, this, &QWidget::close);
}

QString CreditWindow::creditLine() {
    return QStringLiteral("Izrađeno u otvorenom projektu mvz");
}

void CreditWindow::focusInEvent(QFocusEvent* event) {
    QFrame::focusInEvent(event);
    close();
}

void CreditWindow::mousePressEvent(QMouseEvent* event) {
    // Left, right and middle button alike.
    event->accept();
    close();
}

bool CreditWindow::event(QEvent* event) {
    // Shown as a window of its own, activating it closes it as well.
    if (event->type() == QEvent::WindowActivate && isWindow()) {
        QFrame::event(event);
        close();
        return true;
    }
    return QFrame::event(event);
}

} // namespace mvz
