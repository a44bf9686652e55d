#include "shell/first_paint_watch.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <cstdio>

namespace mvz {

FirstPaintWatch::FirstPaintWatch(QObject* window) : QObject(window) {
    window->installEventFilter(this);
}

bool FirstPaintWatch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && !seen_) {
        seen_ = true;
        // The paint of the whole window ends before queued calls run.
        QTimer::singleShot(0, watched, [] {
            std::fputs("painted\n", stdout);
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    }
    return false;
}

} // namespace mvz
