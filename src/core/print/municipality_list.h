#pragma once
// The list of the municipality code table, "ŠIFARNIK - OPĆINE I GRADOVI":
// one line per municipality with its running number, code, name and town
// mark, in one of the three orders of the code-table window's tabs.

#include <string>

#include "print/report_result.h"

namespace mvz {

class Reporter;
class Tables;

enum class MunicipalityListOrder {
    ByNumber, // OPC:KEYREDB
    Stored,   // the order the records were stored in
    ByName,   // OPC:KEYNAZIV
};

// Reads TBOPCINE of `tables` and lays out its pages. Progress (records read
// of the table's records) and the cancel request go through `reporter`;
// table failures are shown by the table layer and give Failed.
ReportResult municipalityList(Tables& tables, MunicipalityListOrder order, const std::string& stamp,
                              Reporter& reporter);

} // namespace mvz
