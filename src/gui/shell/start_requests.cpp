#include "shell/start_requests.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include <cstdio>
#include <memory>

#include "shell/first_paint_watch.h"
#include "shell/main_frame.h"
#include "shell/main_menu.h"

namespace mvz {

namespace {

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void warn(const QString& text) {
    std::fprintf(stderr, "mvz: %s\n", text.toUtf8().constData());
}

QPixmap grabFrame(MainFrame& frame) {
    // From the screen, so that message boxes and menus over the frame are in
    // the picture too; a platform without a screen to grab gets the frame.
    QPixmap shot;
    if (QScreen* screen = frame.screen();
        screen && QGuiApplication::platformName() != "offscreen") {
        // The frame and the windows over it (a row window, a message box),
        // which may reach beyond the frame.
        QRect r = frame.frameGeometry();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != &frame && w->isVisible() && w->windowType() != Qt::ToolTip)
                r = r.united(w->frameGeometry());
        r = r.intersected(screen->geometry());
        shot = screen->grabWindow(0, r.x(), r.y(), r.width(), r.height());
    }
    if (shot.isNull()) shot = frame.grab();
    return shot;
}

// Posts a key press and release to the focused widget, as typing would.
void pressKey(QKeyCombination key) {
    QWidget* target = QApplication::focusWidget();
    if (!target) target = QApplication::activeWindow();
    if (!target) return;
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
        QCoreApplication::postEvent(target,
                                    new QKeyEvent(type, key.key(), key.keyboardModifiers()));
}

} // namespace

QString menuItemNamed(const QString& text) {
    const QString wanted = text.trimmed();
    static const QRegularExpression number(QStringLiteral("^[0-9A-Z]\\.\\s*"));
    for (const MenuEntry& entry : mainMenuEntries()) {
        if (entry.kind != MenuEntryKind::Item) continue;
        const QString name = qt(entry.name);
        QString label = qt(entry.text).remove(QLatin1Char('&')).trimmed();
        if (wanted.compare(name, Qt::CaseInsensitive) == 0 ||
            wanted.compare(label, Qt::CaseInsensitive) == 0 ||
            wanted.compare(label.remove(number), Qt::CaseInsensitive) == 0)
            return name;
    }
    return {};
}

// Time between two keys of MVZ_KEYS, for the window a key opens to show.
constexpr int kKeySpacingMs = 400;

void applyStartRequests(MainFrame& frame) {
    if (qEnvironmentVariableIntValue("MVZ_MEASURE_START") == 1) new FirstPaintWatch(&frame);
    const QString open = qEnvironmentVariable("MVZ_OPEN");
    const QString shotPath = qEnvironmentVariable("MVZ_SCREENSHOT");
    bool delayOk = false;
    int delay = qEnvironmentVariableIntValue("MVZ_SCREENSHOT_DELAY", &delayOk);
    if (!delayOk) delay = 700;
    if (open.isEmpty() && shotPath.isEmpty()) return;

    auto failed = std::make_shared<bool>(false);
    auto taken = std::make_shared<bool>(false);
    auto takeShot = [&frame, shotPath, failed, taken] {
        if (*taken) return;
        *taken = true;
        // A window that was not shown as asked gets no picture.
        if (*failed) return QCoreApplication::exit(1);
        if (!grabFrame(frame).save(shotPath, "PNG")) {
            warn(QStringLiteral("cannot write the screenshot %1").arg(shotPath));
            *failed = true;
        }
        QCoreApplication::exit(*failed ? 1 : 0);
    };

    QObject::connect(
        &frame, &MainFrame::started, &frame, [&frame, open, shotPath, delay, failed, takeShot] {
            for (const QString& part : open.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                const QString name = menuItemNamed(part);
                const std::string named = part.trimmed().toStdString();
                if (name.isEmpty() && frame.isRegistered(named)) {
                    // A window no menu item starts, by its registered name.
                    if (!frame.openWindow(named)) {
                        warn(QStringLiteral("the window \"%1\" did not open").arg(part));
                        *failed = true;
                    }
                } else if (name.isEmpty()) {
                    warn(QStringLiteral("no menu item \"%1\"").arg(part));
                    *failed = true;
                } else if (!frame.choose(name.toStdString())) {
                    warn(QStringLiteral("the menu item \"%1\" is disabled: its "
                                        "window is not built yet")
                             .arg(part));
                    *failed = true;
                }
            }
            // Keys for the window that has the focus (e.g. "Insert" opens a
            // list's row window), once it has settled. Each key goes on its
            // own turn of the event loop, so a key that opens a modal window
            // does not hold back the keys meant for that window.
            const QString keys = qEnvironmentVariable("MVZ_KEYS");
            const QKeySequence sequence(keys);
            if (!keys.isEmpty() && sequence.isEmpty()) {
                warn(QStringLiteral("cannot read the keys \"%1\"").arg(keys));
                *failed = true;
            }
            for (int i = 0; i < sequence.count(); ++i)
                QTimer::singleShot(delay / 2 + i * kKeySpacingMs, &frame,
                                   [key = sequence[i]] { pressKey(key); });
            const int settled = delay + std::max(0, sequence.count() - 1) * kKeySpacingMs;
            if (!shotPath.isEmpty()) QTimer::singleShot(settled, &frame, takeShot);
        });
    // A question at start (the reminder) holds the start-up: the picture is
    // then taken of the question.
    if (!shotPath.isEmpty()) QTimer::singleShot(delay + 4000 + 4 * kKeySpacingMs, &frame, takeShot);
}

} // namespace mvz
