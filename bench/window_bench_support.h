#pragma once
// What the benchmarks that open windows need before their QApplication: the
// offscreen platform unless another was asked for, and Qt's messages on
// standard error without the offscreen platform's notes about window hints.

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace mvz::bench {

inline void prepareWindowBenchmark() {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (!text.contains(QLatin1String("propagateSizeHints")))
            std::fprintf(stderr, "%s\n", qPrintable(text));
        if (type == QtFatalMsg) std::abort();
    });
}

} // namespace mvz::bench
