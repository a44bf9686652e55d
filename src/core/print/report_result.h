#pragma once
// What a report run hands to the preview: its pages, or why there are none.

#include <cstdint>

#include "print/page_model.h"

namespace mvz {

enum class ReportStatus {
    Done,      // pages were made
    NoRecords, // the report's view yielded no record ("No Records")
    Cancelled, // the user stopped the run; the pages are dropped
    Failed,    // a table could not be read; its message has been shown
};

struct ReportResult {
    ReportStatus status = ReportStatus::Done;
    PageModel pages;
    std::int64_t records = 0; // records printed
};

} // namespace mvz
