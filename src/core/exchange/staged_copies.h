#pragma once
// The checked copy of an import and a takeover: every source file is checked
// before anything is made (a table must be a sound table of this program),
// then copied into the staging folder, where each table copy passes SQLite's
// integrity check and, when the export's manifest gave one, its record count.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mvz {

class Reporter;

struct SourceFile {
    std::string name;
    bool keyed = false;
    std::optional<std::int64_t> expected; // records (tables) or bytes (text files)
};

// The cheap checks of every source file in `folder`. Returns "" or the first
// problem, naming the file.
std::string checkSources(const std::string& folder, const std::vector<SourceFile>& files);

// Copies every source file into the staging folder of `dataDir`, each with the
// mode the file it replaces allows, and checks the copies. Returns "" or the
// first problem, naming the file.
std::string stageCopies(const std::string& dataDir, const std::string& folder,
                        const std::vector<SourceFile>& files, Reporter& reporter);

// Holds the installation, finishes what an earlier run left, checks the
// sources, stages them and swaps them in: all of them or none. Returns "" or
// why not, naming the file.
std::string replaceDataFiles(const std::string& dataDir, const std::string& folder,
                             const std::vector<SourceFile>& files, Reporter& reporter);

} // namespace mvz
