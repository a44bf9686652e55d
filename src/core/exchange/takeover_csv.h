#pragma once
// The takeover of employers and employees from TBPOSLOD.csv and TBZAPOSL.csv
// (UTF-8, a header row of field names, as `mvz table dump --csv` writes
// them): every row goes through the save checks of the employer and the
// insured-person windows and the tables' own keys and field checks, into new
// tables in the staging folder; only when no row was refused are the two
// tables swapped in.

#include <string>
#include <vector>

namespace mvz {

class ErrorReporter;

// Returns "" or why nothing was taken over; refused rows are listed in
// `refusedRows` ("TBZAPOSL.csv, redak 7: ...").
std::string takeOverCsv(const std::string& dataDir, const std::string& folder,
                        ErrorReporter& errors, std::vector<std::string>& refusedRows);

} // namespace mvz
