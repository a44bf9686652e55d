#pragma once
// The sample data a new installation starts with, as UTF-8 CSV files: the
// code tables, rates and control table (initial/) and the demonstration
// employer (demo/). They are compiled into the program.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mvz {

struct SampleFile {
    std::string name;      // relative to the data folder: "initial/TBSTOPE.csv"
    std::string stem;      // the table it fills: "TBSTOPE"
    std::string_view text; // UTF-8 CSV
};

// The files of one folder ("initial" or "demo"), in name order.
std::vector<SampleFile> sampleFiles(std::string_view folder);
// One file by its name ("demo/PAYER.csv").
std::optional<SampleFile> sampleFile(std::string_view name);

} // namespace mvz
