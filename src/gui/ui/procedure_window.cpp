#include "ui/procedure_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QLayout>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>

#include "data/error_reporter.h"
#include "data/table_access.h"
#include "data/table_relations.h"
#include "data/tables.h"
#include "ui/browse_list.h"
#include "ui/keyboard_habits.h"
#include "ui/lookup_drop_list.h"
#include "ui/record_form.h"
#include "ui/toolbar_controls.h"
#include "ui/window_host.h"
#include "ui/window_memory.h"

namespace mvz {

namespace {

struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

bool editing(std::uint8_t request) {
    return request == request::Insert || request == request::Change;
}

const char* kFrameTip = "mvzFrameTip";

// What the ditto key recalls, by window kind and control.
std::map<QString, QString>& savedHistory() {
    static std::map<QString, QString> values;
    return values;
}

} // namespace

ProcedureWindow::ProcedureWindow(Tables& tables, QWidget* parent)
    : QWidget(parent), tables_(tables) {
    installKeyboardHabits();
}

ProcedureWindow::~ProcedureWindow() {
    if (!dead_) kill();
}

void ProcedureWindow::endBeforeTables() {
    if (!dead_) kill();
    while (!children().isEmpty())
        delete children().first();
}

ErrorReporter& ProcedureWindow::errors() const {
    return tables_.errors();
}

// --- running ---

bool ProcedureWindow::begin() {
    request_ = PendingRequest;
    PendingRequest = request::View;
    LastResponse = response::None;
    originalRequest_ = request_;
    navigationAllowed_ = BrowseList::calling() != nullptr && editing(request_);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (dead_ || !now || !isAncestorOf(now)) return;
        router_.focusChanged(now);
        takeSelected(now);
        if (!old || !isAncestorOf(old)) takeWindowEvent(WindowEvent::GainedFocus);
        syncToolbar();
    });
    connect(&router_, &ToolbarRouter::stateChanged, this, &ProcedureWindow::syncToolbar);
    if (!init()) {
        ended_ = true;
        response_ = response::Cancelled;
        return false;
    }
    opened_ = true;
    primeForRequest();
    if (ended_) return false;
    setAlerts();
    return true;
}

std::uint8_t ProcedureWindow::run() {
    modal_ = true;
    // A row window opens as a dialog over the window it was called from.
    QWidget* over = parentWidget();
    if (!over && BrowseList::calling()) over = BrowseList::calling()->window();
    if (!over) over = QApplication::activeWindow();
    if (over && !parentWidget()) {
        // The list's own window inside the host, not the host as a whole.
        QWidget* caller = BrowseList::calling();
        while (caller && !qobject_cast<ProcedureWindow*>(caller))
            caller = caller->parentWidget();
        setParent(caller ? caller : over, windowFlags() | Qt::Dialog);
    }
    if (begin()) {
        if (parentWidget()) setWindowFlag(Qt::Dialog);
        setWindowModality(Qt::ApplicationModal);
        if (layout()) layout()->activate();
        if (!WindowMemory::restoreSize(this)) adjustSize();
        placeOver(this, parentWidget());
        show();
        // The window system may give it another size or place than it asked
        // for (a window manager centres a dialog on its own): once it is on
        // the screen it goes over its caller again.
        placeOver(this, parentWidget());
        QTimer::singleShot(50, this, [this] { placeOver(this, parentWidget()); });
        if (!ended_) {
            QEventLoop loop;
            loop_ = &loop;
            loop.exec();
            loop_ = nullptr;
        }
        WindowMemory::saveSize(this);
        hide();
    }
    kill();
    const std::uint8_t r = response_ ? response_ : response::Cancelled;
    LastResponse = r;
    return r;
}

bool ProcedureWindow::start() {
    modal_ = false;
    if (begin()) return true;
    kill();
    LastResponse = response_ ? response_ : response::Cancelled;
    deleteLater();
    return false;
}

