// Export and import of an installation whose employee table holds many rows,
// against `cp` of the same files in the same run (the baseline): the export
// copies every data file as a checked snapshot, the import checks every
// table (integrity included), copies it beside the data and swaps it in.
//
// Usage: bench_exchange [rows] (default 1,000,000)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "bench_support.h"
#include "data/bulk_insert.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "exchange/data_files.h"
#include "exchange/exchange.h"
#include "setup/initialize.h"

extern char** environ;

using namespace mvz;
namespace fs = std::filesystem;

namespace {

using bench::seconds;

const char* kSurnames[] = {"Horvat", "Kovačević", "Babić",    "Marić",   "Jurić",
                           "Novak",  "Kovačić",   "Knežević", "Vuković", "Šarić"};

void fillEmployees(const std::string& dir, long rows, ErrorReporter& errors) {
    Tables tables(dir, errors);
    TableAccess& rad = tables.access("RAD");
    if (rad.open() || tables.storage().begin({rad.file()})) std::exit(1);
    BulkInsert insert(*rad.file());
    Record& r = rad.record();
    const auto setText = [&](const char* field, const std::string& value) {
        r.setFromDisplay(r.def().fieldIndex(field), value);
    };
    for (long i = 0; i < rows; ++i) {
        r.clear();
        char id[16];
        std::snprintf(id, sizeof id, "%013ld", 1000000000000L + i);
        setText("REDBROJ", std::to_string(1 + i % 50));
        setText("JMBG", id);
        setText("PREZIME", std::string(kSurnames[i % 10]) + " Ana " + std::to_string(i));
        setText("OPCINA", "1333");
        setText("VRSOBV", "31");
        setText("VRSTAUPLA", "01");
        setText("CLANDN", "D");
        setText("OSNOVA1", "01");
        setText("GODOBRA", "2026");
        setText("MJEOBRA", std::to_string(1 + i % 12));
        setText("ODDANA", "1");
        setText("DODANA", "28");
        setText("IZNOS7", "5200.00");
        setText("IZNOS8", "5200.00");
        setText("IZNOS9", "780.00");
        setText("IZNOS10", "260.00");
        setText("IZNOS11", "3848.48");
        if (insert.add(r)) std::exit(1);
    }
    if (tables.storage().commit()) std::exit(1);
    TableAccess& pos = tables.access("POS");
    if (pos.open()) std::exit(1);
    for (int n = 1; n <= 50; ++n) {
        pos.record().clear();
        pos.record().setFromDisplay(pos.def().fieldIndex("REDBROJ"), std::to_string(n));
        pos.record().setFromDisplay(pos.def().fieldIndex("NAZIV"), "Tvrtka " + std::to_string(n));
        if (pos.add()) std::exit(1);
    }
}

void run(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) std::exit(1);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::exit(1);
}

// `cp` of the installation's data files into `to`, as a user would copy them;
// with `synced`, followed by `sync` of the copies (the export and the import
// put every copy on the disk before they report it done).
double copyWithCp(const std::string& from, const std::string& to, bool synced = false) {
    fs::create_directories(to);
    std::vector<std::string> args{"cp"};
    for (const DataFile& f : installationDataFiles())
        if (fs::exists(from + "/" + f.name)) args.push_back(from + "/" + f.name);
    args.push_back(to);
    std::vector<std::string> sync{"sync"};
    for (std::size_t i = 1; i + 1 < args.size(); ++i)
        sync.push_back(to + "/" + fs::path(args[i]).filename().string());
    run({"sync"}); // nothing of earlier steps left to write
    const auto start = std::chrono::steady_clock::now();
    run(args);
    if (synced) run(sync);
    return seconds(start);
}

} // namespace

int main(int argc, char** argv) {
    const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
    const fs::path root = fs::temp_directory_path() / "mvz-bench-exchange";
    fs::remove_all(root);
    const std::string data = (root / "podaci").string();
    const std::string exported = (root / "izvoz").string();

    bench::StderrReporter reporter;
    ErrorReporter errors(reporter);
    errors.addMessages(standardMessages());
    fs::create_directories(root);
    if (const InitResult init = initializeDataDirectory(data, errors, InitOptions{}); !init.ok) {
        std::fprintf(stderr, "init failed: %s\n", init.error.c_str());
        return 1;
    }
    fillEmployees(data, rows, errors);
    std::uintmax_t bytes = 0;
    for (const auto& e : fs::directory_iterator(data))
        if (e.is_regular_file()) bytes += e.file_size();

    // Warm the page cache for both sides alike, then measure.
    copyWithCp(data, (root / "warm").string());
    const double cpExport = copyWithCp(data, (root / "cp-export").string());
    const double cpSyncExport = copyWithCp(data, (root / "cp-sync-export").string(), true);
    run({"sync"});
    auto start = std::chrono::steady_clock::now();
    const ExchangeResult out = exportDatabase(data, exported, reporter);
    const double exportTime = seconds(start);
    if (!out.ok) {
        std::fprintf(stderr, "export failed: %s\n", out.detail.c_str());
        return 1;
    }
    const double cpImport = copyWithCp(exported, (root / "cp-import").string());
    const double cpSyncImport = copyWithCp(exported, (root / "cp-sync-import").string(), true);
    run({"sync"});
    start = std::chrono::steady_clock::now();
    const ExchangeResult in = importDatabase(data, exported, errors);
    const double importTime = seconds(start);
    if (!in.ok) {
        std::fprintf(stderr, "import failed: %s\n", in.detail.c_str());
        return 1;
    }

    std::printf("installation: %ld employee rows, %.1f MB of data files\n", rows, bytes / 1e6);
    std::printf("export: %.3f s; cp of the same files %.3f s, ratio %.2f (goal <= 2); cp and "
                "sync %.3f s, ratio %.2f\n",
                exportTime, cpExport, exportTime / cpExport, cpSyncExport,
                exportTime / cpSyncExport);
    std::printf("import: %.3f s; cp of the same files %.3f s, ratio %.2f (goal <= 2); cp and "
                "sync %.3f s, ratio %.2f\n",
                importTime, cpImport, importTime / cpImport, cpSyncImport,
                importTime / cpSyncImport);
    fs::remove_all(root);
    return 0;
}
