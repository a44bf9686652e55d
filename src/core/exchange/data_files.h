#pragma once
// The data files that make up an installation and move with it: every keyed
// table and the text tables the user keeps (the folder list, the control
// table's source text). The work files of the submission and checking runs,
// the hidden hub, lock and mode files are not among them.

#include <string>
#include <string_view>
#include <vector>

namespace mvz {

struct TableDef;

struct DataFile {
    std::string name; // "TBPOSLOD.DAT"
    const TableDef* def = nullptr;
    bool keyed = false; // an SQLite table file; otherwise a plain text file
};

// In dictionary order, each file once.
const std::vector<DataFile>& installationDataFiles();
// By exact file name; nullptr when the name is no data file.
const DataFile* findDataFile(std::string_view name);

} // namespace mvz
