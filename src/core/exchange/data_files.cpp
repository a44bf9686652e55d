#include "exchange/data_files.h"

#include <algorithm>

#include "data/dictionary.h"

namespace mvz {

namespace {

// Text files that the runs write and read again, listings and scratch text:
// they belong to one run, not to the installation.
bool isRunFile(const std::string& name) {
    static const char* const names[] = {"TBZOVAK.TXT", "TBZOVAK1.TXT", "TBSLOG0.TXT",
                                        "TBSLOG3.TXT", "TBSLOG5.TXT",  "TBSLOG7.TXT",
                                        "TBSLOG9.TXT", "TBUPLATE.DAT", "TBIZLAZ2.TXT",
                                        "TEXTSIF.TXT", "TBISPIS.DAT",  "TEKSTDAT.TXT"};
    return std::any_of(std::begin(names), std::end(names),
                       [&](const char* n) { return name == n; });
}

std::vector<DataFile> collect() {
    std::vector<DataFile> files;
    for (const TableDef& def : dictionary()) {
        const std::string name = def.baseName();
        const bool keyed = def.kind == TableKind::Keyed;
        if (!keyed && (def.kind != TableKind::LineText || isRunFile(name))) continue;
        if (std::any_of(files.begin(), files.end(),
                        [&](const DataFile& f) { return f.name == name; }))
            continue; // a second declaration of the same file
        files.push_back({name, &def, keyed});
    }
    return files;
}

} // namespace

const std::vector<DataFile>& installationDataFiles() {
    static const std::vector<DataFile> files = collect();
    return files;
}

const DataFile* findDataFile(std::string_view name) {
    for (const DataFile& f : installationDataFiles())
        if (f.name == name) return &f;
    return nullptr;
}

} // namespace mvz
