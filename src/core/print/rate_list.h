#pragma once
// The printed list of the contribution rates, "OBRAČUNSKI KEFICIJENTI": per
// rate row in key order its calculation type, payer type, basis,
// extended-service mark and membership separated by single blanks, then the
// two pillar I rates and the two pillar II rates, each as "N5`2". No print
// stamp.

#include "print/report_result.h"

namespace mvz {

class Reporter;
class Tables;

ReportResult printRates(Tables& tables, Reporter& reporter);

} // namespace mvz