void ProcedureWindow::finish() {
    ended_ = true;
    if (loop_) loop_->quit();
    if (!modal_ && !dead_) {
        kill();
        const std::uint8_t r = response_ ? response_ : response::Cancelled;
        LastResponse = r;
        emit finished(r);
    }
}

void ProcedureWindow::requestClose() {
    closePending_ = false;
    if (ended_ || closing_) return;
    if (!isVisible()) {
        if (takeCloseEvent() == handled::Consumed) return;
        closing_ = true;
        finish();
        return;
    }
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void ProcedureWindow::endWindow() {
    if (ended_) return;
    closing_ = true;
    if (!isVisible()) return finish();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void ProcedureWindow::closeEvent(QCloseEvent* event) {
    if (ended_ || closing_) {
        event->accept();
        if (!ended_) finish();
        return;
    }
    if (takeCloseEvent() == handled::Consumed) {
        event->ignore();
        return;
    }
    closing_ = true;
    event->accept();
    finish();
}

void ProcedureWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!(inited_ & 1) && opened_) takeWindowEvent(WindowEvent::Opened);
}

void ProcedureWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && opened_ && !dead_)
        takeWindowEvent(WindowEvent::GainedFocus);
}

// --- registration ---

void ProcedureWindow::setPrimary(std::string_view table) {
    primary_ = &tables_.access(table);
    primaryRelations_ = &tables_.relations(table);
}

TableAccess& ProcedureWindow::primary() const {
    if (!primary_) throw std::logic_error("the window has no primary table");
    return *primary_;
}

void ProcedureWindow::addFile(std::string_view table) {
    files_.push_back(&tables_.access(table));
}

void ProcedureWindow::addBrowse(BrowseList* list, QAbstractButton* helpButton) {
    browses_.push_back(list);
    if (request_ == request::Select) list->setSelecting(true);
    const BrowseList::Buttons& b = list->buttons();
    ToolbarRouter::Buttons rb;
    rb.help = helpButton ? helpButton : help_.data();
    rb.insert = b.insert;
    rb.change = b.change;
    rb.remove = b.remove;
    rb.select = b.select;
    router_.addBrowseTarget(list, rb);
    connect(list, &BrowseList::newSelection, this, [this, list] { takeNewSelection(list); });
}

void ProcedureWindow::addFileDrop(LookupDropList* drop) {
    drops_.push_back(drop);
}

void ProcedureWindow::addButton(QAbstractButton* button, std::uint8_t code) {
    buttons_[button] = code;
    connect(button, &QAbstractButton::clicked, this, [this, button] { accepted(button); });
}

void ProcedureWindow::setOkControl(QAbstractButton* button) {
    ok_ = button;
    connect(button, &QAbstractButton::clicked, this, [this, button] { accepted(button); });
}

void ProcedureWindow::setCancelControl(QAbstractButton* button) {
    cancel_ = button;
    addButton(button, response::Cancelled);
}

void ProcedureWindow::setHelpControl(QAbstractButton* button) {
    help_ = button;
    connect(button, &QAbstractButton::clicked, this, [this, button] { accepted(button); });
}

void ProcedureWindow::setForm(RecordForm* form) {
    form_ = form;
    connect(form, &RecordForm::rejected, this, [this](QWidget* w) { takeRejected(w); });
    connect(form, &RecordForm::accepted, this, [this](QWidget* w) { takeFieldEvent(w); });
    addFormTarget();
}

void ProcedureWindow::addFormTarget() {
    ToolbarRouter::Buttons rb;
    rb.help = help_;
    router_.addFormTarget(this, rb, request_, false);
}

void ProcedureWindow::addHistory(QWidget* control) {
    if (control->objectName().isEmpty())
        control->setObjectName(QStringLiteral("history%1").arg(history_.size()));
    history_.push_back(control);
}

QString ProcedureWindow::historyKey(const QWidget* control) const {
    return QString::fromLatin1(metaObject()->className()) + QLatin1Char('/') + objectName() +
           QLatin1Char('/') + control->objectName();
}

