#pragma once
// The report procedure of the municipality list ("ŠIFARNIK - OPĆINE I
// GRADOVI"): runs the list under the progress window and opens its preview.

#include <functional>
#include <string>

#include "print/municipality_list.h"

class QWidget;

namespace mvz {

class ErrorReporter;
class ReportPreview;

// `place` shows the preview (e.g. as a child of the main frame); without one
// it opens as a window of its own. Returns the preview, or nullptr when
// there was nothing to show (no records, cancelled or failed; the user has
// been told where that needs telling).
ReportPreview* printMunicipalityList(QWidget* parent, const std::string& dataDir,
                                     ErrorReporter& errors, MunicipalityListOrder order,
                                     const std::function<void(QWidget*)>& place = {});

} // namespace mvz
