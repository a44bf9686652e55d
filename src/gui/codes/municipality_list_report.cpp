#include "codes/municipality_list_report.h"

#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "print/print_stamp.h"
#include "ui/report_preview.h"
#include "ui/report_runner.h"

namespace mvz {

ReportPreview* printMunicipalityList(QWidget* parent, const std::string& dataDir,
                                     ErrorReporter& errors, MunicipalityListOrder order,
                                     const std::function<void(QWidget*)>& place) {
    const std::string stamp = printStampNow();
    ReportResult result = runReport(parent, errors, [&](Reporter& reporter) {
        // The run's own table objects and messages, on the worker thread.
        ErrorReporter runErrors(reporter);
        runErrors.addMessages(standardMessages());
        Tables tables(dataDir, runErrors);
        return municipalityList(tables, order, stamp, reporter);
    });
    if (result.status != ReportStatus::Done) return nullptr;
    auto* preview = new ReportPreview(std::move(result.pages), errors.reporter());
    if (place)
        place(preview);
    else
        preview->show();
    return preview;
}

} // namespace mvz
