#include "ui/list_report.h"

#include <QScreen>
#include <QWidget>

#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "print/print_stamp.h"
#include "ui/report_preview.h"
#include "ui/report_runner.h"
#include "ui/window_host.h"

namespace mvz {

ReportPreview* printList(QWidget* window, const std::string& dataDir, ErrorReporter& errors,
                         const ListJob& job, const std::function<void(QWidget*)>& place) {
    const std::string stamp = printStampNow();
    ReportResult result = runReport(window, errors, [&](Reporter& reporter) {
        // The run's own table objects and messages, on the worker thread.
        ErrorReporter runErrors(reporter);
        runErrors.addMessages(standardMessages());
        Tables tables(dataDir, runErrors);
        return job(tables, stamp, reporter);
    });
    if (result.status != ReportStatus::Done) return nullptr;
    auto* preview = new ReportPreview(std::move(result.pages), errors.reporter());
    QWidget* top = window ? window->window() : nullptr;
    if (place) {
        place(preview);
    } else if (top && top->isModal()) {
        // A modal window (a dialog over a list) keeps the frame from being
        // used: the preview opens over it, as a window of its own.
        preview->setParent(top, Qt::Window);
        preview->setAttribute(Qt::WA_DeleteOnClose);
        const QRect screen = top->screen()->availableGeometry();
        preview->resize(screen.width() * 4 / 5, screen.height() * 9 / 10);
        preview->move(screen.center() - preview->rect().center());
        preview->show();
    } else if (WindowHost* host = window ? WindowHost::of(window) : nullptr) {
        host->openChild(preview, ChildPlacement::Fill);
    } else {
        preview->show();
    }
    return preview;
}

} // namespace mvz
