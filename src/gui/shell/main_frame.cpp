#include "shell/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QProxyStyle>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "data/created_file.h"
#include "data/error_reporter.h"
#include "data/installation_mode.h"
#include "data/tables.h"
#include "import/review_support.h"
#include "setup/authorised_person.h"
#include "shell/credit_window.h"
#include "shell/help_document.h"
#include "shell/main_menu.h"
#include "shell/shell_icons.h"
#include "ui/toolbar_controls.h"
#include "ui/window_memory.h"

#include <fcntl.h>
#include <unistd.h>

namespace mvz {

namespace {

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

constexpr const char* kControlProperty = "control";
constexpr const char* kMemoryKeyProperty = "memoryKey";
const QString kFrameKey = QStringLiteral("MainFrame");
// The dynamic part of the Window menu: one action per open child window.
constexpr const char* kWindowListProperty = "windowList";

// Lets disabled menu items be highlighted, so their texts show.
class PointableMenuStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_Menu_AllowActiveAndDisabled) return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

QString MainFrame::notBuiltText() {
    return QStringLiteral("Ovaj dio programa još nije izrađen.");
}

QString MainFrame::caption() {
    return QStringLiteral("TARVELIN - OBRAZAC M-Vz  - 2010 - Verzija-0.3");
}

MainFrame::MainFrame(std::string dataDir, ErrorReporter& errors, QWidget* parent)
    : QMainWindow(parent), dataDir_(std::move(dataDir)), errors_(errors),
      creditCloseAfterMs_(CreditWindow::kCloseAfterMs) {
    menuStyle_ = new PointableMenuStyle;
    menuStyle_->setParent(this);
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(caption());
    setWindowIcon(programIcon());
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("mdiArea"));
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    buildMenus();
    buildToolbar();
    resetToolbar();
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    resize(1024, 720);
    // The frame opens as it was left.
    if (QSettings* store = WindowMemory::store())
        restoreGeometry(store->value(kFrameKey + QStringLiteral("/geometry")).toByteArray());
}

MainFrame::~MainFrame() {
    // The children go while the frame is whole: they still find their host,
    // and the area's last activation signal reaches no half-destroyed frame.
    disconnect(mdi_, nullptr, this, nullptr);
    qDeleteAll(mdi_->subWindowList());
}

void MainFrame::buildMenus() {
    QMenu* menu = nullptr;
    for (const MenuEntry& entry : mainMenuEntries()) {
        switch (entry.kind) {
        case MenuEntryKind::Menu: {
            menu = menuBar()->addMenu(qt(entry.text));
            menu->setObjectName(qt(entry.name));
            // Items whose windows are not built yet can be pointed at, so
            // that their tooltip and status text say so.
            menu->setToolTipsVisible(true);
            menu->setStyle(menuStyle_);
            QAction* action = menu->menuAction();
            action->setObjectName(qt(entry.name));
            action->setStatusTip(qt(entry.status));
            action->setProperty(kControlProperty, entry.control);
            actions_.emplace(std::string(entry.name), action);
            if (entry.name == "window")
                connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillWindowList(menu); });
            break;
        }
        case MenuEntryKind::Separator:
            menu->addSeparator();
            break;
        case MenuEntryKind::Item: {
            QAction* action = menu->addAction(qt(entry.text));
            action->setObjectName(qt(entry.name));
            action->setStatusTip(qt(entry.status));
            action->setProperty(kControlProperty, entry.control);
            // A window item waits for its window; standard actions are ready.
            if (entry.command == MenuCommand::Window) {
                action->setEnabled(false);
                action->setToolTip(notBuiltText());
                action->setStatusTip(notBuiltText());
            }
            const int control = entry.control;
            connect(action, &QAction::triggered, this, [this, control] { accept(control); });
            actions_.emplace(std::string(entry.name), action);
            break;
        }
        }
    }
}

void MainFrame::buildToolbar() {
    QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("frameToolbar"));
    bar->setMovable(false);
    bar->setIconSize(QSize(20, 20));
    for (const ToolbarButton& button : toolbarButtons()) {
        QAction* action = bar->addAction(toolbarIcon(button.icon), QString());
        action->setToolTip(qt(button.tooltip));
        action->setProperty(kControlProperty, button.control);
        action->setObjectName(QStringLiteral("toolbar%1").arg(button.control));
        const int control = button.control;
        connect(action, &QAction::triggered, this, [this, control] { accept(control); });
        toolbarActions_.emplace(button.control, action);
        toolbarTips_.emplace(button.control, action->toolTip());
    }
    connect(mdi_, &QMdiArea::subWindowActivated, this, &MainFrame::currentChildChanged);
}

void MainFrame::setToolbarState(int control, bool enabled, const QString& tooltip) {
    QAction* action = toolbarAction(control);
    if (!action) return;
    action->setEnabled(enabled);
    action->setToolTip(tooltip.isEmpty() ? toolbarTips_.at(control) : tooltip);
}

