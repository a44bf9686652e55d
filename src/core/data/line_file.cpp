#include "data/line_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#if defined(__x86_64__)
#include <immintrin.h>
#endif
#include <fcntl.h>
#include <limits>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include "data/created_file.h"

namespace mvz {

namespace {

constexpr char kCtrlZ = 26;
constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();
constexpr std::size_t kWriteBatch = std::size_t{1} << 20;

// Two lock bytes far beyond any real file size, so the locks never cover
// data. Every opener holds the share byte (the exclusive opener alone); the
// one opener that may write holds the write byte.
constexpr off_t kShareByte = 0x7FFFFFFF00000000;
constexpr off_t kWriteByte = kShareByte + 1;

// 0, or the errno of a lock that could not be taken.
int lockByte(int fd, off_t at, short type) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = at;
    fl.l_len = 1;
    return fcntl(fd, F_OFD_SETLK, &fl) == 0 ? 0 : errno;
}

StorageError lockError(int e, const std::string& path) {
    if (e == EAGAIN || e == EACCES)
        return StorageError::of(err::AccessDenied, path + ": in use by another opener");
    return StorageError::fromErrno(e, path + ": lock");
}

// Reads up to n bytes; fewer only at the end of the file. -1 on failure.
long long preadAll(int fd, char* p, std::size_t n, std::uint64_t at) {
    std::size_t got = 0;
    while (got < n) {
        ssize_t r = ::pread(fd, p + got, n - got, static_cast<off_t>(at + got));
        if (r < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    return static_cast<long long>(got);
}

// 0, or the errno of the failed write.
int pwriteAll(int fd, const char* p, std::size_t n, std::uint64_t at) {
    std::size_t done = 0;
    while (done < n) {
        ssize_t r = ::pwrite(fd, p + done, n - done, static_cast<off_t>(at + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (r == 0) return EIO;
        done += static_cast<std::size_t>(r);
    }
    return 0;
}

// Where a line stops: the first line feed or Ctrl-Z in p[from, to), or to;
// and whether a tab comes before it. With AVX2 one pass looks for all three;
// elsewhere memchr finds the line feed and then looks for the others only
// within the line, which is then in the cache.
struct LineStop {
    std::size_t at;
    bool tab;
};

LineStop findStopPortable(const char* p, std::size_t from, std::size_t to) {
    const void* lf = std::memchr(p + from, '\n', to - from);
    std::size_t stop = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - p) : to;
    if (const void* z = std::memchr(p + from, kCtrlZ, stop - from))
        stop = static_cast<std::size_t>(static_cast<const char*>(z) - p);
    return {stop, std::memchr(p + from, '\t', stop - from) != nullptr};
}

#if defined(__x86_64__)
#define MVZ_LINE_SCAN_AVX2 1
LineStop finishStop(const char* p, std::size_t i, std::size_t to, bool tabs) {
    for (; i < to; ++i) {
        if (p[i] == '\n' || p[i] == kCtrlZ) break;
        tabs |= p[i] == '\t';
    }
    return {i, tabs};
}

// Looks closely at one block holding a control character: true when a line
// feed or Ctrl-Z is in it (stop set), else notes a tab in it.
__attribute__((target("avx2"))) inline bool stopInBlock(__m256i v, std::size_t at, bool& tabs,
                                                        LineStop& stop) {
    const unsigned stops = static_cast<unsigned>(
        _mm256_movemask_epi8(_mm256_or_si256(_mm256_cmpeq_epi8(v, _mm256_set1_epi8('\n')),
                                             _mm256_cmpeq_epi8(v, _mm256_set1_epi8(kCtrlZ)))));
    const unsigned t =
        static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, _mm256_set1_epi8('\t'))));
    if (stops == 0) {
        tabs |= t != 0;
        return false;
    }
    const unsigned k = static_cast<unsigned>(__builtin_ctz(stops));
    stop = {at + k, tabs || (t & ((1u << k) - 1)) != 0};
    return true;
}

// Line feed, Ctrl-Z and tab are all at most 26, and text has few such bytes
// besides the CR before a line feed: each block is first tested for any
// byte up to 26 and looked at closely only when it has one.
__attribute__((target("avx2"))) LineStop findStopAvx2(const char* p, std::size_t from,
                                                      std::size_t to) {
    const __m256i k26 = _mm256_set1_epi8(kCtrlZ);
    bool tabs = false;
    LineStop stop{};
    std::size_t i = from;
    for (; i + 64 <= to; i += 64) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + 32));
        const __m256i low = _mm256_or_si256(_mm256_cmpeq_epi8(_mm256_min_epu8(a, k26), a),
                                            _mm256_cmpeq_epi8(_mm256_min_epu8(b, k26), b));
        if (_mm256_testz_si256(low, low)) continue;
        if (stopInBlock(a, i, tabs, stop) || stopInBlock(b, i + 32, tabs, stop)) return stop;
    }
    for (; i + 32 <= to; i += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const __m256i low = _mm256_cmpeq_epi8(_mm256_min_epu8(v, k26), v);
        if (_mm256_testz_si256(low, low)) continue;
        if (stopInBlock(v, i, tabs, stop)) return stop;
    }
    return finishStop(p, i, to, tabs);
}

