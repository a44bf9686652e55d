#include "data/message_table.h"

#include "base/cp1250.h"

namespace mvz {

namespace embedded {
extern const unsigned char messageTable[];
extern const std::size_t messageTableSize;
} // namespace embedded

namespace {

// Reads the counted list front to back; every read checks the bytes left.

class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    std::uint8_t u8(const char* what) {
        need(1, what);
        return static_cast<std::uint8_t>(bytes_[pos_++]);
    }
    std::uint16_t u16(const char* what) {
        need(2, what);
        auto lo = static_cast<std::uint8_t>(bytes_[pos_]);
        auto hi = static_cast<std::uint8_t>(bytes_[pos_ + 1]);
        pos_ += 2;
        return static_cast<std::uint16_t>(lo | (hi << 8));
    }
    std::string text(const char* what) {
        std::size_t len = u8(what);
        need(len, what);
        std::string_view raw = bytes_.substr(pos_, len);
        pos_ += len;
        return cp1250ToUtf8(raw);
    }

    std::size_t left() const { return bytes_.size() - pos_; }
    void setEntry(std::size_t index, std::size_t count) {
        entry_ = index;
        count_ = count;
    }

  private:
    void need(std::size_t n, const char* what) const {
        if (left() < n) {
            throw MessageTableError(context() + "truncated in the " + std::string(what) +
                                    " at byte " + std::to_string(pos_) + " (" + std::to_string(n) +
                                    " needed, " + std::to_string(left()) + " left)");
        }
    }
    std::string context() const {
        std::string s = "message table: ";
        if (count_ != 0) {
            s += "entry " + std::to_string(entry_ + 1) + " of " + std::to_string(count_) + ": ";
        }
        return s;
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::size_t entry_ = 0;
    std::size_t count_ = 0;
};

void appendCounted(std::string& out, std::string_view utf8, const char* what, std::uint16_t id) {
    std::optional<std::string> converted = utf8ToCp1250(utf8);
    if (!converted) {
        throw MessageTableError("message " + std::to_string(id) + ": " + what +
                                " is not UTF-8 or has characters without a CP1250 code");
    }
    const std::string& encoded = *converted;
    if (encoded.size() > 255) {
        throw MessageTableError("message " + std::to_string(id) + ": " + what + " has " +
                                std::to_string(encoded.size()) + " characters, at most 255 fit");
    }
    out.push_back(static_cast<char>(encoded.size()));
    out += encoded;
}

void appendU16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

} // namespace

std::vector<ErrorEntry> readMessageTable(std::string_view bytes) {
    Reader in(bytes);
    const std::size_t count = in.u16("count");
    // Every entry takes at least 5 bytes; a count that cannot fit is refused
    // before anything is reserved for it.
    if (count * 5 > in.left()) {
        throw MessageTableError("message table: the count says " + std::to_string(count) +
                                " entries but only " + std::to_string(in.left()) + " bytes follow");
    }
    std::vector<ErrorEntry> entries;
    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        in.setEntry(i, count);
        ErrorEntry e;
        e.id = in.u16("ID");
        e.fatality = in.u8("severity");
        e.title = in.text("title");
        e.message = in.text("text");
        entries.push_back(std::move(e));
    }
    if (in.left() != 0) {
        throw MessageTableError("message table: " + std::to_string(in.left()) +
                                " bytes after the last of " + std::to_string(count) + " entries");
    }
    return entries;
}

std::string writeMessageTable(const std::vector<ErrorEntry>& entries) {
    if (entries.size() > 0xFFFF) throw MessageTableError("message table: too many entries");
    std::string out;
    appendU16(out, static_cast<std::uint16_t>(entries.size()));
    for (const ErrorEntry& e : entries) {
        appendU16(out, e.id);
        out.push_back(static_cast<char>(e.fatality));
        appendCounted(out, e.title, "title", e.id);
        appendCounted(out, e.message, "text", e.id);
    }
    return out;
}

const std::vector<ErrorEntry>& standardMessages() {
    static const std::vector<ErrorEntry> table = readMessageTable(std::string_view(
        reinterpret_cast<const char*>(embedded::messageTable), embedded::messageTableSize));
    return table;
}

} // namespace mvz