void MainFrame::resetToolbar() {
    // Without a window that answers the toolbar (none, or one such as the
    // about window) only the guide has something to act on.
    QWidget* child = currentChild();
    const bool acts = child && child->metaObject()->indexOfMethod("toolbarAccepted(int)") >= 0;
    for (const auto& [control, action] : toolbarActions_)
        setToolbarState(control, acts || control == toolbar::Help);
}

void MainFrame::currentChildChanged() {
    // The area also reports when the frame itself is deactivated: only a
    // change of the current child counts.
    QWidget* child = currentChild();
    if (child && child == toolbarChild_) return;
    toolbarChild_ = child;
    resetToolbar();
    if (child && child->metaObject()->indexOfMethod("refreshToolbar()") >= 0)
        QMetaObject::invokeMethod(child, "refreshToolbar");
}

bool MainFrame::registerWindow(std::string_view itemName, WindowFactory factory) {
    const MenuEntry* entry = findMenuEntry(itemName);
    if (!entry || entry->kind != MenuEntryKind::Item || entry->command != MenuCommand::Window ||
        !factory)
        return false;
    factories_.insert_or_assign(std::string(itemName), std::move(factory));
    QAction* action = menuAction(itemName);
    action->setEnabled(true);
    action->setStatusTip(qt(entry->status));
    action->setToolTip(action->text().remove(QLatin1Char('&')).trimmed());
    return true;
}

bool MainFrame::registerNamedWindow(std::string_view name, WindowFactory factory) {
    if (name.empty() || findMenuEntry(name) || !factory) return false;
    factories_.insert_or_assign(std::string(name), std::move(factory));
    return true;
}

bool MainFrame::isRegistered(std::string_view itemName) const {
    return factories_.find(itemName) != factories_.end();
}

bool MainFrame::choose(std::string_view itemName) {
    QAction* action = menuAction(itemName);
    if (!action || !action->isEnabled() || action->menu()) return false;
    action->trigger();
    return true;
}

bool MainFrame::clickToolbar(int control) {
    QAction* action = toolbarAction(control);
    if (!action || !action->isEnabled()) return false;
    action->trigger();
    return true;
}

QAction* MainFrame::menuAction(std::string_view itemName) const {
    auto it = actions_.find(itemName);
    return it == actions_.end() ? nullptr : it->second;
}

QAction* MainFrame::toolbarAction(int control) const {
    auto it = toolbarActions_.find(control);
    return it == toolbarActions_.end() ? nullptr : it->second;
}

void MainFrame::openChild(QWidget* window, ChildPlacement placement) {
    QMdiSubWindow* sub = mdi_->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    const QString key = WindowMemory::keyOf(window);
    if (placement == ChildPlacement::Fill)
        sub->setGeometry(mdi_->viewport()->rect());
    else if (WindowMemory::restoreGeometry(sub, key) &&
             !mdi_->viewport()->rect().intersects(sub->geometry()))
        sub->move(0, 0); // a place out of today's frame: where it can be seen
    // The child's size and place are kept when it closes.
    sub->installEventFilter(this);
    sub->setProperty(kMemoryKeyProperty, key);
    sub->show();
    mdi_->setActiveSubWindow(sub);
}

bool MainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(watched);
            sub && !sub->isMinimized() && !sub->isMaximized())
            WindowMemory::saveGeometry(sub, sub->property(kMemoryKeyProperty).toString());
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainFrame::closeOtherChildren(QWidget* keep) {
    bool all = true;
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
        if (sub->widget() == keep) continue;
        // A window keeps itself open when the user keeps its changes.
        if (!sub->close()) all = false;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return all;
}

QIcon MainFrame::icon(std::string_view name) const {
    return toolbarIcon(name);
}

void MainFrame::openUserGuide() {
    mvz::openUserGuide(QString::fromStdString(dataDir_), errors_.reporter());
}

void MainFrame::prepareSavedFile(const QString& path) {
    const QString data = QDir(QString::fromStdString(dataDir_)).canonicalPath();
    const QString folder = QFileInfo(path).absoluteDir().canonicalPath();
    if (data.isEmpty() || folder.isEmpty() || QFileInfo::exists(path)) return;
    if (folder != data && !folder.startsWith(data + QLatin1Char('/'))) return;
    const mode_t mode = fileModeOf(installationMode(dataDir_));
    const int fd = openCreating(QFile::encodeName(path).toStdString(), O_WRONLY, mode);
    if (fd >= 0) ::close(fd);
}

QString MainFrame::outputFolder() const {
    Tables tables(dataDir_, errors_);
    return QString::fromStdString(review::readAppFolders(tables).output);
}

QWidget* MainFrame::currentChild() const {
    QMdiSubWindow* sub = mdi_->currentSubWindow();
    return sub ? sub->widget() : nullptr;
}

QPrinter& MainFrame::printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

MainFrame* MainFrame::of(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (auto* frame = qobject_cast<MainFrame*>(const_cast<QWidget*>(w))) return frame;
    return nullptr;
}

void MainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (opened_) return;
    opened_ = true;
    // The start-up work runs once the window is on the screen.
    QTimer::singleShot(0, this, &MainFrame::windowOpened);
}

