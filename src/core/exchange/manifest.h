#pragma once
// The list an export leaves beside its copies: which files it wrote, how many
// records each table held, the program's version and the time. The import
// takes the files it names and checks the counts, so a folder from which a
// file was lost, or into which another export was half copied, is refused.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mvz {

inline constexpr const char* kManifestName = "mvz-export.txt";

struct ManifestEntry {
    std::string name;
    bool keyed = false;
    std::int64_t size = 0; // records of a table, bytes of a text file
};

struct Manifest {
    std::string version;
    std::string written; // "2026-12-10 14:30:05"
    std::vector<ManifestEntry> files;
};

// The manifest as its file holds it (UTF-8 lines).
std::string manifestText(const Manifest& manifest);
// Reads it back; nullopt with `why` set when the text is not a manifest.
std::optional<Manifest> parseManifest(std::string_view text, std::string& why);

// The program's version.
const char* programVersion();

} // namespace mvz