QString ProcedureWindow::controlText(const QWidget* control) const {
    if (form_ && form_->isField(control)) return form_->editorText(control);
    if (auto* line = qobject_cast<const QLineEdit*>(control)) return line->text();
    if (auto* drop = qobject_cast<const QComboBox*>(control)) return drop->currentText();
    return {};
}

void ProcedureWindow::setControlText(QWidget* control, const QString& text) {
    if (form_ && form_->isField(control)) {
        form_->setEditorText(control, text);
        if (auto* line = qobject_cast<QLineEdit*>(control)) line->setModified(true);
        form_->store(control);
    } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
        line->setText(text);
        line->setModified(true);
    } else if (auto* drop = qobject_cast<QComboBox*>(control); drop && drop->isEditable()) {
        drop->setEditText(text);
    }
}

void ProcedureWindow::storeHistory() {
    for (auto& control : history_)
        if (control) savedHistory()[historyKey(control)] = controlText(control);
}

void ProcedureWindow::onAccepted(QAbstractButton* button, std::function<void()> handler) {
    handlers_[button] = std::move(handler);
    connect(button, &QAbstractButton::clicked, this, [this, button] { accepted(button); });
}

QToolBar* ProcedureWindow::addFormToolbar() {
    if (formToolbar_) return formToolbar_;
    formToolbar_ = new QToolBar(this);
    formToolbar_->setIconSize(QSize(16, 16));
    WindowHost* host = WindowHost::of(this);
    for (const ToolbarButton& b : toolbarButtons()) {
        QAction* a = formToolbar_->addAction(host ? host->icon(b.icon) : QIcon(), QString());
        a->setToolTip(QString::fromUtf8(b.tooltip.data(), static_cast<int>(b.tooltip.size())));
        a->setProperty(kFrameTip, a->toolTip());
        const int control = b.control;
        connect(a, &QAction::triggered, this, [this, control] { toolbarAccepted(control); });
        formActions_[control] = a;
    }
    return formToolbar_;
}

// --- the overridable steps ---

bool ProcedureWindow::init() {
    insertAction_ = 2;
    deleteAction_ = 2;
    changeAction_ = 1;
    cancelAction_ = 3;
    autoToolbar_ = true;
    autoRefresh_ = true;
    return true;
}

void ProcedureWindow::kill() {
    if (dead_) return;
    buttons_.clear();
    handlers_.clear();
    restoreBuffers();
    if (primaryOpened_) primaryRelations_->close();
    primaryOpened_ = false;
    dead_ = true;
    router_.clear();
}

void ProcedureWindow::saveBuffers() {
    for (TableAccess* t : files_)
        t->savePosition();
}

void ProcedureWindow::restoreBuffers() {
    for (auto it = files_.rbegin(); it != files_.rend(); ++it)
        (*it)->restorePosition();
    files_.clear();
}

void ProcedureWindow::firstRefresh() {
    refresh();
    inited_ |= 1;
}

int ProcedureWindow::primeFields() {
    return result::Ok;
}

int ProcedureWindow::primeForRequest() {
    if (!primary_) return result::Ok;
    if (!primaryOpened_) {
        if (primaryRelations_->open() != result::Ok) {
            response_ = response::Cancelled;
            ended_ = true;
            return result::Failed;
        }
        primaryOpened_ = true;
    }
    saveBuffers();
    startImage_ = std::string(primary_->record().bytes());
    startMemo_ = primary_->record().memo;
    if (request_ == request::Insert && insertAction_) {
        response_ = response::Completed;
        int r = primeFields();
        if (r == result::Ok) r = primary_->primeAutoNumber();
        if (r != result::Ok) {
            response_ = response::Cancelled;
            ended_ = true;
            return r;
        }
        response_ = response::Cancelled;
    }
    if (request_ == request::Delete && (deleteAction_ == 2 || deleteAction_ == 4)) {
        // Carried out at once; the window never shows.
        int r = result::Ok;
        if (deleteAction_ == 2) {
            errors().setFile(primary_->def().fileName);
            r = errors().raise(9);
        }
        if (r == result::Ok) r = primaryRelations_->remove(false);
        response_ = r == result::Ok ? response::Completed : response::Cancelled;
        ended_ = true;
        return r;
    }
    reference_ = std::string(primary_->record().bytes());
    referenceMemo_ = primary_->record().memo;
    return result::Ok;
}

