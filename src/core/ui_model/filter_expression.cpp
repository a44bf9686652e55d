#include "ui_model/filter_expression.h"

#include <cctype>
#include <optional>

#include "base/cp1250.h"
#include "base/decimal.h"

namespace mvz {

namespace {

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    std::vector<FilterTerm> terms() {
        std::vector<FilterTerm> out;
        skipBlanks();
        if (atEnd()) return out;
        out.push_back(term());
        for (;;) {
            skipBlanks();
            if (atEnd()) break;
            if (!keyword("AND")) fail("AND expected");
            out.push_back(term());
        }
        return out;
    }

  private:
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    void skipBlanks() {
        while (!atEnd() && std::isspace(static_cast<unsigned char>(peek())))
            ++pos_;
    }
    [[noreturn]] void fail(const std::string& what) const {
        throw FilterExpressionError("filter: " + what + " at position " + std::to_string(pos_ + 1) +
                                    " of \"" + std::string(text_) + "\"");
    }
    static bool nameChar(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == ':' || c == '_' || c == '.';
    }
    bool keyword(std::string_view word) {
        skipBlanks();
        if (text_.size() - pos_ < word.size()) return false;
        for (std::size_t i = 0; i < word.size(); ++i)
            if (std::toupper(static_cast<unsigned char>(text_[pos_ + i])) != word[i]) return false;
        if (pos_ + word.size() < text_.size() && nameChar(text_[pos_ + word.size()]) &&
            word != "UPPER(")
            return false;
        pos_ += word.size();
        return true;
    }

    // A comparison, possibly wrapped in parentheses.
    FilterTerm term() {
        skipBlanks();
        if (peek() == '(') {
            ++pos_;
            FilterTerm t = term();
            skipBlanks();
            if (peek() != ')') fail("\")\" expected");
            ++pos_;
            return t;
        }
        FilterTerm t;
        t.left = operand();
        t.op = op();
        t.right = operand();
        return t;
    }

    FilterOp op() {
        skipBlanks();
        auto take = [&](std::string_view s) {
            if (text_.substr(pos_, s.size()) != s) return false;
            pos_ += s.size();
            return true;
        };
        if (take("<>")) return FilterOp::NotEqual;
        if (take("<=")) return FilterOp::LessEqual;
        if (take(">=")) return FilterOp::GreaterEqual;
        if (take("=")) return FilterOp::Equal;
        if (take("<")) return FilterOp::Less;
        if (take(">")) return FilterOp::Greater;
        fail("a comparison (=, <>, <, <=, >, >=) expected");
    }

    FilterOperand operand() {
        skipBlanks();
        FilterOperand o;
        if (keyword("UPPER(")) {
            o = operand();
            skipBlanks();
            if (peek() != ')') fail("\")\" expected");
            ++pos_;
            o.upper = true;
            return o;
        }
        char c = peek();
        if (c == '\'' || c == '"') {
            ++pos_;
            std::size_t end = text_.find(c, pos_);
            if (end == std::string_view::npos) fail("unterminated text");
            o.kind = FilterOperand::Kind::Literal;
            o.text = std::string(text_.substr(pos_, end - pos_));
            pos_ = end + 1;
            return o;
        }
        if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
            std::size_t start = pos_++;
            while (!atEnd() && (std::isdigit(static_cast<unsigned char>(peek())) || peek() == '.'))
                ++pos_;
            o.kind = FilterOperand::Kind::Literal;
            o.text = std::string(text_.substr(start, pos_ - start));
            return o;
        }
        if (!nameChar(c)) fail("a name, text or number expected");
        std::size_t start = pos_;
        while (!atEnd() && nameChar(peek()))
            ++pos_;
        o.text = std::string(text_.substr(start, pos_ - start));
        return o;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    return s;
}

std::optional<Decimal> number(std::string_view s) {
    s = trimmed(s);
    if (s.empty()) return std::nullopt;
    return Decimal::parse(s, 4);
}

template <typename T> bool compare(const T& a, FilterOp op, const T& b) {
    switch (op) {
    case FilterOp::Equal:
        return a == b;
    case FilterOp::NotEqual:
        return !(a == b);
    case FilterOp::Less:
        return a < b;
    case FilterOp::LessEqual:
        return a < b || a == b;
    case FilterOp::Greater:
        return b < a;
    case FilterOp::GreaterEqual:
        return b < a || a == b;
    }
    return false;
}

} // namespace

std::vector<FilterTerm> parseFilterExpression(std::string_view text) {
    return Parser(text).terms();
}

bool compareFilterValues(std::string_view left, FilterOp op, std::string_view right, bool upper) {
    auto a = number(left), b = number(right);
    if (a && b) return compare(*a, op, *b);
    std::string l(trimmed(left)), r(trimmed(right));
    if (upper) {
        l = cp1250ToUtf8(toUpperCp1250(utf8ToCp1250Lossy(l)));
        r = cp1250ToUtf8(toUpperCp1250(utf8ToCp1250Lossy(r)));
    }
    return compare(l, op, r);
}

} // namespace mvz
