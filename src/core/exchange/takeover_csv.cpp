#include "exchange/takeover_csv.h"

#include <fstream>
#include <set>
#include <sstream>

#include "base/reporter.h"
#include "data/csv_table_load.h"
#include "data/dictionary.h"
#include "data/error_reporter.h"
#include "data/installation_mode.h"
#include "data/storage_error.h"
#include "data/tables.h"
#include "exchange/file_copies.h"
#include "exchange/installation_hold.h"
#include "exchange/staged_swap.h"
#include "exchange/table_check.h"
#include "rules/employer_checks.h"
#include "rules/insured_person_checks.h"

namespace mvz {

namespace {

constexpr const char* kEmployersCsv = "TBPOSLOD.csv";
constexpr const char* kEmployeesCsv = "TBZAPOSL.csv";

std::string readRows(const std::string& folder, const char* name, const TableDef& def,
                     std::vector<CsvRecord>& rows) {
    const std::string path = folder + "/" + name;
    if (std::string problem = unreadableFileProblem(path); !problem.empty())
        return std::string(name) + ": " + problem;
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return readCsvRecords(def, text.str(), name, rows);
}

std::string rowName(const char* file, std::size_t line) {
    return std::string(file) + ", redak " + std::to_string(line) + ": ";
}

std::string addProblem(TableAccess& table) {
    const StorageError& e = table.lastError();
    if (e.code == err::DuplicateKey) {
        const int key = table.file() ? table.file()->duplicateKey(table.record(), 0) : -1;
        return "zapis s istim ključem već postoji" +
               (key >= 0 ? " (" + table.def().keys[key].description + ")" : std::string());
    }
    return "tablica nije primila zapis (" + e.text + ")";
}

// The code tables the row checks read, copied beside the new tables so that
// the checks run in one session with them.
std::string copyCodeTables(const std::string& dataDir, mode_t fileMode) {
    for (const char* name : {"TBVRSOBV.DAT", "VEZNATAB.DAT"}) {
        const std::string source = dataDir + "/" + name;
        if (!unreadableFileProblem(source).empty()) continue; // the checks say what is missing
        if (std::string problem =
                copyTableSnapshot(source, stagingFolder(dataDir) + "/" + name, fileMode);
            !problem.empty())
            return std::string(name) + ": " + problem;
    }
    return {};
}

// Adds every row it can to the new tables and lists the refused ones.
std::string fillTables(Tables& staged, const std::vector<CsvRecord>& employers,
                       const std::vector<CsvRecord>& employees, std::vector<std::string>& refused) {
    TableAccess& payerTypes = staged.access("VOB");
    if (payerTypes.open(true) != result::Ok)
        return "TBVRSOBV.DAT: šifarnik vrsta obveznika ne može se otvoriti";
    TableAccess& pos = staged.access("POS");
    TableAccess& rad = staged.access("RAD");
    if (pos.open(true) != result::Ok || rad.open(true) != result::Ok)
        return "nove tablice poslodavaca i zaposlenika ne mogu se otvoriti";
    if (StorageError e = staged.storage().begin({pos.file(), rad.file()}))
        return "nove tablice ne mogu se puniti (" + e.text + ")";

    std::set<std::int64_t> numbers;
    const int number = pos.def().fieldIndex("REDBROJ");
    Reporter& reporter = staged.errors().reporter();
    std::uint64_t done = 0;
    const std::uint64_t total = employers.size() + employees.size();
    for (const CsvRecord& row : employers) {
        reporter.progress(done++, total);
        Record employer = row.record;
        const EmployerCheck check = checkEmployerBeforeSave(payerTypes, employer);
        if (!check.ok) {
            refused.push_back(rowName(kEmployersCsv, row.line) + check.message);
            continue;
        }
        pos.record() = employer;
        if (pos.add(true) != result::Ok) {
            refused.push_back(rowName(kEmployersCsv, row.line) + addProblem(pos));
            continue;
        }
        numbers.insert(employer.integer(number));
    }
    const int employerOf = rad.def().fieldIndex("REDBROJ");
    for (const CsvRecord& row : employees) {
        reporter.progress(done++, total);
        Record person = row.record;
        if (!numbers.count(person.integer(employerOf))) {
            refused.push_back(rowName(kEmployeesCsv, row.line) + "poslodavac rednog broja " +
                              std::to_string(person.integer(employerOf)) +
                              " nije među preuzetim poslodavcima");
            continue;
        }
        const EntryOutcome check = checkBeforeSave(staged, person, SaveRequest{});
        if (!check.proceed) {
            refused.push_back(rowName(kEmployeesCsv, row.line) +
                              (check.messages.empty() ? std::string("zapis nije prošao provjeru")
                                                      : check.messages.back()));
            continue;
        }
        rad.record() = person;
        if (rad.add(true) != result::Ok)
            refused.push_back(rowName(kEmployeesCsv, row.line) + addProblem(rad));
    }
    reporter.progress(total, total);
    if (!refused.empty()) {
        staged.storage().rollback();
        return std::to_string(refused.size()) +
               (refused.size() == 1 ? " redak nije prihvaćen" : " redaka nije prihvaćeno") +
               "; ništa nije preuzeto";
    }
    if (StorageError e = staged.storage().commit())
        return "nove tablice ne mogu se spremiti (" + e.text + ")";
    pos.close();
    rad.close();
    payerTypes.close();
    return {};
}

} // namespace

std::string takeOverCsv(const std::string& dataDir, const std::string& folder,
                        ErrorReporter& errors, std::vector<std::string>& refusedRows) {
    const TableDef& posDef = *findTable("POS");
    const TableDef& radDef = *findTable("RAD");
    std::vector<CsvRecord> employers, employees;
    if (std::string why = readRows(folder, kEmployersCsv, posDef, employers); !why.empty())
        return why;
    if (std::string why = readRows(folder, kEmployeesCsv, radDef, employees); !why.empty())
        return why;

    const InstallationMode mode = installationMode(dataDir);
    InstallationHold hold;
    if (std::string why = hold.acquire(dataDir, fileModeOf(mode)); !why.empty()) return why;
    recoverStaging(dataDir);
    if (std::string why = openStaging(dataDir, folderModeOf(mode)); !why.empty()) return why;
    const std::string staging = stagingFolder(dataDir);
    std::string why = recordInstallationMode(staging, mode);
    if (why.empty()) why = copyCodeTables(dataDir, fileModeOf(mode));
    if (why.empty()) {
        Tables staged(staging, errors);
        for (const TableDef* def : {&posDef, &radDef})
            if (why.empty())
                if (StorageError e = staged.storage().create(*def))
                    why = def->baseName() + ": nova tablica ne može se napraviti (" + e.text + ")";
        if (why.empty()) why = fillTables(staged, employers, employees, refusedRows);
    }
    if (!why.empty()) {
        removeStaging(dataDir);
        return why;
    }
    return swapInStaged(dataDir, {"TBPOSLOD.DAT", "TBZAPOSL.DAT"}, fileModeOf(mode));
}

} // namespace mvz
