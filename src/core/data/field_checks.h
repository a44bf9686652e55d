#pragma once
// The field checks every table runs when a record is validated (before each
// add and change, or when a form asks).

namespace mvz {

class TableAccess;

// Installs the checks of the table's declaration: the calculation year of the
// page-B tables must lie between 2001 and 2100. The error table TBGRESKE has
// no checks, so a finding is never lost to a range check.
void installStandardFieldChecks(TableAccess& table);

} // namespace mvz
