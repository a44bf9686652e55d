#pragma once
// Line-text files: one line is one record.
//
// RawLineFile reads and writes lines as they are stored (without their end
// mark); LineFile reads each line into a record of fixed length, the way the
// text tables of the dictionary are read. Both share opening, sharing rules,
// buffering and error reporting.
//
// Line ends: a line ends at CR LF or at a lone LF (files from other systems
// use LF alone); a lone CR is an ordinary character. Lines the system writes
// always end with CR LF. A Ctrl-Z (26) ends the file, and the end of the
// file ends its last line even without an end mark. Input files from other
// programs may be read with CtrlZRule::OnlyAsLastByte: a Ctrl-Z then ends the
// file only when it is the file's last byte (the end mark of old editors) and
// is an ordinary character anywhere else, so no part of the file goes unread.
//
// Sharing: every opener holds a shared lock on one byte far beyond any real
// file size; a read-write opener also holds an exclusive lock on a second
// such byte (writing by others denied), and an exclusive opener holds the
// first byte exclusively. The locks are open file description locks, so two
// objects of one process exclude each other exactly as two processes do. An
// open that collides with another opener fails with error 5 "Access Denied".
//
// Every operation sets lastError(): code 0 on success, 33 "Record Not
// Available" at the end of the file, 5 "Access Denied" when writing to a file
// opened read-only, 37 "File Not Open" when the file is not open, and the
// operating system's failures as StorageError::fromErrno gives them.

#include "data/storage_error.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace mvz {

enum class CtrlZRule {
    EndsFile,       // a Ctrl-Z ends the file wherever it stands
    OnlyAsLastByte, // only a Ctrl-Z that is the file's last byte ends it
};

enum class TextOpenMode {
    ReadOnly,  // read only; others may read and write
    ReadWrite, // read and write; writing by others denied (the normal mode)
    Exclusive, // read and write; all sharing denied
};

class RawLineFile {
  public:
    static constexpr std::size_t kDefaultBufferSize = std::size_t{4} << 20;

    // bufferSize is the read-ahead size in bytes; a line longer than the
    // buffer grows it as far as the line needs to be seen whole.
    explicit RawLineFile(std::size_t bufferSize = kDefaultBufferSize);
    ~RawLineFile();
    RawLineFile(const RawLineFile&) = delete;
    RawLineFile& operator=(const RawLineFile&) = delete;

    // Opens an existing file. Fails with 2 when it is missing, 5 when the
    // sharing of another opener excludes this one, 52 when this object
    // already has a file open (that file stays open).
    bool open(const std::string& path, TextOpenMode mode = TextOpenMode::ReadWrite);
    // Creates the file empty, or cuts an existing one to zero length; the
    // file is not left open. Fails with 5 while anyone has the file open. A
    // file this makes gets the permissions `mode` when one is given (the
    // installation's), otherwise what the umask allows; an existing file
    // keeps its own.
    bool create(const std::string& path, std::optional<mode_t> mode = std::nullopt);
    // Writes out what is buffered and closes. Reports a failed write.
    bool close();

    bool isOpen() const { return fd_ >= 0; }
    // How a Ctrl-Z is read (CtrlZRule::EndsFile unless set).
    void setCtrlZRule(CtrlZRule rule) { ctrlZ_ = rule; }
    const std::string& path() const { return path_; }
    TextOpenMode mode() const { return mode_; }

    // Positions before the first line; the next read sees what others have
    // written meanwhile.
    bool set();
    // The next line as stored, without its end mark. The view stays valid
    // until the next operation on this object.
    bool nextLine(std::string_view& line);
    // The line that starts at a byte offset; the next read continues after it.
    bool getLine(std::uint64_t offset, std::string_view& line);
    // Byte offset of the last line read.
    std::uint64_t position() const { return lastPos_; }

    // Writes the bytes as a new line at the end of the file, followed by
    // CR LF. A Ctrl-Z that ends the file is overwritten; a last line without
    // an end mark gets one first, so it stays a line of its own.
    // Writing is buffered: the line reaches the file at the latest with the
    // next read, flush() or close(), and a failed write is reported by that
    // operation. A batch that fails is taken back whole, so the file never
    // keeps part of a line.
    bool addLine(std::string_view line);
    bool appendLine(std::string_view line) { return addLine(line); }
    // Truncates the file to zero length; lines not yet written are dropped.
    bool empty();
    bool flush();

