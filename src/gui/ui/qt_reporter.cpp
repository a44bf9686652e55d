#include "ui/qt_reporter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QStatusBar>
#include <QThread>

#include "ui/keyboard_habits.h"

namespace mvz {

namespace {

QMessageBox::Icon iconOf(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonPair {
    Button ours;
    QMessageBox::StandardButton qt;
};
constexpr ButtonPair buttonPairs[] = {{ButtonOk, QMessageBox::Ok},
                                      {ButtonYes, QMessageBox::Yes},
                                      {ButtonNo, QMessageBox::No},
                                      {ButtonCancel, QMessageBox::Cancel}};

bool inGuiThread() {
    return !qApp || QThread::currentThread() == qApp->thread();
}

} // namespace

QtReporter::QtReporter(QWidget* parent) : parent_(parent) {}
QtReporter::~QtReporter() = default;

void QtReporter::setParentWidget(QWidget* parent) {
    parent_ = parent;
}
void QtReporter::setStatusBar(QStatusBar* bar) {
    statusBar_ = bar;
}
void QtReporter::setStatusCallback(std::function<void(const QString&)> callback) {
    statusCallback_ = std::move(callback);
}
void QtReporter::setProgressCallback(std::function<void(std::uint64_t, std::uint64_t)> callback) {
    progressCallback_ = std::move(callback);
}
void QtReporter::setEndProgramCallback(std::function<void()> callback) {
    endProgramCallback_ = std::move(callback);
}

Button QtReporter::show(const MessageBox& box) {
    if (inGuiThread()) return showInGuiThread(box);
    Button pressed = ButtonNone;
    QMetaObject::invokeMethod(
        qApp, [&] { pressed = showInGuiThread(box); }, Qt::BlockingQueuedConnection);
    return pressed;
}

QWidget* QtReporter::messageParent() const {
    // Over the window the user works in (a row window over the frame), so
    // that both stay in front.
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    return parent_;
}

QString QtReporter::windowTitleFor(const QWidget* parent) {
    // The window that has the focus: a child of the frame, a row window.
    if (QWidget* scope = keyScope(QApplication::focusWidget());
        scope && !scope->windowTitle().isEmpty())
        return scope->windowTitle();
    return parent ? parent->window()->windowTitle() : QString();
}

Button QtReporter::showInGuiThread(const MessageBox& box) {
    QWidget* parent = messageParent();
    // A message without a title of its own carries its window's title.
    const QString title =
        box.title.empty() ? windowTitleFor(parent) : QString::fromStdString(box.title);
    QMessageBox dialog(iconOf(box.icon), title, QString::fromStdString(box.text),
                       QMessageBox::NoButton, parent);
    unsigned offered = box.buttons ? box.buttons : unsigned(ButtonOk);
    for (const ButtonPair& p : buttonPairs)
        if (offered & p.ours) dialog.addButton(p.qt);
    for (const ButtonPair& p : buttonPairs)
        if (p.ours == box.defaultButton && (offered & p.ours)) dialog.setDefaultButton(p.qt);
    // Escape (or the close box) answers Cancel, else No, else OK.
    for (Button b : {ButtonCancel, ButtonNo, ButtonOk}) {
        if (!(offered & b)) continue;
        for (const ButtonPair& p : buttonPairs)
            if (p.ours == b) dialog.setEscapeButton(p.qt);
        break;
    }
    dialog.exec();
    QAbstractButton* clicked = dialog.clickedButton();
    QMessageBox::StandardButton qtButton =
        clicked ? dialog.standardButton(clicked) : QMessageBox::NoButton;
    for (const ButtonPair& p : buttonPairs)
        if (p.qt == qtButton) return p.ours;
    return (offered & ButtonCancel) ? ButtonCancel : (offered & ButtonNo) ? ButtonNo : ButtonOk;
}

void QtReporter::status(const std::string& text) {
    QString line = QString::fromStdString(text);
    auto apply = [this, line] {
        if (statusBar_) statusBar_->showMessage(line);
        if (statusCallback_) statusCallback_(line);
    };
    if (inGuiThread())
        apply();
    else
        QMetaObject::invokeMethod(qApp, apply, Qt::QueuedConnection);
}

void QtReporter::progress(std::uint64_t done, std::uint64_t total) {
    if (!progressCallback_) return;
    if (inGuiThread())
        progressCallback_(done, total);
    else
        QMetaObject::invokeMethod(
            qApp,
            [this, done, total] {
                if (progressCallback_) progressCallback_(done, total);
            },
            Qt::QueuedConnection);
}

void QtReporter::endProgram() {
    std::function<void()> callback = endProgramCallback_;
    auto end = [callback] {
        if (callback) {
            callback();
        } else if (qApp) {
            QApplication::closeAllWindows();
            QCoreApplication::quit();
        }
    };
    // Leave the current handler first; the quit runs from the event loop.
    if (qApp)
        QMetaObject::invokeMethod(qApp, end, Qt::QueuedConnection);
    else
        end();
}

} // namespace mvz
