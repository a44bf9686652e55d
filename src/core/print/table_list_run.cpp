#include "print/table_list_run.h"

#include <algorithm>

#include "base/reporter.h"
#include "data/table_access.h"

namespace mvz {

ReportResult runTableList(TableAccess& table, int key, ListPages& pages, Reporter& reporter,
                          const std::function<void(const Record& record)>& addRecord) {
    ReportResult out;
    if (table.open() != result::Ok) {
        out.status = ReportStatus::Failed;
        return out;
    }
    table.setOrder(key);
    const std::int64_t total = table.count();
    while (table.next() == result::Ok) {
        if (reporter.cancelRequested()) {
            out.status = ReportStatus::Cancelled;
            table.close();
            return out;
        }
        addRecord(table.record());
        ++out.records;
        reporter.progress(static_cast<std::uint64_t>(out.records),
                          static_cast<std::uint64_t>(std::max<std::int64_t>(total, out.records)));
    }
    const bool exhausted = table.atEof();
    table.close();
    if (!exhausted)
        out.status = ReportStatus::Failed;
    else if (out.records == 0)
        out.status = ReportStatus::NoRecords;
    else
        out.pages = pages.finish();
    return out;
}

} // namespace mvz