void ProcedureWindow::refresh() {
    if (!dead_ && !closing_) {
        for (BrowseList* list : browses_)
            list->refill();
        for (auto& drop : drops_)
            if (drop) drop->refill();
    }
    display();
}

void ProcedureWindow::display() {
    if (form_) form_->display();
}

std::uint8_t ProcedureWindow::runProcedure(int, std::uint8_t) {
    return response::Cancelled;
}

void ProcedureWindow::setAlerts() {
    if (history_.empty()) return;
    auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Apostrophe), this);
    key->setContext(Qt::WidgetWithChildrenShortcut);
    connect(key, &QShortcut::activated, this,
            [this] { recallPreviousValue(QApplication::focusWidget()); });
}

void ProcedureWindow::setResponse(std::uint8_t r) {
    response_ = r;
    if (r == response::Cancelled) PendingNavigation = 0;
    // Controls pressed before the close is carried out change nothing.
    closePending_ = true;
    QMetaObject::invokeMethod(this, &ProcedureWindow::requestClose, Qt::QueuedConnection);
}

void ProcedureWindow::accepted(QObject* control) {
    if (dead_ || ended_ || closePending_) return;
    if (takeAccepted(control) != handled::Continue) return;
    auto it = handlers_.find(control);
    if (it != handlers_.end() && it->second) it->second();
}

int ProcedureWindow::takeAccepted(QObject* control) {
    if (control && formActions_.count(toolbar::Ditto) && control == formActions_[toolbar::Ditto])
        recallPreviousValue(QApplication::focusWidget());
    auto b = buttons_.find(control);
    if (b != buttons_.end()) {
        update();
        setResponse(b->second);
        return handled::Consumed;
    }
    if (control && control == ok_.data()) {
        // Every field is checked before the form completes; a refused one
        // keeps the focus.
        if (editing(request_) && form_ && !form_->validateAll()) {
            PendingNavigation = 0;
            return handled::Consumed;
        }
        takeCompleted();
        if (response_ != response::Completed && !closing_) PendingNavigation = 0;
        return handled::Consumed;
    }
    if (control && control == help_.data()) {
        help();
        return handled::Consumed;
    }
    return handled::Continue;
}

int ProcedureWindow::takeCompleted() {
    storeHistory();
    if (!primary_) {
        setResponse(response::Completed);
        return handled::Consumed;
    }
    switch (request_) {
    case request::Insert:
        return insertCompleted();
    case request::Change:
        return changeCompleted();
    case request::Delete:
        return deleteCompleted();
    default:
        setResponse(response::Completed);
        return handled::Consumed;
    }
}

int ProcedureWindow::insertCompleted() {
    if (form_) form_->storeAll();
    if (primary_->add() != result::Ok) {
        focusFirstField();
        return handled::Consumed;
    }
    int action = insertAction_;
    if (action == 4) action = errors().raise(3) == result::Ok ? 3 : 2;
    if (action != 3) {
        setResponse(response::Completed);
        return handled::Consumed;
    }
    // Another insert: the form starts again from the buffer it had at the start.
    lastInsertedPosition_ = primary_->position();
    primary_->record().assign(startImage_);
    primary_->record().memo = startMemo_;
    response_ = response::Completed;
    int r = primeFields();
    if (r == result::Ok) r = primary_->primeAutoNumber();
    if (r != result::Ok) {
        setResponse(response::Completed);
        return handled::Consumed;
    }
    response_ = response::Cancelled;
    reference_ = std::string(primary_->record().bytes());
    referenceMemo_ = primary_->record().memo;
    display();
    focusFirstField();
    return handled::Consumed;
}

