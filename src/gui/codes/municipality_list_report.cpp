#include "codes/municipality_list_report.h"

#include "ui/list_report.h"

namespace mvz {

ReportPreview* printMunicipalityList(QWidget* parent, const std::string& dataDir,
                                     ErrorReporter& errors, MunicipalityListOrder order,
                                     const std::function<void(QWidget*)>& place) {
    return printList(
        parent, dataDir, errors,
        [order](Tables& tables, const std::string& stamp, Reporter& reporter) {
            return municipalityList(tables, order, stamp, reporter);
        },
        place);
}

} // namespace mvz
