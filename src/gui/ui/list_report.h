#pragma once
// Printing a list of the installation's tables: the list's job reads its own
// table objects on a worker thread under the progress window, then the pages
// open in the report preview, a child of the window's host filling its area
// (or a window of its own without a host).
//
//   printList(this, dataDir, errors, [](Tables& t, const std::string& stamp, Reporter& r) {
//       return printCodeTable(t, codeTableList("VUP"), stamp, r);
//   });

#include <functional>
#include <string>

#include "print/report_result.h"

class QWidget;

namespace mvz {

class ErrorReporter;
class ReportPreview;
class Reporter;
class Tables;

using ListJob =
    std::function<ReportResult(Tables& tables, const std::string& stamp, Reporter& reporter)>;

// `place` shows the preview; without one it opens in the host of `window`.
// Returns the preview, or nullptr when there was nothing to show (no
// records, cancelled or failed; the user has been told where that needs
// telling).
ReportPreview* printList(QWidget* window, const std::string& dataDir, ErrorReporter& errors,
                         const ListJob& job, const std::function<void(QWidget*)>& place = {});

} // namespace mvz