int ProcedureWindow::changeCompleted() {
    response_ = response::Cancelled;
    BusyCursor busy;
    if (form_) form_->storeAll();
    if (!recordChanged()) {
        if (PendingNavigation) {
            // Nothing to save: the move goes on, the list has nothing to re-read.
            QMetaObject::invokeMethod(this, &ProcedureWindow::endWindow, Qt::QueuedConnection);
            return handled::Consumed;
        }
        setResponse(response::Completed);
        return handled::Consumed;
    }
    for (;;) {
        if (primary_->validateRecord() != result::Ok) {
            focusFirstField();
            return handled::Consumed;
        }
        if (primaryRelations_->change(!history_.empty()) == result::Ok) {
            setResponse(response::Completed);
            return handled::Consumed;
        }
        if (primary_->lastError().code == err::RecordChanged) {
            // The other station's values are shown; they are the new reference.
            reference_ = std::string(primary_->record().bytes());
            referenceMemo_ = primary_->record().memo;
            display();
            focusFirstField();
            return handled::Consumed;
        }
        const Button b = errors().ask(34, ButtonYes | ButtonNo | ButtonCancel, ButtonCancel);
        if (b == ButtonYes) continue;
        return retryDeclined(b);
    }
}

// The answer to a retry question other than Yes: No closes the window, Cancel
// goes back to the form.
int ProcedureWindow::retryDeclined(Button answer) {
    if (answer == ButtonNo) {
        PendingNavigation = 0;
        QMetaObject::invokeMethod(this, &ProcedureWindow::endWindow, Qt::QueuedConnection);
        return handled::Consumed;
    }
    display();
    focusFirstField();
    return handled::Consumed;
}

int ProcedureWindow::deleteCompleted() {
    response_ = response::Cancelled;
    BusyCursor busy;
    if (deleteAction_ == 2) {
        errors().setFile(primary_->def().fileName);
        if (errors().raise(9) != result::Ok) return handled::Consumed;
    }
    for (;;) {
        if (primaryRelations_->remove(false) == result::Ok) {
            setResponse(response::Completed);
            return handled::Consumed;
        }
        const Button b = errors().ask(33, ButtonYes | ButtonNo | ButtonCancel, ButtonCancel);
        if (b == ButtonYes) continue;
        return retryDeclined(b);
    }
}

bool ProcedureWindow::recordChanged() {
    if (!primary_) return false;
    if (form_ && !form_->storeAll()) return true; // a value the field cannot hold
    return primary_->record().bytes() != reference_ || primary_->record().memo != referenceMemo_;
}

int ProcedureWindow::takeCloseEvent() {
    if (response_ == response::Completed || !primary_) return handled::Continue;
    if (cancelAction_ && editing(request_) && recordChanged()) {
        if ((cancelAction_ & 3) == 3) {
            const Button b = errors().ask(35, ButtonYes | ButtonNo | ButtonCancel, ButtonCancel);
            if (b == ButtonCancel) {
                focusFirstField();
                return handled::Consumed;
            }
            if (b == ButtonYes) {
                pressOk();
                return response_ == response::Completed ? handled::Continue : handled::Consumed;
            }
        } else if (cancelAction_ & 1) {
            pressOk();
            return response_ == response::Completed ? handled::Continue : handled::Consumed;
        } else if (errors().raise(8) != result::Ok) {
            focusFirstField();
            return handled::Consumed;
        }
    }
    if (originalRequest_ == request::Insert && request_ == request::Insert) {
        // The reserved auto-numbered record goes again.
        if (primary_->cancelAutoNumber() != result::Ok) return handled::Consumed;
    }
    if (lastInsertedPosition_) {
        // The caller's list shows the last record added.
        response_ = response::Completed;
        primary_->fetchPosition(lastInsertedPosition_);
    }
    return handled::Continue;
}

int ProcedureWindow::takeFieldEvent(QWidget*) {
    return handled::Continue;
}

int ProcedureWindow::takeNewSelection(QWidget*) {
    router_.update();
    return handled::Continue;
}

int ProcedureWindow::takeRejected(QWidget* control) {
    QApplication::beep();
    if (control) control->setFocus(Qt::OtherFocusReason);
    return handled::Consumed;
}

