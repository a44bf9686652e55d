#include "ui_model/column_format.h"

#include <cctype>

namespace mvz {

namespace {

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    std::vector<ColumnFormat> columns() {
        std::vector<ColumnFormat> out;
        while (!atEnd())
            out.push_back(column());
        return out;
    }

  private:
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }

    [[noreturn]] void fail(const std::string& what) const {
        throw ColumnFormatError("column format: " + what + " at position " +
                                std::to_string(pos_ + 1));
    }

    int number() {
        if (!std::isdigit(static_cast<unsigned char>(peek()))) fail("a number expected");
        long value = 0;
        while (std::isdigit(static_cast<unsigned char>(peek()))) {
            value = value * 10 + (text_[pos_++] - '0');
            if (value > 100000) fail("a number too large");
        }
        return static_cast<int>(value);
    }

    static bool isAlign(char c) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return c == 'L' || c == 'R' || c == 'C' || c == 'D';
    }

    ColumnAlign align() {
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text_[pos_++])));
        return static_cast<ColumnAlign>(c);
    }

    // "(n)" after an alignment letter; 0 when absent.
    int optionalIndent() {
        if (peek() != '(') return 0;
        ++pos_;
        int n = number();
        if (peek() != ')') fail("\")\" expected");
        ++pos_;
        return n;
    }

    // Text up to the closing delimiter.
    std::string delimited(char delimiter, const char* what) {
        ++pos_; // the opening delimiter
        std::size_t end = text_.find(delimiter, pos_);
        if (end == std::string_view::npos) fail(std::string("unterminated ") + what);
        std::string out(text_.substr(pos_, end - pos_));
        pos_ = end + 1;
        return out;
    }

    ColumnFormat column() {
        ColumnFormat c;
        c.width = number();
        if (!isAlign(peek())) fail("an alignment letter (L, R, C or D) expected");
        c.align = align();
        c.indent = optionalIndent();
        if (peek() != '|') fail("\"|\" expected");
        ++pos_;
        while (!atEnd() && peek() != '~' && peek() != '@' &&
               !std::isdigit(static_cast<unsigned char>(peek()))) {
            char m = static_cast<char>(std::toupper(static_cast<unsigned char>(text_[pos_++])));
            c.modifiers += m;
            if (m == 'M') c.resizable = true;
        }
        c.headerAlign = c.align;
        c.headerIndent = c.indent;
        if (peek() == '~') {
            c.header = delimited('~', "header");
            if (isAlign(peek())) {
                c.headerAlign = align();
                c.headerIndent = optionalIndent();
            }
        }
        if (peek() == '@') c.picture = delimited('@', "picture");
        return c;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

std::vector<ColumnFormat> parseColumnFormat(std::string_view format) {
    return Parser(format).columns();
}

} // namespace mvz
