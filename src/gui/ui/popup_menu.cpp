#include "ui/popup_menu.h"

#include <QAbstractButton>
#include <QMenu>

namespace mvz {

PopupMenu::PopupMenu(QObject* parent) : QObject(parent) {}

void PopupMenu::addItem(int controlId, const QString& text, QAbstractButton* button) {
    items_.push_back({controlId, text, button});
}

void PopupMenu::addSeparator() {
    items_.push_back({});
}

void PopupMenu::clear() {
    items_.clear();
    lastSelection_ = -1;
}

QStringList PopupMenu::texts() const {
    QStringList out;
    for (const Item& item : items_)
        out << (item.text.isEmpty() ? QStringLiteral("-") : item.text);
    return out;
}

bool PopupMenu::isDisabled(int index) const {
    if (index < 0 || index >= static_cast<int>(items_.size())) return true;
    const Item& item = items_[static_cast<std::size_t>(index)];
    return item.text.isEmpty() || !item.button || !item.button->isEnabled();
}

bool PopupMenu::choose(int index) {
    if (isDisabled(index)) return false;
    lastSelection_ = index;
    items_[static_cast<std::size_t>(index)].button->click();
    return true;
}

int PopupMenu::exec(const QPoint& globalPos, QWidget* parent) {
    QMenu menu(parent);
    std::vector<QAction*> actions;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].text.isEmpty()) {
            actions.push_back(menu.addSeparator());
            continue;
        }
        QAction* a = menu.addAction(items_[i].text);
        a->setEnabled(!isDisabled(static_cast<int>(i)));
        actions.push_back(a);
    }
    QAction* chosen = menu.exec(globalPos);
    for (std::size_t i = 0; i < actions.size(); ++i)
        if (chosen && actions[i] == chosen) {
            choose(static_cast<int>(i));
            return static_cast<int>(i);
        }
    return -1;
}

} // namespace mvz
