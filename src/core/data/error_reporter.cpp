#include "data/error_reporter.h"

namespace mvz {

namespace {

// Cuts UTF-8 text after `limit` characters, never inside a character.
void limitChars(std::string& text, std::size_t limit) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue; // continuation
        if (chars == limit) {
            text.resize(i);
            return;
        }
        ++chars;
    }
}

std::string trimmedField(std::string_view text) {
    std::size_t end = text.find_last_not_of(' ');
    std::string out(end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1));
    limitChars(out, ErrorReporter::MaxFieldLength);
    return out;
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Position of `needle` in `text` from `from` on, ignoring ASCII letter case.
// Placeholders are ASCII; bytes of other UTF-8 characters never match them.
std::size_t findNoCase(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.size() > text.size()) return std::string_view::npos;
    for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < needle.size() && asciiLower(text[i + k]) == asciiLower(needle[k]))
            ++k;
        if (k == needle.size()) return i;
    }
    return std::string_view::npos;
}

// A message text being filled: the pieces of the message's own text and the
// values inserted for its placeholders. Only the message's own pieces are
// searched, so an inserted value is never searched again, not even by a later
// placeholder (a file name "%Field" stays as it is).
class FilledText {
  public:
    explicit FilledText(std::string text) { pieces_.push_back({std::move(text), false}); }

    bool contains(std::string_view placeholder) const {
        for (const Piece& p : pieces_) {
            if (!p.inserted && findNoCase(p.text, placeholder, 0) != std::string::npos) return true;
        }
        return false;
    }

    // Replaces every occurrence of the placeholder, first to last.
    void replace(std::string_view placeholder, std::string_view value) {
        std::vector<Piece> out;
        for (Piece& p : pieces_) {
            if (p.inserted) {
                out.push_back(std::move(p));
                continue;
            }
            std::size_t from = 0;
            std::size_t at;
            while ((at = findNoCase(p.text, placeholder, from)) != std::string::npos) {
                out.push_back({p.text.substr(from, at - from), false});
                out.push_back({std::string(value), true});
                from = at + placeholder.size();
            }
            out.push_back({p.text.substr(from), false});
        }
        pieces_ = std::move(out);
    }

    std::string str() const {
        std::string out;
        for (const Piece& p : pieces_)
            out += p.text;
        return out;
    }

  private:
    struct Piece {
        std::string text;
        bool inserted;
    };
    std::vector<Piece> pieces_;
};

std::string unknownMessageText(std::uint16_t id) {
    return "Unknown message " + std::to_string(id);
}

} // namespace

std::string messageBoxText(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == '|') c = '\n';
    }
    return out;
}

ErrorReporter::ErrorReporter(Reporter& reporter) : reporter_(reporter) {}

void ErrorReporter::addMessages(const std::vector<ErrorEntry>& entries) {
    entries_.insert(entries_.end(), entries.begin(), entries.end());
}

long ErrorReporter::findIndex(std::uint16_t id, std::size_t before) const {
    for (std::size_t i = before; i-- > 0;) {
        if (entries_[i].id == id) return long(i);
    }
    return -1;
}

const ErrorEntry* ErrorReporter::find(std::uint16_t id) const {
    long index = findIndex(id, entries_.size());
    return index < 0 ? nullptr : &entries_[std::size_t(index)];
}

void ErrorReporter::setField(std::string_view caption) {
    field_ = trimmedField(caption);
}

void ErrorReporter::setFile(std::string_view name) {
    file_ = trimmedField(name);
}

void ErrorReporter::setMessageText(std::string_view text) {
    messageText_ = std::string(text);
    limitChars(messageText_, MaxFieldLength);
}

void ErrorReporter::captureError(const StorageError& error) {
    saveErrorCode_ = error.code;
    saveError_ = error.code == err::None ? std::string()
                 : error.text.empty()    ? storageErrorText(error.code)
                                         : error.text;
    limitChars(saveError_, MaxFieldLength);
    saveFileError_ = error.osText;
    limitChars(saveFileError_, MaxFieldLength);
    saveFileErrorCode_ = error.osCode != 0 ? std::to_string(error.osCode) : std::string();
}

std::string ErrorReporter::errorText() const {
    // A file-system error shows the operating system's text and number. One
    // captured without them still shows the storage text rather than " ()".
    if (saveErrorCode_ == err::FileSystemError && !saveFileError_.empty()) {
        return saveFileError_ + " (" + saveFileErrorCode_ + ")";
    }
    return saveError_ + " (" + std::to_string(saveErrorCode_) + ")";
}

std::string ErrorReporter::fillEntry(std::size_t index) const {
    const ErrorEntry& entry = entries_[index];
    FilledText filled(entry.message);
    // The order matters: "%ErrorText" and "%ErrorCode" go before "%Error"
    // could take their beginnings.
    filled.replace("%File", file_);
    filled.replace("%ErrorCode", std::to_string(saveErrorCode_));
    filled.replace("%ErrorText", errorText());
    filled.replace("%Error", saveError_);
    filled.replace("%FileErrorCode", saveFileErrorCode_);
    filled.replace("%FileError", saveFileError_);
    filled.replace("%Message", messageText_);
    filled.replace("%Field", field_);
    if (filled.contains("%Previous")) {
        // The earlier entry is filled on its own, its own "%Previous" included.
        long previous = findIndex(entry.id, index);
        filled.replace("%Previous",
                       previous < 0 ? std::string() : fillEntry(std::size_t(previous)));
    }
    std::string text = filled.str();
    limitChars(text, MaxFilledLength);
    return text;
}

std::string ErrorReporter::fill(std::uint16_t id) const {
    long index = findIndex(id, entries_.size());
    if (index < 0) return unknownMessageText(id);
    return fillEntry(std::size_t(index));
}

int ErrorReporter::raise(std::uint16_t id, std::string_view messageText) {
    setMessageText(messageText);
    const ErrorEntry* entry = find(id);
    MessageBox box;
    box.icon = MessageIcon::Information;
    box.buttons = ButtonOk;
    box.defaultButton = ButtonOk;
    if (entry == nullptr) {
        box.title = "Error";
        box.text = unknownMessageText(id);
        reporter_.show(box);
        return 5;
    }
    box.title = entry->title;
    box.text = messageBoxText(fill(id));
    switch (entry->fatality) {
    case 0:
        return 0;
    case 1:
    case 4:
        box.icon = MessageIcon::Exclamation;
        box.buttons = ButtonYes | ButtonNo;
        box.defaultButton = ButtonYes;
        // Anything but Yes (a dialog closed otherwise) counts as No.
        return reporter_.show(box) == ButtonYes ? 0 : 4;
    case 5:
        reporter_.show(box);
        return 5;
    default:
        box.text += FatalSuffix;
        reporter_.show(box);
        reporter_.endProgram();
        return 3;
    }
}

Button ErrorReporter::ask(std::uint16_t id, unsigned buttons, Button defaultButton,
                          std::string_view messageText) {
    setMessageText(messageText);
    const ErrorEntry* entry = find(id);
    MessageBox box;
    box.title = entry ? entry->title : std::string("Error");
    box.text = messageBoxText(fill(id));
    box.icon = MessageIcon::Question;
    box.buttons = buttons;
    box.defaultButton = defaultButton;
    return reporter_.show(box);
}

} // namespace mvz