void MainFrame::windowOpened() {
    // The frame reads APLPARAM once and closes it again, so that the
    // application parameters window can hold it alone while it is open.
    std::string reminder;
    {
        Tables tables(dataDir_, errors_);
        reminder = authorisedPersonReminder(tables);
    }
    if (!reminder.empty()) {
        MessageBox box;
        box.text = messageBoxText(reminder);
        box.icon = MessageIcon::None;
        errors_.reporter().show(box);
    }
    if (!credit_) {
        credit_ = new CreditWindow(mdi_->viewport(), creditCloseAfterMs_);
        const QSize area = mdi_->viewport()->size();
        credit_->move(std::max(0, (area.width() - credit_->width()) / 2),
                      std::max(0, (area.height() - credit_->height()) / 3));
        credit_->show();
        credit_->raise();
    }
    emit started();
}

void MainFrame::closeCredit() {
    if (credit_) credit_->close();
    credit_ = nullptr;
}

void MainFrame::accept(int control) {
    closeCredit();
    if (toolbar::isToolbarControl(control)) {
        // The current child acts on the button; without one nothing happens.
        QWidget* child = currentChild();
        if (child && child->metaObject()->indexOfMethod("toolbarAccepted(int)") >= 0)
            QMetaObject::invokeMethod(child, "toolbarAccepted", Qt::QueuedConnection,
                                      Q_ARG(int, control));
        return;
    }
    if (const MenuEntry* entry = findMenuEntry(control)) run(*entry);
}

void MainFrame::run(const MenuEntry& entry) {
    switch (entry.command) {
    case MenuCommand::None:
        break;
    case MenuCommand::Window:
        openWindow(entry.name);
        break;
    case MenuCommand::Exit:
        close();
        break;
    case MenuCommand::PrinterSetup: {
        QPrintDialog dialog(&printer(), this);
        dialog.exec();
        break;
    }
    case MenuCommand::Cut:
        editAction("cut");
        break;
    case MenuCommand::Copy:
        editAction("copy");
        break;
    case MenuCommand::Paste:
        editAction("paste");
        break;
    case MenuCommand::Tile:
        mdi_->tileSubWindows();
        break;
    case MenuCommand::Cascade:
        mdi_->cascadeSubWindows();
        break;
    case MenuCommand::ArrangeIcons:
        arrangeIcons();
        break;
    case MenuCommand::HelpDocument:
        openUserGuide();
        break;
    }
}

bool MainFrame::openWindow(std::string_view name) {
    auto it = factories_.find(name);
    if (it == factories_.end()) return false;
    // A copy: the factory may register or replace windows while it runs.
    WindowFactory factory = it->second;
    WindowContext context{dataDir_, errors_, static_cast<WindowHost&>(*this)};
    QWidget* window = factory(context);
    if (window) openChild(window);
    return window != nullptr;
}

void MainFrame::editAction(const char* slot) {
    // The clipboard actions of the focused entry control (line and text
    // editors, editable drop lists through their line editor).
    QWidget* focus = QApplication::focusWidget();
    if (!focus) return;
    const QByteArray signature = QByteArray(slot) + "()";
    if (focus->metaObject()->indexOfMethod(signature.constData()) >= 0)
        QMetaObject::invokeMethod(focus, slot);
}

void MainFrame::arrangeIcons() {
    // Minimised children in a row along the bottom of the area.
    int x = 0;
    const int bottom = mdi_->viewport()->height();
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
        if (!sub->isMinimized() || !sub->isVisible()) continue;
        const QSize size = sub->size();
        sub->move(x, bottom - size.height());
        x += size.width();
    }
}

void MainFrame::fillWindowList(QMenu* menu) {
    for (QAction* action : menu->actions())
        if (action->property(kWindowListProperty).toBool()) {
            menu->removeAction(action);
            action->deleteLater();
        }
    const QList<QMdiSubWindow*> subs = mdi_->subWindowList();
    if (subs.isEmpty()) return;
    QAction* separator = menu->addSeparator();
    separator->setProperty(kWindowListProperty, true);
    int number = 0;
    for (QMdiSubWindow* sub : subs) {
        ++number;
        const QString title = sub->windowTitle();
        QAction* action =
            menu->addAction(number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title)
                                        : QStringLiteral("%1 %2").arg(number).arg(title));
        action->setProperty(kWindowListProperty, true);
        action->setCheckable(true);
        action->setChecked(sub == mdi_->currentSubWindow());
        QPointer<QMdiSubWindow> target(sub);
        connect(action, &QAction::triggered, this, [this, target] {
            closeCredit();
            if (target) mdi_->setActiveSubWindow(target);
        });
    }
}

void MainFrame::closeEvent(QCloseEvent* event) {
    closeCredit();
    // Children close first; one that refuses (unsaved changes kept) keeps
    // the frame open.
    mdi_->closeAllSubWindows();
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (sub->isVisible()) {
            event->ignore();
            return;
        }
    if (QSettings* store = WindowMemory::store())
        store->setValue(kFrameKey + QStringLiteral("/geometry"), saveGeometry());
    QMainWindow::closeEvent(event);
}

} // namespace mvz
