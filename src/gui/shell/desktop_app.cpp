#include "shell/desktop_app.h"

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>

namespace mvz {

int runDesktop(int argc, char** argv, const std::string& dataDir) {
    QApplication app(argc, argv);
    QMainWindow frame;
    frame.setWindowTitle(QStringLiteral("TARVELIN - OBRAZAC M-Vz  - 2010 - Verzija-0.3"));
    frame.setCentralWidget(new QMdiArea(&frame));
    frame.resize(1024, 720);
    frame.show();
    (void)dataDir;
    return app.exec();
}

} // namespace mvz
