#pragma once
// The demonstration data of `init --demo`: the authorised person and working
// folders of the application parameters, and a demonstration employer whose
// employees have pay rows for two months with their contributions computed
// from the rate table.

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace mvz {

class Record;
class Tables;

struct DemoFolders {
    std::string work;   // APL:RADDIR
    std::string input;  // APL:ULAZDIR
    std::string output; // APL:IZLAZDIR
    std::string mz0;    // first line of TBIZLFOLDER.TXT
};

// Creates the working folders as subfolders of the data directory (absolute
// paths ending in '/') with the permissions `mode`; a folder that exists is
// used as it is. `made` gets the folders this call created. Returns an empty
// string or why it failed.
std::string createDemoFolders(const std::string& dataDir, mode_t mode, DemoFolders& folders,
                              std::vector<std::string>& made);

// The APLPARAM record of the demo: the authorised person of demo/AUTHORISED.csv
// with the folders. Returns an empty string or why it cannot be made.
std::string demoApplicationRecord(Record& apl, const DemoFolders& folders);

// Adds the employer of demo/PAYER.csv and, for each person of
// demo/EMPLOYEES.csv, a pay row for the month of `today` and one for the month
// before: the whole month, the employer's number and payer type, and the
// pillar I and II contributions from the rate row the person's values choose
// (the four rates copied into the row). The code tables and rates must be
// loaded. Returns an empty string or why nothing was added.
std::string addDemoEmployer(Tables& tables, std::int32_t today);

} // namespace mvz