    const StorageError& lastError() const { return error_; }
    int errorCode() const { return error_.code; }

  protected:
    // Read the next line, or the line at a byte offset. Of a line longer than
    // maxContent bytes at least maxContent bytes are returned.
    bool readNextLine(std::size_t maxContent, std::string_view& line);
    bool readLineAt(std::uint64_t offset, std::size_t maxContent, std::string_view& line);
    // False when the line last read certainly holds no tab.
    bool lineMayHaveTab() const { return lineMayHaveTab_; }
    // Set the last error and return the operation's result.
    bool ok() {
        if (error_.code != err::None) error_ = StorageError{};
        return true;
    }
    bool fail(StorageError e) {
        error_ = std::move(e);
        return false;
    }

  private:
    enum class Scan { Line, End, Error };
    Scan scanLine(std::uint64_t offset, std::size_t maxContent, std::string_view& line,
                  std::uint64_t& next);
    Scan skipRestOfLine(std::uint64_t from, std::uint64_t& next);
    // Where the line from p[from] stops within the buffer (bufLen_ when it
    // goes on), under the Ctrl-Z rule; tab tells whether a tab comes before.
    std::size_t findLineStop(const char* p, std::size_t from, bool& tab) const;
    bool isLastByte(std::uint64_t offset) const;
    // Keeps buffer bytes from index on, moves them to the front and reads
    // after them. Returns the number of bytes read, or -1 on failure.
    long long refill(std::size_t index);
    bool readLine(std::uint64_t offset, std::size_t maxContent, std::string_view& line);
    bool requireOpen();
    bool requireWritable();
    bool startBatch();
    bool writeBatch();
    void dropBuffer();

    std::size_t bufferSize_;
    int fd_ = -1;
    std::string path_;
    TextOpenMode mode_ = TextOpenMode::ReadOnly;
    StorageError error_;

    std::vector<char> buf_; // read-ahead; its size is the capacity
    std::uint64_t bufOff_ = 0;
    std::size_t bufLen_ = 0;
    std::string longLine_; // head of a line longer than the buffer
    CtrlZRule ctrlZ_ = CtrlZRule::EndsFile;
    bool lineMayHaveTab_ = true;

    std::uint64_t pos_ = 0;     // where the next sequential read starts
    std::uint64_t lastPos_ = 0; // where the last line read started

    std::string out_;           // lines not yet written
    std::uint64_t outOff_ = 0;  // file offset of out_[0]
    std::uint64_t oldSize_ = 0; // file length before the batch, to take it back
    bool overCtrlZ_ = false;    // the batch overwrites a closing Ctrl-Z
};

// A line-text file read and written as records of a fixed length.
//
// Reading a line into a record: the record is blank-filled; characters are
// copied until the end of the line or until the record is full; a tab is
// expanded with blanks to the next column that is a multiple of 8, counted
// from the start of the record; the rest of a longer line is skipped.
// Writing a record drops its trailing blanks before the line end.
class LineFile : public RawLineFile {
  public:
    // recordLength must be at least 1 (std::invalid_argument otherwise).
    explicit LineFile(std::size_t recordLength, std::size_t bufferSize = kDefaultBufferSize);

    std::size_t recordLength() const { return recordLength_; }

    // Reads the next line into record (exactly recordLength() bytes); a read
    // that fails leaves the record blank.
    bool next(char* record);
    // The next record, or an empty view on failure (see lastError()). The
    // view stays valid until the next read.
    std::string_view next();
    // Reads the line that starts at a byte offset.
    bool get(std::uint64_t offset, char* record);
    std::string_view get(std::uint64_t offset);

    // Writes the record (at most recordLength() bytes of it) as a new line.
    bool add(std::string_view record);
    bool append(std::string_view record) { return add(record); }

  private:
    void toRecord(std::string_view line, char* record) const;

    std::size_t recordLength_;
    std::string record_;
};

} // namespace mvz
