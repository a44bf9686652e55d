#pragma once
// The sample data files compiled into the library (generated from data/ at
// build time). Use setup/sample_data.h to read them.

#include <cstddef>

namespace mvz::embedded {

struct SampleBlob {
    const char* name; // relative to data/: "initial/TBSTOPE.csv"; nullptr ends the list
    const unsigned char* data;
    std::size_t size;
};

extern const SampleBlob sampleBlobs[];

} // namespace mvz::embedded
