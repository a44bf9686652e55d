#pragma once
// The printed list of the employers, "POPIS POSLODAVACA", in the order of
// their running numbers: the number, the employer's identifier (its personal
// identifier, or else its business number and the part after it) and its
// name, with the address, telephone, e-mail and contact person on the line
// below the name; with the print stamp.

#include <string>

#include "print/report_result.h"

namespace mvz {

class Record;
class Reporter;
class Tables;

// The identifier column of an employer (13 characters at most): POS:JMBG
// when it is not blank, else POS:MB01, a blank and POS:MB02.
std::string employerIdentifier(const Record& employer);

ReportResult printEmployers(Tables& tables, const std::string& stamp, Reporter& reporter);

} // namespace mvz
