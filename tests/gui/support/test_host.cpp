#include "gui/support/test_host.h"

#include <QCoreApplication>
#include <QPixmap>

namespace mvz {

TestHost::TestHost() {
    setObjectName(QStringLiteral("testHost"));
    resize(800, 600);
}

TestHost::~TestHost() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (auto& [window, placement] : children)
        delete window.data();
}

void TestHost::openChild(QWidget* window, ChildPlacement placement) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    children.emplace_back(window, placement);
    current_ = window;
    window->show();
}

bool TestHost::closeOtherChildren(QWidget* keep) {
    bool all = true;
    for (auto& [window, placement] : children)
        if (window && window != keep && !window->close()) all = false;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return all;
}

void TestHost::setToolbarState(int control, bool enabled, const QString& tooltip) {
    toolbar[control] = {enabled, tooltip};
}

QIcon TestHost::icon(std::string_view name) const {
    if (name.empty()) return {};
    QPixmap dot(8, 8);
    dot.fill(Qt::darkBlue);
    return QIcon(dot);
}

} // namespace mvz
