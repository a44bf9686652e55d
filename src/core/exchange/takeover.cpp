// The takeover of the employer and employee tables from another
// installation's folder, or from two CSV files of other payroll software.

#include <filesystem>
#include <sys/stat.h>

#include "data/error_reporter.h"
#include "exchange/exchange.h"
#include "exchange/staged_copies.h"
#include "exchange/takeover_csv.h"

namespace mvz {

namespace {

bool present(const std::string& folder, const char* name) {
    struct stat st;
    return ::stat((folder + "/" + name).c_str(), &st) == 0;
}

ExchangeResult failed(std::string detail) {
    ExchangeResult r;
    r.message = "GREŠKA KOD PREUZIMANJA ...";
    r.detail = std::move(detail);
    return r;
}

} // namespace

ExchangeResult takeOver(const std::string& dataDir, const std::string& folder,
                        ErrorReporter& errors) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        return failed("pretinac " + folder + " ne postoji");
    if (std::filesystem::equivalent(folder, dataDir, ec))
        return failed(folder + ": to je pretinac s podacima ove instalacije");

    const bool tables = present(folder, "TBPOSLOD.DAT") || present(folder, "TBZAPOSL.DAT");
    const bool csv = present(folder, "TBPOSLOD.csv") || present(folder, "TBZAPOSL.csv");
    if (!tables && !csv)
        return failed("u pretincu " + folder +
                      " nema datoteka TBPOSLOD.DAT i TBZAPOSL.DAT (ni TBPOSLOD.csv i "
                      "TBZAPOSL.csv)");

    ExchangeResult r;
    std::string why;
    if (tables) {
        for (const char* name : {"TBPOSLOD.DAT", "TBZAPOSL.DAT"})
            if (!present(folder, name))
                return failed(std::string(name) + ": nema je u pretincu " + folder +
                              "; preuzimaju se obje tablice ili nijedna");
        why = replaceDataFiles(
            dataDir, folder,
            {{"TBPOSLOD.DAT", true, std::nullopt}, {"TBZAPOSL.DAT", true, std::nullopt}},
            errors.reporter());
    } else {
        why = takeOverCsv(dataDir, folder, errors, r.refusedRows);
    }
    if (!why.empty()) {
        ExchangeResult f = failed(why);
        f.refusedRows = std::move(r.refusedRows);
        return f;
    }
    r.ok = true;
    r.message = "PODACI PREUZETI ...";
    r.files = {"TBPOSLOD.DAT", "TBZAPOSL.DAT"};
    return r;
}

} // namespace mvz
