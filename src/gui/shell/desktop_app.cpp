#include "shell/desktop_app.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

#include <cstdio>
#include <memory>

#include "data/error_reporter.h"
#include "data/message_table.h"
#include "exchange/exchange.h"
#include "shell/main_frame.h"
#include "shell/new_installation_offer.h"
#include "shell/shell_icons.h"
#include "shell/shell_windows.h"
#include "shell/start_requests.h"
#include "submission/file_swap.h"
#include "ui/qt_reporter.h"
#include "ui/qt_translations.h"
#include "ui/window_memory.h"

namespace mvz {

int runDesktop(int argc, char** argv, const std::string& dataDir) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mvz"));
    QApplication::setOrganizationName(QStringLiteral("mvz"));
    QApplication::setWindowIcon(programIcon());
    installCroatianQtTexts(app);

    // The data files are named without a folder: the data directory becomes
    // the current directory, as file dialogs start there too.
    const QFileInfo dir(QString::fromStdString(dataDir.empty() ? "." : dataDir));
    if (!dir.isDir()) {
        const QString text =
            QStringLiteral("Mapa s podacima ne postoji:\n%1").arg(dir.absoluteFilePath());
        std::fprintf(stderr, "mvz: %s\n", text.toUtf8().constData());
        QMessageBox::critical(nullptr, MainFrame::caption(), text);
        return 1;
    }
    const QString absolute = dir.absoluteFilePath();
    QDir::setCurrent(absolute);

    // The process-wide objects, made in this order and destroyed in the
    // reverse one: the reporter that shows messages, the error reporter with
    // the message table, the frame (which closes its children).
    QtReporter reporter;
    ErrorReporter errors(reporter);
    errors.addMessages(standardMessages());
    // An import or takeover cut short (the program killed, the power gone)
    // is finished or undone before any table is opened.
    recoverInterruptedExchange(absolute.toStdString());
    // So is a forming or collective run killed before it committed its form.
    recoverInterruptedRuns(absolute.toStdString());
    switch (offerNewInstallation(absolute, errors)) {
    case OfferOutcome::Declined:
        return 0;
    case OfferOutcome::Failed:
        return 1;
    default:
        break;
    }
    // Windows remember their size, place and tab per user; MVZ_NO_MEMORY=1
    // starts without (pictures and measurements are then alike every run).
    if (qEnvironmentVariableIntValue("MVZ_NO_MEMORY") != 1)
        WindowMemory::setStore(std::make_unique<QSettings>());
    int code = 0;
    {
        MainFrame frame(absolute.toStdString(), errors);
        reporter.setParentWidget(&frame);
        reporter.setStatusBar(frame.statusBar());
        registerShellWindows(frame);
        applyStartRequests(frame);
        frame.show();
        code = app.exec();
        reporter.setParentWidget(nullptr);
        reporter.setStatusBar(nullptr);
    }
    return code;
}

} // namespace mvz
