#pragma once
// Setting up the data directory of a new installation: the application
// parameters (APLPARAM with its one record, TBIZLFOLDER.TXT with one line) and
// the sample code tables, rates and control table. With the demo, also the
// authorised person, working folders under the data directory and a
// demonstration employer with its employees' pay rows for this month and the
// previous one, so that a report can be formed at once.
//
// Never overwrites: when any data file it would create exists, nothing is
// changed. When a step fails, the files made so far are removed again, so the
// directory is as it was before.

#include <cstdint>
#include <string>
#include <vector>

namespace mvz {

class ErrorReporter;

struct InitOptions {
    bool demo = false;
    // The day (day number) whose month and the month before get the demo pay
    // rows; 0 means today.
    std::int32_t today = 0;
    // A shared installation: the data folder and the files the program
    // creates there are readable and writable by the owner's group as well
    // (several desks of a bureau in one folder). Otherwise the installation is
    // private to its owner. The choice is recorded with the installation.
    bool shared = false;
};

struct InitResult {
    bool ok = false;
    std::string error;                // why nothing was set up
    std::vector<std::string> created; // file names of the data files made
    std::vector<std::string> folders; // the demo's working folders (absolute, ending in '/')
};

// The placeholder identifier of the authorised person until one is entered.
inline constexpr const char* kPlaceholderIdentifier = "1111111111111";

// The data files init creates, by file name.
std::vector<std::string> initDataFiles(bool demo);

// `errors` shows the messages of the table operations (its message table
// loaded).
InitResult initializeDataDirectory(const std::string& dataDir, ErrorReporter& errors,
                                   const InitOptions& options = {});

} // namespace mvz