using FindStop = LineStop (*)(const char*, std::size_t, std::size_t);

FindStop chooseFindStop() {
    __builtin_cpu_init(); // may run before the runtime's own initialisation
    return __builtin_cpu_supports("avx2") ? findStopAvx2 : findStopPortable;
}

const FindStop findStopFast = chooseFindStop();
#endif

LineStop findStop(const char* p, std::size_t from, std::size_t to) {
#if defined(MVZ_LINE_SCAN_AVX2)
    return findStopFast(p, from, to);
#else
    return findStopPortable(p, from, to);
#endif
}

} // namespace

RawLineFile::RawLineFile(std::size_t bufferSize)
    : bufferSize_(std::max<std::size_t>(bufferSize, 2)) {}

RawLineFile::~RawLineFile() {
    close();
}

bool RawLineFile::open(const std::string& path, TextOpenMode mode) {
    if (fd_ >= 0) return fail(StorageError::of(err::FileAlreadyOpen, path));
    int fd = -1;
    for (int attempt = 0;; ++attempt) {
        fd = ::open(path.c_str(),
                    (mode == TextOpenMode::ReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) return fail(StorageError::fromErrno(errno, path));
        struct stat st {};
        if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
            int e = S_ISDIR(st.st_mode) ? EISDIR : errno;
            ::close(fd);
            return fail(StorageError::fromErrno(e, path));
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        int e = 0;
        switch (mode) {
        case TextOpenMode::ReadOnly:
            e = lockByte(fd, kShareByte, F_RDLCK);
            break;
        case TextOpenMode::ReadWrite:
            e = lockByte(fd, kShareByte, F_RDLCK);
            if (e == 0) e = lockByte(fd, kWriteByte, F_WRLCK);
            break;
        case TextOpenMode::Exclusive:
            e = lockByte(fd, kShareByte, F_WRLCK);
            break;
        }
        if (e != 0) {
            ::close(fd); // closing the description drops any lock it took
            return fail(lockError(e, path));
        }
        // The locks hold the file the name named when it was opened; one
        // renamed over the name meanwhile is the file to hold instead.
        struct stat now {};
        if (::stat(path.c_str(), &now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino)
            break;
        ::close(fd);
        if (attempt == 8) return fail(lockError(EAGAIN, path));
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    fd_ = fd;
    path_ = path;
    mode_ = mode;
    pos_ = lastPos_ = 0;
    dropBuffer();
    out_.clear();
    return ok();
}

bool RawLineFile::create(const std::string& path, std::optional<mode_t> mode) {
    if (fd_ >= 0) return fail(StorageError::of(err::FileAlreadyOpen, path));
    int fd = mode ? openCreating(path, O_RDWR | O_CLOEXEC, *mode)
                  : ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return fail(StorageError::fromErrno(errno, path));
    // Cutting a file that someone is reading would pull it from under them.
    if (int e = lockByte(fd, kShareByte, F_WRLCK); e != 0) {
        ::close(fd);
        return fail(lockError(e, path));
    }
    if (::ftruncate(fd, 0) != 0) {
        int e = errno;
        ::close(fd);
        return fail(StorageError::fromErrno(e, path));
    }
    if (::close(fd) != 0) return fail(StorageError::fromErrno(errno, path));
    return ok();
}

bool RawLineFile::close() {
    if (fd_ < 0) return ok();
    bool written = writeBatch();
    if (::close(fd_) != 0 && written) {
        written = false;
        error_ = StorageError::fromErrno(errno, path_);
    }
    fd_ = -1;
    dropBuffer();
    out_.clear();
    pos_ = lastPos_ = 0;
    return written ? ok() : false;
}

bool RawLineFile::set() {
    if (!requireOpen()) return false;
    pos_ = 0;
    dropBuffer(); // a new pass sees what others wrote meanwhile
    return ok();
}

bool RawLineFile::nextLine(std::string_view& line) {
    return readNextLine(kNoLimit, line);
}

bool RawLineFile::getLine(std::uint64_t offset, std::string_view& line) {
    return readLineAt(offset, kNoLimit, line);
}

bool RawLineFile::readNextLine(std::size_t maxContent, std::string_view& line) {
    return readLineAt(pos_, maxContent, line);
}

bool RawLineFile::readLineAt(std::uint64_t offset, std::size_t maxContent, std::string_view& line) {
    if (fd_ < 0) return requireOpen();
    if (!out_.empty() && !writeBatch()) return false;
    // The common case first: a whole line ended by a line feed in the buffer.
    if (offset >= bufOff_ && offset < bufOff_ + bufLen_) {
        const char* p = buf_.data();
        const std::size_t i = static_cast<std::size_t>(offset - bufOff_);
        const LineStop found = findStop(p, i, bufLen_);
        if (found.at < bufLen_ && p[found.at] == '\n') {
            const std::size_t end =
                (found.at > i && p[found.at - 1] == '\r') ? found.at - 1 : found.at;
            line = std::string_view(p + i, end - i);
            lineMayHaveTab_ = found.tab;
            lastPos_ = offset;
            pos_ = bufOff_ + found.at + 1;
            return ok();
        }
    }
    return readLine(offset, maxContent, line);
}

bool RawLineFile::readLine(std::uint64_t offset, std::size_t maxContent, std::string_view& line) {
    std::uint64_t next = 0;
    switch (scanLine(offset, maxContent, line, next)) {
    case Scan::Line:
        lastPos_ = offset;
        pos_ = next;
        return ok();
    case Scan::End:
        line = {};
        return fail(StorageError::of(err::RecordNotAvailable, path_));
    case Scan::Error:
        break;
    }
    line = {};
    return false;
}

RawLineFile::Scan RawLineFile::scanLine(std::uint64_t offset, std::size_t maxContent,
                                        std::string_view& line, std::uint64_t& next) {
    if (buf_.empty()) buf_.resize(bufferSize_);
    if (offset < bufOff_ || offset > bufOff_ + bufLen_) {
        bufOff_ = offset;
        bufLen_ = 0;
    }
    for (;;) {
        const std::size_t i = static_cast<std::size_t>(offset - bufOff_);
        const char* p = buf_.data();
        bool tab = false;
        const std::size_t stop = findLineStop(p, i, tab);
        lineMayHaveTab_ = tab;
        if (stop < bufLen_ && p[stop] == kCtrlZ) { // a Ctrl-Z ends the line and the file
            if (stop == i) return Scan::End;
            line = std::string_view(p + i, stop - i);
            next = bufOff_ + stop;
            return Scan::Line;
        }
        if (stop < bufLen_) {
            const std::size_t end = (stop > i && p[stop - 1] == '\r') ? stop - 1 : stop;
            line = std::string_view(p + i, end - i);
            next = bufOff_ + stop + 1;
            return Scan::Line;
        }
        if (i == 0 && bufLen_ == buf_.size()) {
            // The line fills the whole buffer and goes on.
            if (maxContent <= buf_.size() - 2) {
                longLine_.assign(p, maxContent);
                line = longLine_;
                return skipRestOfLine(bufOff_ + bufLen_, next);
            }
            buf_.resize(buf_.size() * 2);
        }
        const long long got = refill(i);
        if (got < 0) return Scan::Error;
        if (got == 0) { // the end of the file ends the last line
            const std::size_t at = static_cast<std::size_t>(offset - bufOff_);
            if (at == bufLen_) return Scan::End;
            line = std::string_view(buf_.data() + at, bufLen_ - at);
            next = bufOff_ + bufLen_;
            return Scan::Line;
        }
    }
}

RawLineFile::Scan RawLineFile::skipRestOfLine(std::uint64_t from, std::uint64_t& next) {
    for (;;) {
        bufOff_ = from;
        bufLen_ = 0;
        const long long got = refill(0);
        if (got < 0) return Scan::Error;
        if (got == 0) {
            next = from;
            return Scan::Line;
        }
        bool tab = false;
        const std::size_t end = findLineStop(buf_.data(), 0, tab);
        if (end < bufLen_) {
            next = bufOff_ + end + (buf_[end] == '\n' ? 1 : 0);
            return Scan::Line;
        }
        from += bufLen_;
    }
}

std::size_t RawLineFile::findLineStop(const char* p, std::size_t from, bool& tab) const {
    LineStop found = findStop(p, from, bufLen_);
    tab = found.tab;
    if (ctrlZ_ == CtrlZRule::EndsFile) return found.at;
    // A Ctrl-Z before the last byte of the file is an ordinary character.
    while (found.at < bufLen_ && p[found.at] == kCtrlZ && !isLastByte(bufOff_ + found.at)) {
        found = findStop(p, found.at + 1, bufLen_);
        tab = tab || found.tab;
    }
    return found.at;
}

bool RawLineFile::isLastByte(std::uint64_t offset) const {
    struct stat st;
    return ::fstat(fd_, &st) == 0 && static_cast<std::uint64_t>(st.st_size) == offset + 1;
}

long long RawLineFile::refill(std::size_t index) {
    if (index > 0) {
        std::memmove(buf_.data(), buf_.data() + index, bufLen_ - index);
        bufOff_ += index;
        bufLen_ -= index;
    }
    const long long got =
        preadAll(fd_, buf_.data() + bufLen_, buf_.size() - bufLen_, bufOff_ + bufLen_);
    if (got < 0) {
        error_ = StorageError::fromErrno(errno, path_);
        dropBuffer();
        return -1;
    }
    bufLen_ += static_cast<std::size_t>(got);
    return got;
}

void RawLineFile::dropBuffer() {
    bufOff_ = 0;
    bufLen_ = 0;
}

bool RawLineFile::addLine(std::string_view line) {
    if (!requireWritable()) return false;
    if (out_.empty() && !startBatch()) return false;
    out_.append(line);
    out_.append("\r\n", 2);
    if (out_.size() >= kWriteBatch && !writeBatch()) return false;
    return ok();
}

bool RawLineFile::startBatch() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return fail(StorageError::fromErrno(errno, path_));
    oldSize_ = static_cast<std::uint64_t>(st.st_size);
    outOff_ = oldSize_;
    overCtrlZ_ = false;
    if (oldSize_ == 0) return true;
    char tail[2] = {'\n', '\n'};
    const std::size_t n = oldSize_ >= 2 ? 2 : 1;
    errno = 0;
    if (preadAll(fd_, tail + 2 - n, n, oldSize_ - n) != static_cast<long long>(n))
        return fail(StorageError::fromErrno(errno ? errno : EIO, path_));
    char last = tail[1];
    if (last == kCtrlZ) {
        overCtrlZ_ = true;
        --outOff_;
        last = oldSize_ >= 2 ? tail[0] : '\n';
    }
    // A last line without its end mark gets one, so the new line does not
    // run on from it.
    if (last != '\n') out_.append("\r\n", 2);
    return true;
}

bool RawLineFile::writeBatch() {
    if (out_.empty()) return true;
    const int e = pwriteAll(fd_, out_.data(), out_.size(), outOff_);
    if (outOff_ < bufOff_ + bufLen_) dropBuffer();
    out_.clear();
    if (e == 0) return true;
    // Take the whole batch back so that no part of a line stays behind.
    if (::ftruncate(fd_, static_cast<off_t>(oldSize_)) == 0 && overCtrlZ_) {
        const char z = kCtrlZ;
        pwriteAll(fd_, &z, 1, oldSize_ - 1);
    }
    return fail(StorageError::fromErrno(e, path_));
}

bool RawLineFile::flush() {
    if (!requireOpen()) return false;
    return writeBatch() ? ok() : false;
}

bool RawLineFile::empty() {
    if (!requireWritable()) return false;
    out_.clear();
    if (::ftruncate(fd_, 0) != 0) return fail(StorageError::fromErrno(errno, path_));
    dropBuffer();
    pos_ = lastPos_ = 0;
    return ok();
}

bool RawLineFile::requireOpen() {
    if (fd_ >= 0) return true;
    return fail(StorageError::of(err::FileNotOpen, path_));
}

bool RawLineFile::requireWritable() {
    if (!requireOpen()) return false;
    if (mode_ != TextOpenMode::ReadOnly) return true;
    return fail(StorageError::of(err::AccessDenied, path_ + ": opened read-only"));
}

LineFile::LineFile(std::size_t recordLength, std::size_t bufferSize)
    : RawLineFile(bufferSize), recordLength_(recordLength), record_(recordLength, ' ') {
    if (recordLength == 0) throw std::invalid_argument("LineFile: record length 0");
}

bool LineFile::next(char* record) {
    std::string_view line;
    if (!readNextLine(recordLength_, line)) {
        std::memset(record, ' ', recordLength_);
        return false;
    }
    toRecord(line, record);
    return true;
}

std::string_view LineFile::next() {
    return next(record_.data()) ? std::string_view(record_) : std::string_view{};
}

bool LineFile::get(std::uint64_t offset, char* record) {
    std::string_view line;
    if (!readLineAt(offset, recordLength_, line)) {
        std::memset(record, ' ', recordLength_);
        return false;
    }
    toRecord(line, record);
    return true;
}

std::string_view LineFile::get(std::uint64_t offset) {
    return get(offset, record_.data()) ? std::string_view(record_) : std::string_view{};
}

bool LineFile::add(std::string_view record) {
    record = record.substr(0, recordLength_);
    const std::size_t last = record.find_last_not_of(' ');
    return addLine(last == std::string_view::npos ? std::string_view{}
                                                  : record.substr(0, last + 1));
}

void LineFile::toRecord(std::string_view line, char* record) const {
    const std::size_t n = recordLength_;
    const std::size_t take = std::min(line.size(), n);
    const void* tab = lineMayHaveTab() ? std::memchr(line.data(), '\t', take) : nullptr;
    if (tab == nullptr) {
        std::memcpy(record, line.data(), take);
        std::memset(record + take, ' ', n - take);
        return;
    }
    std::size_t col = static_cast<std::size_t>(static_cast<const char*>(tab) - line.data());
    std::memcpy(record, line.data(), col);
    for (std::size_t k = col; k < line.size() && col < n; ++k) {
        if (line[k] == '\t') {
            const std::size_t stop = std::min((col / 8 + 1) * 8, n);
            std::memset(record + col, ' ', stop - col);
            col = stop;
        } else {
            record[col++] = line[k];
        }
    }
    std::memset(record + col, ' ', n - col);
}

} // namespace mvz
