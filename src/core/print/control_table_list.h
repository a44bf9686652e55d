#pragma once
// The printed control table: its rows in the order payer type, calculation
// type, basis, grouped by payer type and calculation type (each code printed
// when it changes), one 69-character detail line per rule; and the same rows
// written to TEXTSIF.TXT in the working folder, one export line each (the
// fourteen stored fields in double quotes, separated by commas). No print
// stamp.

#include <string>

#include "print/report_result.h"

namespace mvz {

class Record;
class Reporter;
class Tables;

// The caption line of the detail column.
inline constexpr const char* kControlTableCaption =
    "OO     MJES GODI     DanOd DanDo    PlaGod PlaMje     IV./  IV.8  IV.9  IV.10  IV11";

// The detail line of a VEZNATAB record (69 characters).
std::string controlTableLine(const Record& rule);
// Its line of TEXTSIF.TXT (91 characters).
std::string controlTableExportLine(const Record& rule);

// Prints the control table and rewrites TEXTSIF.TXT (through `tables`, in
// its working folder: the caller sets it). A failure of the text file is
// reported ("Open TEXTSIF ", "Empty TEXTSIF " and the error) and does not
// stop the list.
ReportResult printControlTable(Tables& tables, Reporter& reporter);

} // namespace mvz
