#pragma once
// Moving a whole installation's data: the export of every data file into a
// folder, the import of such a folder back over the data, and the takeover of
// the employer and employee tables from another installation's folder (or
// from two CSV files made by other payroll software).
//
// Every run is all or nothing. The export copies each table as a consistent
// snapshot (SQLite's online backup) under a temporary name and renames the
// copies into place only when every one succeeded, then writes a manifest.
// The import and the takeover first check that every source table is a table
// of this program's layout (it opens, passes its integrity check, its columns
// are the dictionary's), copy them under temporary names beside the data and
// swap them in only when every copy succeeded, holding the installation alone
// meanwhile: a second program working on the data makes them refuse, with a
// message, and change nothing. No command interpreter is involved and no path
// is cut.
//
// The texts the windows show are the results' `message` (the outcome line or
// box of the window) and `detail` (what failed: the file and the reason).
// Progress and the status texts go through the reporter given.

#include <cstdint>
#include <string>
#include <vector>

namespace mvz {

class ErrorReporter;
class Reporter;

struct ExchangeResult {
    bool ok = false;
    // The window's outcome text, e.g. "Export je završen. Provjerite",
    // "Greška kod exporta", "Podaci su importirani !", "Greška kod importa
    // podataka !", "PODACI PREUZETI ...", "GREŠKA KOD PREUZIMANJA ...",
    // "Greška. Pogrešan pretinac!".
    std::string message;
    // Empty on success; otherwise the file concerned and the reason, in
    // Croatian, one line ("TBZAPOSL.DAT: datoteka je oštećena ...").
    std::string detail;
    // The data files copied, by file name.
    std::vector<std::string> files;
    // Rows refused by the CSV takeover: "TBZAPOSL.csv, redak 7: ...".
    std::vector<std::string> refusedRows;
};

// The folder the export and import windows propose: the data directory
// followed by the path separator and "export".
std::string defaultExchangeFolder(const std::string& dataDir);

// True when `folder` holds an employer table to import (TBPOSLOD.DAT); the
// import window says "Greška. Pogrešan pretinac!" otherwise and asks nothing.
bool holdsEmployerTable(const std::string& folder);

// Copies every data file of the installation in `dataDir` into `folder`
// (created when missing) with a manifest.
ExchangeResult exportDatabase(const std::string& dataDir, const std::string& folder,
                              Reporter& reporter);

// Replaces the installation's tables by those of `folder` (an export). The
// caller has asked for confirmation and has closed its own windows' tables.
ExchangeResult importDatabase(const std::string& dataDir, const std::string& folder,
                              ErrorReporter& errors);

// The folder the takeover window proposes.
std::string defaultTakeoverFolder();

// Takes the employers and employees of `folder` over into the installation:
// TBPOSLOD.DAT and TBZAPOSL.DAT of another installation, or TBPOSLOD.csv and
// TBZAPOSL.csv (UTF-8, a header of field names) loaded through the registers'
// save checks; both tables or neither.
ExchangeResult takeOver(const std::string& dataDir, const std::string& folder,
                        ErrorReporter& errors);

// The question the import and the takeover ask before they replace data
// ("Upozorenje": "Da li želite postojeće podatke zamijeniti ?", Yes or
// Cancel, Cancel the default). True when the user answered Yes.
bool confirmReplacement(Reporter& reporter);

// Finishes or removes what an import or takeover cut short (a killed process,
// a power cut) left in the data folder, so that it holds the old or the new
// set of files again. Call it when the program starts on a data folder; it
// does nothing while another program is exchanging data there. True when
// anything was left.
bool recoverInterruptedExchange(const std::string& dataDir);

} // namespace mvz
