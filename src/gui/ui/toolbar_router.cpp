#include "ui/toolbar_router.h"

#include <QAbstractButton>
#include <QApplication>

#include "ui/toolbar_controls.h"
#include "ui/browse_list.h"
#include "ui/procedure_window.h"
#include "ui/requests.h"

namespace mvz {

namespace {

bool isNavigation(int control) {
    return control == toolbar::First || control == toolbar::PageUp || control == toolbar::Up ||
           control == toolbar::Down || control == toolbar::PageDown || control == toolbar::Last;
}

ListControl::Scroll scrollOf(int control) {
    switch (control) {
    case toolbar::First:
        return ListControl::Scroll::First;
    case toolbar::PageUp:
        return ListControl::Scroll::PageUp;
    case toolbar::Up:
        return ListControl::Scroll::RowUp;
    case toolbar::Down:
        return ListControl::Scroll::RowDown;
    case toolbar::PageDown:
        return ListControl::Scroll::PageDown;
    default:
        return ListControl::Scroll::Last;
    }
}

bool contains(QWidget* outer, QWidget* w) {
    return outer && w && (outer == w || outer->isAncestorOf(w));
}

} // namespace

QString listToolbarTip(int control) {
    switch (control) {
    case toolbar::First:
        return QStringLiteral("Go to the First Page");
    case toolbar::PageUp:
        return QStringLiteral("Go to the Prior Page");
    case toolbar::Up:
        return QStringLiteral("Go to the Prior Record");
    case toolbar::Down:
        return QStringLiteral("Go to the Next Record");
    case toolbar::PageDown:
        return QStringLiteral("Go to the Next Page");
    case toolbar::Last:
        return QStringLiteral("Go to the Last Page");
    case toolbar::Insert:
        return QStringLiteral("Insert a new Record");
    default:
        return {};
    }
}

QString formToolbarTip(int control, std::uint8_t request) {
    switch (control) {
    case toolbar::First:
        return QStringLiteral("Save changes and go to first record");
    case toolbar::PageUp:
        return QStringLiteral("Save changes and page up to record");
    case toolbar::Up:
        return QStringLiteral("Save changes and go to previous record");
    case toolbar::Down:
        return QStringLiteral("Save changes and go to next record");
    case toolbar::PageDown:
        return QStringLiteral("Save changes and page down to record");
    case toolbar::Last:
        return QStringLiteral("Save changes and go to last record");
    case toolbar::Insert:
        return request == request::Insert ? QStringLiteral("Save this record and add a new one")
                                          : QStringLiteral("Save record and add another");
    default:
        return {};
    }
}

ToolbarRouter::ToolbarRouter(QObject* parent) : QObject(parent) {}

void ToolbarRouter::addBrowseTarget(BrowseList* list, const Buttons& buttons) {
    Target t;
    t.list = list;
    t.buttons = buttons;
    targets_.push_back(t);
    if (current_ < 0) current_ = 0;
}

void ToolbarRouter::addFormTarget(ProcedureWindow* form, const Buttons& buttons,
                                  std::uint8_t request, bool history) {
    Target t;
    t.form = form;
    t.buttons = buttons;
    t.request = request;
    t.history = history;
    targets_.push_back(t);
    if (current_ < 0) current_ = static_cast<int>(targets_.size()) - 1;
}

void ToolbarRouter::clear() {
    targets_.clear();
    current_ = -1;
    emit stateChanged();
}

const ToolbarRouter::Target* ToolbarRouter::current() const {
    if (current_ < 0 || current_ >= static_cast<int>(targets_.size())) return nullptr;
    const Target& t = targets_[static_cast<std::size_t>(current_)];
    return (t.list || t.form) ? &t : nullptr;
}

BrowseList* ToolbarRouter::currentList() const {
    const Target* t = current();
    return t ? t->list.data() : nullptr;
}

void ToolbarRouter::focusChanged(QWidget* focus) {
    // A list takes over when the focus enters it; a form target when the
    // focus is in the form outside its lists. Elsewhere the last one stays.
    int formTarget = -1;
    for (std::size_t i = 0; i < targets_.size(); ++i) {
        const Target& t = targets_[i];
        if (t.list && contains(t.list, focus)) {
            current_ = static_cast<int>(i);
            emit stateChanged();
            return;
        }
        if (t.form && contains(t.form, focus)) formTarget = static_cast<int>(i);
    }
    if (formTarget >= 0) current_ = formTarget;
    emit stateChanged();
}

void ToolbarRouter::update() {
    emit stateChanged();
}

bool ToolbarRouter::pressable(const QPointer<QAbstractButton>& button) {
    return button && button->isEnabled() && !button->isHidden();
}

bool ToolbarRouter::isEnabled(int control) const {
    const Target* t = current();
    if (!t) return false;
    if (t->list) {
        const bool rows = !t->list->isEmpty();
        if (isNavigation(control)) return rows;
        switch (control) {
        case toolbar::Insert:
            return pressable(t->buttons.insert);
        case toolbar::Change:
            return rows && pressable(t->buttons.change);
        case toolbar::Delete:
            return rows && pressable(t->buttons.remove);
        case toolbar::Select:
            return rows && pressable(t->buttons.select);
        case toolbar::Locate:
            return rows && t->list->hasLocator();
        case toolbar::Help:
            return pressable(t->buttons.help);
        default:
            return false;
        }
    }
    const bool editing = t->request == request::Insert || t->request == request::Change;
    if (isNavigation(control)) return editing && t->form->navigationAllowed();
    switch (control) {
    case toolbar::Insert:
        return editing && t->form->navigationAllowed();
    case toolbar::Ditto:
        return t->history || t->form->hasHistory();
    case toolbar::Help:
        return pressable(t->buttons.help);
    default:
        return false;
    }
}

QString ToolbarRouter::tooltip(int control) const {
    const Target* t = current();
    if (!t) return {};
    return t->list ? listToolbarTip(control) : formToolbarTip(control, t->request);
}

bool ToolbarRouter::take(int control) {
    if (!isEnabled(control)) return false;
    const Target* t = current();
    if (t->list) {
        BrowseList* list = t->list;
        if (isNavigation(control)) {
            list->scroll(scrollOf(control));
            return true;
        }
        switch (control) {
        case toolbar::Insert:
            t->buttons.insert->click();
            return true;
        case toolbar::Change:
            t->buttons.change->click();
            return true;
        case toolbar::Delete:
            t->buttons.remove->click();
            return true;
        case toolbar::Select:
            t->buttons.select->click();
            return true;
        case toolbar::Locate:
            list->focusLocator();
            return true;
        case toolbar::Help:
            t->buttons.help->click();
            return true;
        default:
            return false;
        }
    }
    ProcedureWindow* form = t->form;
    if (isNavigation(control) || control == toolbar::Insert) {
        form->navigate(control);
        return true;
    }
    if (control == toolbar::Ditto) {
        form->recallPreviousValue(QApplication::focusWidget());
        return true;
    }
    if (control == toolbar::Help) {
        t->buttons.help->click();
        return true;
    }
    return false;
}

} // namespace mvz
