#include "ui/window_memory.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace mvz {

namespace {

std::unique_ptr<QSettings>& theStore() {
    static std::unique_ptr<QSettings> store;
    return store;
}

} // namespace

namespace WindowMemory {

void setStore(std::unique_ptr<QSettings> store) {
    theStore() = std::move(store);
}

QSettings* store() {
    return theStore().get();
}

QString keyOf(const QWidget* window) {
    const QString name =
        window->objectName().isEmpty() ? window->windowTitle() : window->objectName();
    return QString::fromLatin1(window->metaObject()->className()) + QLatin1Char('/') + name;
}

bool restoreSize(QWidget* window) {
    if (!store()) return false;
    const QSize size = store()->value(keyOf(window) + QStringLiteral("/size")).toSize();
    if (!size.isValid()) return false;
    window->resize(size.expandedTo(window->minimumSizeHint()));
    return true;
}

void saveSize(const QWidget* window) {
    if (store()) store()->setValue(keyOf(window) + QStringLiteral("/size"), window->size());
}

bool restoreGeometry(QWidget* window, const QString& key) {
    if (!store()) return false;
    const QRect r = store()->value(key + QStringLiteral("/geometry")).toRect();
    if (!r.isValid()) return false;
    window->setGeometry(r);
    return true;
}

void saveGeometry(const QWidget* window, const QString& key) {
    if (store()) store()->setValue(key + QStringLiteral("/geometry"), window->geometry());
}

int number(const QString& key, int fallback) {
    if (!store()) return fallback;
    bool ok = false;
    const int value = store()->value(key).toInt(&ok);
    return ok ? value : fallback;
}

void setNumber(const QString& key, int value) {
    if (store()) store()->setValue(key, value);
}

} // namespace WindowMemory

void placeOver(QWidget* window, const QWidget* over) {
    if (!over) return;
    const QSize size = window->size();
    const QRect area = over->rect().translated(over->mapToGlobal(QPoint(0, 0)));
    QPoint topLeft = area.center() - QPoint(size.width() / 2, size.height() / 2);
    if (const QScreen* screen = over->screen()) {
        const QRect avail = screen->availableGeometry();
        topLeft.setX(std::clamp(topLeft.x(), avail.left(),
                                std::max(avail.left(), avail.right() - size.width())));
        topLeft.setY(std::clamp(topLeft.y(), avail.top(),
                                std::max(avail.top(), avail.bottom() - size.height())));
    }
    window->move(topLeft);
}

} // namespace mvz
