// The digest of a large submission file: doSHAOnFile against the command
// `openssl dgst -sha1` on the same file, in the same run. Both read the file
// from the page cache (one untimed run each first); the best of several runs
// counts. Goal: ratio at most 1.3.
//
// Usage: bench_digest [megabytes [runs]]   (default 250 MB, 3 runs)

#include "submission/digest.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Lines of 250 characters with CR LF, as a submission file holds them.
void writeFile(const std::string& path, std::uint64_t bytes) {
    std::ofstream out(path, std::ios::binary);
    std::vector<char> block(std::size_t{1} << 20);
    std::uint64_t x = 88172645463325252ULL;
    std::uint64_t written = 0;
    while (written < bytes) {
        for (std::size_t i = 0; i < block.size(); ++i) {
            if (i % 252 == 250) {
                block[i] = '\r';
            } else if (i % 252 == 251) {
                block[i] = '\n';
            } else {
                x ^= x << 13;
                x ^= x >> 7;
                x ^= x << 17;
                block[i] = static_cast<char>('0' + x % 10);
            }
        }
        const std::uint64_t n = std::min<std::uint64_t>(block.size(), bytes - written);
        out.write(block.data(), static_cast<std::streamsize>(n));
        written += n;
    }
}

double timeOurs(const std::string& path, std::string& digest) {
    const auto start = std::chrono::steady_clock::now();
    digest = mvz::doSHAOnFile(path);
    const double s = seconds(start);
    if (digest.size() != 40) std::exit(1);
    return s;
}

double timeOpenssl(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "`%s` failed\n", command.c_str());
        std::exit(1);
    }
    return seconds(start);
}

} // namespace

int main(int argc, char** argv) {
    const std::uint64_t megabytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 250;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    std::string dir = (std::filesystem::temp_directory_path() / "bench_digest_XXXXXX").string();
    if (::mkdtemp(dir.data()) == nullptr) return 1;
    const std::string path = dir + "/ZOVAK.TXT";
    const std::string output = dir + "/openssl.out";
    writeFile(path, megabytes << 20);
    const std::string command = "openssl dgst -sha1 '" + path + "' > '" + output + "'";

    std::string digest;
    timeOurs(path, digest);
    timeOpenssl(command);
    double ours = 1e300;
    double theirs = 1e300;
    for (int i = 0; i < runs; ++i) {
        ours = std::min(ours, timeOurs(path, digest));
        theirs = std::min(theirs, timeOpenssl(command));
    }

    // The two digests must agree, or the comparison means nothing.
    std::ifstream in(output);
    std::string line;
    std::getline(in, line);
    std::string lower = digest;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool same = line.size() >= 40 && line.substr(line.size() - 40) == lower;
    std::filesystem::remove_all(dir);
    if (!same) {
        std::fprintf(stderr, "digests differ: %s / %s\n", digest.c_str(), line.c_str());
        return 1;
    }

    std::printf("file %llu MB, best of %d runs\n", static_cast<unsigned long long>(megabytes),
                runs);
    std::printf("doSHAOnFile          %8.3f s  %8.1f MB/s\n", ours, megabytes / ours);
    std::printf("openssl dgst -sha1   %8.3f s  %8.1f MB/s\n", theirs, megabytes / theirs);
    std::printf("ratio %.2f (goal <= 1.30)\n", ours / theirs);
    return 0;
}
