#include "import/copying_record_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/created_file.h"
#include "data/input_file.h"
#include "data/storage_error.h"

namespace mvz {

namespace {

constexpr char kCtrlZ = 26;

bool writeAll(int fd, const char* data, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, data, n);
        if (w < 0 && errno == EINTR) continue;
        if (w < 0) return false;
        data += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

} // namespace

struct CopyingRecordReader::Hash {
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    ~Hash() { EVP_MD_CTX_free(ctx); }
    bool start() { return ctx && EVP_DigestInit_ex(ctx, EVP_sha1(), nullptr) == 1; }
    void add(const char* p, std::size_t n) { EVP_DigestUpdate(ctx, p, n); }
    std::string finish() {
        unsigned char md[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (EVP_DigestFinal_ex(ctx, md, &length) != 1) return {};
        static constexpr char kHex[] = "0123456789ABCDEF";
        std::string out;
        for (unsigned int i = 0; i < length; ++i) {
            out += kHex[md[i] >> 4];
            out += kHex[md[i] & 0x0F];
        }
        return out;
    }
};

CopyingRecordReader::CopyingRecordReader(std::size_t recordLength, std::size_t blockSize)
    : recordLength_(recordLength), buffer_(std::max(blockSize, recordLength + 2)),
      record_(recordLength, ' ') {
    if (recordLength == 0) throw std::invalid_argument("record length 0");
}

CopyingRecordReader::~CopyingRecordReader() {
    closeFiles();
}

bool CopyingRecordReader::fail(int errnoValue) {
    error_ = std::strerror(errnoValue != 0 ? errnoValue : EIO);
    return false;
}

bool CopyingRecordReader::failWriting(int errnoValue) {
    error_ = writeProblem(errnoValue, copyPath_);
    copyFailed_ = true;
    return false;
}

void CopyingRecordReader::closeFiles() {
    if (in_ >= 0) ::close(in_);
    if (out_ >= 0) ::close(out_);
    in_ = out_ = -1;
}

bool CopyingRecordReader::open(const std::string& source, const std::string& copy,
                               mode_t copyMode) {
    closeFiles();
    error_.clear();
    digest_.clear();
    hash_ = std::make_unique<Hash>();
    if (!hash_->start()) return fail(ENOMEM);
    begin_ = end_ = 0;
    eof_ = skipping_ = false;
    bytesRead_ = size_ = 0;
    // Only a regular file is read: a FIFO or a device could block or never end.
    in_ = openInputFile(source);
    if (in_ < 0) return fail(errno);
    struct stat st;
    if (::fstat(in_, &st) != 0) return fail(errno);
    size_ = static_cast<std::uint64_t>(st.st_size);
    copyPath_ = copy;
    copyFailed_ = false;
    if (::unlink(copy.c_str()) != 0 && errno != ENOENT) return failWriting(errno);
    out_ = openCreating(copy, O_WRONLY | O_TRUNC | O_CLOEXEC, copyMode);
    if (out_ < 0) {
        const int e = errno;
        closeFiles();
        failWriting(e);
        copyPath_.clear(); // nothing of ours to remove
        return false;
    }
    return true;
}

bool CopyingRecordReader::refill() {
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    for (;;) {
        const ssize_t n = ::read(in_, buffer_.data() + end_, buffer_.size() - end_);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(errno);
        if (n == 0) {
            eof_ = true;
            return true;
        }
        if (!writeAll(out_, buffer_.data() + end_, static_cast<std::size_t>(n)))
            return failWriting(errno);
        hash_->add(buffer_.data() + end_, static_cast<std::size_t>(n));
        end_ += static_cast<std::size_t>(n);
        bytesRead_ += static_cast<std::uint64_t>(n);
        return true;
    }
}

void CopyingRecordReader::toRecord(const char* line, std::size_t length) {
    char* record = record_.data();
    const std::size_t n = recordLength_;
    const std::size_t take = std::min(length, n);
    const void* tab = std::memchr(line, '\t', take);
    if (tab == nullptr) {
        std::memcpy(record, line, take);
        std::memset(record + take, ' ', n - take);
        return;
    }
    std::size_t col = static_cast<std::size_t>(static_cast<const char*>(tab) - line);
    std::memcpy(record, line, col);
    for (std::size_t k = col; k < length && col < n; ++k) {
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

bool CopyingRecordReader::next(std::string_view& record) {
    if (failed() || in_ < 0) return false;
    for (;;) {
        const char* p = buffer_.data() + begin_;
        std::size_t available = end_ - begin_;
        const char* lineEnd =
            available ? static_cast<const char*>(std::memchr(p, '\n', available)) : nullptr;
        if (lineEnd != nullptr) {
            std::size_t n = static_cast<std::size_t>(lineEnd - p);
            begin_ += n + 1;
            if (skipping_) {
                skipping_ = false;
                continue;
            }
            if (n > 0 && p[n - 1] == '\r') --n;
            toRecord(p, n);
            record = record_;
            return true;
        }
        if (!eof_ && (begin_ > 0 || end_ < buffer_.size())) {
            if (!refill()) return false;
            continue;
        }
        if (!eof_) {
            // The buffer holds part of one line and no end: the record takes
            // what it needs, the rest of the line is passed over.
            const bool handOut = !skipping_;
            if (handOut) toRecord(p, available);
            skipping_ = true;
            begin_ = end_ = 0;
            if (handOut) {
                record = record_;
                return true;
            }
            continue;
        }
        // The end of the file ends the last line.
        begin_ = end_;
        if (skipping_ || available == 0) return false;
        if (p[available - 1] == kCtrlZ) --available;
        if (available == 0) return false;
        toRecord(p, available);
        record = record_;
        return true;
    }
}

bool CopyingRecordReader::finish() {
    if (out_ >= 0 && ::close(out_) != 0 && !failed()) failWriting(errno);
    out_ = -1;
    closeFiles();
    if (!failed() && eof_ && hash_) digest_ = hash_->finish();
    return !failed();
}

void CopyingRecordReader::abandon() {
    closeFiles();
    if (!copyPath_.empty()) ::unlink(copyPath_.c_str());
}

} // namespace mvz
