#include "setup/sample_data.h"

#include "setup/sample_blobs.h"

namespace mvz {

namespace {

SampleFile toFile(const embedded::SampleBlob& blob) {
    SampleFile f;
    f.name = blob.name;
    const auto slash = f.name.rfind('/');
    const auto dot = f.name.rfind('.');
    f.stem = f.name.substr(slash + 1, dot - slash - 1);
    f.text = std::string_view(reinterpret_cast<const char*>(blob.data), blob.size);
    return f;
}

} // namespace

std::vector<SampleFile> sampleFiles(std::string_view folder) {
    std::vector<SampleFile> out;
    const std::string prefix = std::string(folder) + "/";
    for (const auto* b = embedded::sampleBlobs; b->name; ++b)
        if (std::string_view(b->name).starts_with(prefix)) out.push_back(toFile(*b));
    return out;
}

std::optional<SampleFile> sampleFile(std::string_view name) {
    for (const auto* b = embedded::sampleBlobs; b->name; ++b)
        if (name == b->name) return toFile(*b);
    return std::nullopt;
}

} // namespace mvz
