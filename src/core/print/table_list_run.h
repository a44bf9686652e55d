#pragma once
// The common run of a printed list: open the table, read it in one order
// from the first record, let the list lay out each record, report progress
// and answer a cancel, close the table. The outcome says what happened:
// Done with the pages, NoRecords, Cancelled or Failed (a table failure has
// been shown by the table layer).

#include <functional>

#include "print/list_pages.h"
#include "print/report_result.h"

namespace mvz {

class Record;
class Reporter;
class TableAccess;

// `key` is a key index, -1 the stored order.
ReportResult runTableList(TableAccess& table, int key, ListPages& pages, Reporter& reporter,
                          const std::function<void(const Record& record)>& addRecord);

} // namespace mvz
