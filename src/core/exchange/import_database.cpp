// The import: the tables of an export swapped in for the installation's.

#include <filesystem>
#include <fstream>
#include <sstream>

#include "data/error_reporter.h"
#include "exchange/data_files.h"
#include "exchange/exchange.h"
#include "exchange/manifest.h"
#include "exchange/staged_copies.h"
#include "exchange/table_check.h"

namespace mvz {

namespace {

namespace fs = std::filesystem;

ExchangeResult failed(std::string detail, const char* message = "Greška kod importa podataka !") {
    ExchangeResult r;
    r.message = message;
    r.detail = std::move(detail);
    return r;
}

// The files the export's manifest names, with their counts.
std::string readSources(const std::string& folder, std::vector<SourceFile>& out) {
    const std::string path = folder + "/" + kManifestName;
    if (std::string problem = unreadableFileProblem(path); !problem.empty())
        return std::string(kManifestName) + ": " + problem +
               "; pretinac nije cijeli export ovog programa";
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string why;
    const std::optional<Manifest> manifest = parseManifest(text.str(), why);
    if (!manifest) return std::string(kManifestName) + ": " + why;
    bool employers = false;
    for (const ManifestEntry& e : manifest->files) {
        out.push_back({e.name, e.keyed, e.size});
        employers = employers || e.name == "TBPOSLOD.DAT";
    }
    if (!employers) return std::string(kManifestName) + ": popis ne navodi TBPOSLOD.DAT";
    return {};
}

} // namespace

ExchangeResult importDatabase(const std::string& dataDir, const std::string& folder,
                              ErrorReporter& errors) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return failed("pretinac " + folder + " ne postoji", "Greška. Pogrešan pretinac!");
    if (!holdsEmployerTable(folder))
        return failed("u pretincu " + folder + " nema datoteke TBPOSLOD.DAT",
                      "Greška. Pogrešan pretinac!");
    if (fs::equivalent(folder, dataDir, ec))
        return failed(folder + ": to je pretinac s podacima; odaberite pretinac exporta");

    std::vector<SourceFile> files;
    if (std::string why = readSources(folder, files); !why.empty()) return failed(why);
    if (std::string why = replaceDataFiles(dataDir, folder, files, errors.reporter()); !why.empty())
        return failed(why);

    ExchangeResult r;
    r.ok = true;
    r.message = "Podaci su importirani !";
    for (const SourceFile& f : files)
        r.files.push_back(f.name);
    return r;
}

} // namespace mvz
