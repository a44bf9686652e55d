#include "exchange/manifest.h"

#include <charconv>
#include <sstream>

#include "exchange/data_files.h"

#ifndef MVZ_VERSION
#define MVZ_VERSION "0"
#endif

namespace mvz {

namespace {

constexpr std::string_view kFirstLine = "mvz export";

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t at = 0;
    while (at <= line.size()) {
        const std::size_t tab = line.find('\t', at);
        out.push_back(line.substr(at, tab == std::string_view::npos ? line.npos : tab - at));
        if (tab == std::string_view::npos) break;
        at = tab + 1;
    }
    return out;
}

} // namespace

const char* programVersion() {
    return MVZ_VERSION;
}

std::string manifestText(const Manifest& m) {
    std::ostringstream out;
    out << kFirstLine << '\n';
    out << "version\t" << m.version << '\n';
    out << "written\t" << m.written << '\n';
    for (const ManifestEntry& f : m.files)
        out << "file\t" << f.name << '\t' << (f.keyed ? "records" : "bytes") << '\t' << f.size
            << '\n';
    return out.str();
}

std::optional<Manifest> parseManifest(std::string_view text, std::string& why) {
    Manifest m;
    std::size_t lineNo = 0;
    bool first = true;
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (first) {
            if (line != kFirstLine) {
                why = "nije popis exporta ovog programa";
                return std::nullopt;
            }
            first = false;
            continue;
        }
        if (line.empty()) continue;
        const std::vector<std::string_view> w = words(line);
        if (w[0] == "version" && w.size() == 2) {
            m.version = w[1];
        } else if (w[0] == "written" && w.size() == 2) {
            m.written = w[1];
        } else if (w[0] == "file" && w.size() == 4 && (w[2] == "records" || w[2] == "bytes")) {
            ManifestEntry e{std::string(w[1]), w[2] == "records", 0};
            const auto [end, ec] = std::from_chars(w[3].data(), w[3].data() + w[3].size(), e.size);
            const DataFile* known = findDataFile(e.name);
            if (ec != std::errc() || end != w[3].data() + w[3].size() || e.size < 0 || !known ||
                known->keyed != e.keyed) {
                why = "redak " + std::to_string(lineNo) + " nije ispravan";
                return std::nullopt;
            }
            m.files.push_back(std::move(e));
        } else {
            why = "redak " + std::to_string(lineNo) + " nije ispravan";
            return std::nullopt;
        }
    }
    if (first) {
        why = "popis je prazan";
        return std::nullopt;
    }
    return m;
}

} // namespace mvz
