#pragma once
// The printed list of one employer's insured persons, "O S I G U R A N I C I":
// the employer's employee records in the order of RAD:KEYRBRFIRME (person,
// then the last day of the period), read through that key over the employer's
// rows only. Every page carries the heading with the employer's identifier,
// business numbers, name, address, telephone, contact and e-mail, the print
// stamp and the column captions; each record is one line (a long name goes on
// to the next). A4 landscape, so that the five amounts fit beside the period.

#include <string>

#include "print/report_result.h"

namespace mvz {

class Record;
class Reporter;
class Tables;

// The basis column of an employee record: membership, basis, extended-service
// mark and the fourth basis character, separated by single blanks ("D 01 0 1").
std::string insuredBasisText(const Record& employee);

// The period of an employee record, from day and to day in its calculation
// month and year: "01.03.2010. - 31.03.2010.".
std::string insuredPeriodText(const Record& employee);

// The lines of the employer heading: the identifier and business numbers with
// the name, then the address with ",  tel: " and the telephone, the contact
// person and the e-mail (parts left blank are left out).
std::string insuredListEmployerLine(const Record& employer);
std::string insuredListContactLine(const Record& employer);

// The list of the employees of employer `employerNumber` (POS:REDBROJ). An
// employer that is not in TBPOSLOD is told in a message and fails the run;
// one without employee records gives NoRecords.
ReportResult printInsuredPersons(Tables& tables, long employerNumber, const std::string& stamp,
                                 Reporter& reporter);

} // namespace mvz
