// Reading a large submission-sized text file: LineFile::next() over every
// line against plain fread of the same file into a 4 MiB buffer.
//
// Usage: bench_line_file [lines [buffer bytes]]
// (default 1,000,000 lines of 250 characters, the default read-ahead)

#include "data/line_file.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kRecord = 250;

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The sum keeps the compiler from dropping the reads.
double timeFread(const std::string& path, unsigned long& sum) {
    const auto start = std::chrono::steady_clock::now();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) std::exit(1);
    std::vector<char> buf(std::size_t{4} << 20);
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), f)) > 0)
        sum += static_cast<unsigned char>(buf[n - 1]) + n;
    std::fclose(f);
    return seconds(start);
}

double timeLineFile(const std::string& path, std::size_t bufferSize, unsigned long& sum,
                    long& records) {
    const auto start = std::chrono::steady_clock::now();
    mvz::LineFile file(kRecord, bufferSize);
    if (!file.open(path, mvz::TextOpenMode::ReadOnly)) std::exit(1);
    std::vector<char> record(kRecord);
    records = 0;
    while (file.next(record.data())) {
        sum += static_cast<unsigned char>(record[kRecord - 1]);
        ++records;
    }
    if (file.errorCode() != mvz::err::RecordNotAvailable) std::exit(1);
    file.close();
    return seconds(start);
}

} // namespace

int main(int argc, char** argv) {
    const long lines = argc > 1 ? std::atol(argv[1]) : 1000000;
    const std::size_t bufferSize =
        argc > 2 ? std::strtoul(argv[2], nullptr, 10) : mvz::RawLineFile::kDefaultBufferSize;
    std::string tmpl = (std::filesystem::temp_directory_path() / "bench_line_file_XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) return 1;
    const std::string path = tmpl + "/TBZOVAK.TXT";

    {
        mvz::LineFile out(kRecord);
        if (!out.create(path) || !out.open(path, mvz::TextOpenMode::Exclusive)) return 1;
        std::string record(kRecord, ' ');
        for (long i = 0; i < lines; ++i) {
            for (std::size_t k = 0; k < kRecord; ++k)
                record[k] = static_cast<char>('A' + (i + static_cast<long>(k)) % 26);
            out.add(record);
        }
        if (!out.close()) return 1;
    }
    std::printf("file: %ld lines of %zu characters, %.1f MiB\n", lines, kRecord,
                static_cast<double>(std::filesystem::file_size(path)) / (1 << 20));

    unsigned long sum = 0;
    long records = 0;
    double bestFread = 1e30;
    double bestLines = 1e30;
    for (int round = 0; round < 5; ++round) {
        bestFread = std::min(bestFread, timeFread(path, sum));
        bestLines = std::min(bestLines, timeLineFile(path, bufferSize, sum, records));
    }
    std::filesystem::remove_all(tmpl);
    if (records != lines) {
        std::printf("read %ld records, expected %ld\n", records, lines);
        return 1;
    }

    std::printf("fread 4 MiB buffer:  %8.1f ms\n", bestFread * 1e3);
    std::printf("LineFile next():     %8.1f ms  (%.0f lines/s)\n", bestLines * 1e3,
                static_cast<double>(lines) / bestLines);
    std::printf("line reader / fread = %.2f (goal <= 2.5)   [checksum %lu]\n",
                bestLines / bestFread, sum % 1000);
    return 0;
}