int ProcedureWindow::takeSelected(QWidget*) {
    return handled::Continue;
}

int ProcedureWindow::takeWindowEvent(WindowEvent event) {
    switch (event) {
    case WindowEvent::Opened:
        if (!(inited_ & 1)) firstRefresh();
        focusFirstField();
        syncToolbar();
        break;
    case WindowEvent::GainedFocus:
        if (resetOnGainFocus_) {
            refresh();
        } else {
            // Rows another window or program saved or deleted meanwhile.
            for (BrowseList* list : browses_)
                list->refreshIfChanged();
        }
        syncToolbar();
        break;
    case WindowEvent::DeferredRefresh:
        if (inited_ & 1)
            refresh();
        else
            firstRefresh();
        break;
    case WindowEvent::OnceOnly:
        if (inited_ & 2)
            refresh();
        else
            inited_ |= 2;
        break;
    case WindowEvent::Completed:
        return takeCompleted();
    case WindowEvent::Close:
        return takeCloseEvent();
    }
    return handled::Continue;
}

void ProcedureWindow::update() {
    for (BrowseList* list : browses_)
        list->update();
}

// --- controls ---

void ProcedureWindow::focusFirstField() {
    if (firstField_) firstField_->setFocus(Qt::OtherFocusReason);
}

void ProcedureWindow::pressOk() {
    if (ok_)
        accepted(ok_);
    else
        takeCompleted();
}

void ProcedureWindow::cancel() {
    if (cancel_ && cancel_->isEnabled() && cancel_->isVisible())
        accepted(cancel_);
    else
        requestClose();
}

void ProcedureWindow::setDefaultControl(QAbstractButton* button) {
    default_ = button;
}

QAbstractButton* ProcedureWindow::defaultControl() const {
    return default_;
}

void ProcedureWindow::navigate(int control) {
    PendingNavigation = control;
    pressOk();
}

void ProcedureWindow::recallPreviousValue(QWidget* control) {
    // The focus may sit inside a compound editor.
    auto isHistory = [this](const QWidget* w) {
        for (const auto& h : history_)
            if (h == w) return true;
        return false;
    };
    while (control && control != this && !isHistory(control))
        control = control->parentWidget();
    if (!control || control == this) return;
    auto it = savedHistory().find(historyKey(control));
    if (it == savedHistory().end()) return;
    setControlText(control, it->second);
}

void ProcedureWindow::help() {
    if (WindowHost* host = WindowHost::of(this)) host->openUserGuide();
}

// --- toolbar ---

void ProcedureWindow::toolbarAccepted(int control) {
    if (dead_ || ended_ || closePending_) return;
    if (control == toolbar::Ditto && formActions_.count(control) == 0) {
        recallPreviousValue(QApplication::focusWidget());
        return;
    }
    router_.take(control);
    syncToolbar();
}

bool ProcedureWindow::toolbarEnabled(int control) const {
    return router_.isEnabled(control);
}

QString ProcedureWindow::toolbarTip(int control) const {
    return router_.tooltip(control);
}

void ProcedureWindow::refreshToolbar() {
    syncToolbar();
}

void ProcedureWindow::syncToolbar() {
    if (dead_) return;
    emit toolbarStateChanged();
    auto apply = [this](QAction* a, int control) {
        if (!a) return;
        if (!a->property(kFrameTip).isValid()) a->setProperty(kFrameTip, a->toolTip());
        a->setEnabled(router_.isEnabled(control));
        const QString tip = router_.tooltip(control);
        a->setToolTip(tip.isEmpty() ? a->property(kFrameTip).toString() : tip);
    };
    for (auto& [control, action] : formActions_)
        apply(action, control);
    if (!autoToolbar_) return;
    WindowHost* host = WindowHost::of(this);
    if (!host || host->currentChild() != this) return;
    for (int c = toolbar::FirstControl; c <= toolbar::LastControl; ++c)
        host->setToolbarState(c, router_.isEnabled(c), router_.tooltip(c));
}

} // namespace mvz
