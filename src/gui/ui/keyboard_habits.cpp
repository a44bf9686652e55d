#include "ui/keyboard_habits.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>

#include "ui/procedure_window.h"
#include "ui/window_host.h"

namespace mvz {

namespace {

// The hot letter of a button text: the character after a single "&".
QChar hotLetterOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) continue;
        if (text[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return text[i + 1].toLower();
    }
    return {};
}

// The letter or digit of an Alt key (without Ctrl: AltGr types characters).
QChar altLetter(const QKeyEvent* key) {
    const Qt::KeyboardModifiers m = key->modifiers() & ~Qt::KeypadModifier & ~Qt::ShiftModifier;
    if (m != Qt::AltModifier) return {};
    const int k = key->key();
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return QChar(u'a' + (k - Qt::Key_A));
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return QChar(u'0' + (k - Qt::Key_0));
    const QString text = key->text();
    if (text.size() == 1 && text[0].isLetterOrNumber()) return text[0].toLower();
    return {};
}

bool isField(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w);
}

class KeyboardHabits : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        // Each key reaches the filter once per widget it is offered to: act
        // for the focus widget only.
        if (!widget || widget != QApplication::focusWidget()) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (const QChar letter = altLetter(key); !letter.isNull())
            return hotLetter(widget, letter, key);
        if (type != QEvent::KeyPress || key->modifiers() & ~Qt::KeypadModifier) return false;
        if (key->key() == Qt::Key_Escape) return escape(widget);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) return enter(widget);
        return false;
    }

  private:
    static bool hotLetter(QWidget* focus, QChar letter, QKeyEvent* key) {
        QWidget* scope = keyScope(focus);
        QAbstractButton* button = scope ? hotLetterButton(scope, letter) : nullptr;
        if (key->type() == QEvent::ShortcutOverride) {
            // Taking the override keeps the key from the menu bar and the
            // other windows' shortcuts; it then arrives as a key press.
            if (!button) return false;
            key->accept();
            return true;
        }
        if (button) {
            button->setFocus(Qt::ShortcutFocusReason);
            button->click();
        }
        return true; // never typed into the field
    }

    static bool escape(QWidget* focus) {
        QWidget* scope = keyScope(focus);
        if (!scope) return false;
        if (auto* window = qobject_cast<ProcedureWindow*>(scope)) {
            window->cancel();
            return true;
        }
        if (auto* sub = qobject_cast<QMdiSubWindow*>(scope->parentWidget())) {
            sub->close();
            return true;
        }
        // Dialogs and open lists answer Escape themselves; a host (the frame)
        // never closes on it.
        if (!scope->isWindow() || scope->windowType() == Qt::Popup ||
            qobject_cast<QDialog*>(scope) || dynamic_cast<WindowHost*>(scope))
            return false;
        scope->close();
        return true;
    }

    static bool enter(QWidget* focus) {
        if (auto* button = qobject_cast<QAbstractButton*>(focus)) {
            button->click();
            return true;
        }
        auto* window = qobject_cast<ProcedureWindow*>(keyScope(focus));
        if (!window || !isField(focus)) return false;
        if (auto* combo = qobject_cast<QComboBox*>(focus); combo && combo->view()->isVisible())
            return false;
        if (QAbstractButton* byDefault = window->defaultControl();
            byDefault && byDefault->isEnabled()) {
            byDefault->setFocus(Qt::OtherFocusReason); // the field is checked as it is left
            if (QApplication::focusWidget() == byDefault) byDefault->click();
            return true;
        }
        // As Tab does: the next control in the window's tab order.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(focus, &tab);
        return true;
    }
};

} // namespace

void installKeyboardHabits() {
    static KeyboardHabits* habits = nullptr;
    if (habits || !qApp) return;
    habits = new KeyboardHabits(qApp);
    qApp->installEventFilter(habits);
}

QWidget* keyScope(QWidget* widget) {
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (qobject_cast<ProcedureWindow*>(w)) return w;
        if (qobject_cast<QMdiSubWindow*>(w->parentWidget())) return w;
        if (w->isWindow()) return w;
    }
    return nullptr;
}

QAbstractButton* hotLetterButton(QWidget* scope, QChar letter) {
    const QChar wanted = letter.toLower();
    for (QAbstractButton* b : scope->findChildren<QAbstractButton*>()) {
        if (!b->isEnabled() || !b->isVisibleTo(scope) || hotLetterOf(b->text()) != wanted) continue;
        // A button of a window inside this one (a row window, a child of
        // the frame) is that window's.
        QWidget* owner = b->parentWidget();
        while (owner && owner != scope && !qobject_cast<ProcedureWindow*>(owner) &&
               !qobject_cast<QMdiSubWindow*>(owner) && !owner->isWindow())
            owner = owner->parentWidget();
        if (owner == scope) return b;
    }
    return nullptr;
}

} // namespace mvz
