#pragma once
// Reads a submission file once, front to back, and at the same time writes
// every byte it reads to a copy: the formal control checks the file and
// leaves its work copy in one pass, with memory that does not grow with the
// file.
//
// Lines end at CR LF or at a lone LF; the end of the file ends the last line.
// A lone CR, a NUL or any other byte is an ordinary character, and so is a
// Ctrl-Z, except one that is the very last byte of the file (the end mark of
// old editors), which yields nothing. Each line is handed out as a record of
// a fixed length the way line files read it: blank-filled, a tab expanded
// with blanks to the next column that is a multiple of 8, the rest of a
// longer line skipped. The copy holds the file's bytes unchanged, and their
// digest is taken on the way, so the control mark of what was checked needs
// no second pass over the file.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace mvz {

class CopyingRecordReader {
  public:
    explicit CopyingRecordReader(std::size_t recordLength, std::size_t blockSize = 1 << 20);
    ~CopyingRecordReader();
    CopyingRecordReader(const CopyingRecordReader&) = delete;
    CopyingRecordReader& operator=(const CopyingRecordReader&) = delete;

    // Opens the source for reading and creates the copy as a new file with
    // the permissions `copyMode` (an existing file of that name is replaced).
    // False, with error() set, when either fails.
    bool open(const std::string& source, const std::string& copy, mode_t copyMode);

    // The next line as a record; the view stays valid until the next call.
    // False at the end of the file and on a failed read or write (failed()).
    bool next(std::string_view& record);

    // Writes out the copy and closes both files; false when the copy could
    // not be completed.
    bool finish();
    // Closes both files and removes the copy.
    void abandon();

    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; } // the system's reason
    // The failure was in writing the copy (a full disk names its folder).
    bool copyFailed() const { return copyFailed_; }
    // The digest of the bytes read (40 upper-case hexadecimal digits) once
    // the whole file has been read and finish() succeeded; "" before.
    const std::string& digest() const { return digest_; }
    std::uint64_t bytesRead() const { return bytesRead_; }
    std::uint64_t size() const { return size_; } // of the source when opened

  private:
    bool refill();
    void toRecord(const char* line, std::size_t length);
    bool fail(int errnoValue);
    bool failWriting(int errnoValue);
    void closeFiles();

    std::size_t recordLength_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0; // unread bytes are buffer_[begin_, end_)
    std::size_t end_ = 0;
    bool eof_ = false;
    bool skipping_ = false; // inside the rest of a line longer than the buffer
    std::string record_;
    int in_ = -1;
    int out_ = -1;
    std::string copyPath_;
    std::string error_;
    bool copyFailed_ = false;
    struct Hash;
    std::unique_ptr<Hash> hash_;
    std::string digest_;
    std::uint64_t bytesRead_ = 0;
    std::uint64_t size_ = 0;
};

} // namespace mvz
