#include "ui/list_report.h"

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
    if (place) {
        place(preview);
    } else if (WindowHost* host = window ? WindowHost::of(window) : nullptr) {
        host->openChild(preview, ChildPlacement::Fill);
    } else {
        preview->show();
    }
    return preview;
}

} // namespace mvz
