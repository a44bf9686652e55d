#pragma once
// The field checks every table runs when a record is validated (before each
// add and change, or when a form asks).

namespace mvz {

class TableAccess;

// Installs the checks of the table's declaration: a text field of a keyed
// table holds no control character (message "Field contents error" naming the
// field), and the calculation year of the page-B tables lies between 2001 and
// 2100. The tables that keep an input file's lines and findings as they are
// (TBIZLAZ, TBIZLAZ1, TBGRESKE, TBOSIGU3) have no character check, and the
// error table TBGRESKE no range check, so a finding is never lost to a check.
void installStandardFieldChecks(TableAccess& table);

} // namespace mvz
