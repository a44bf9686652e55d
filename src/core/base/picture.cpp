#include "base/picture.h"

#include "base/day_number.h"
#include "base/fixed_text.h"

#include <stdexcept>

namespace mvz {
namespace {

constexpr int kMaxWidth = 255;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads a run of digits at s[i..]; false when there is none or it is too large.
bool readCount(std::string_view s, size_t& i, int& out) {
    size_t start = i;
    int value = 0;
    while (i < s.size() && isDigit(s[i])) {
        value = value * 10 + (s[i] - '0');
        if (value > kMaxWidth) return false;
        ++i;
    }
    out = value;
    return i > start;
}

std::string hashes(int width) {
    return std::string(static_cast<size_t>(width), '#');
}

std::string twoDigits(int v) {
    return std::string(1, static_cast<char>('0' + v / 10)) + static_cast<char>('0' + v % 10);
}

// "1234567" -> "1,234,567"
std::string group(std::string_view digits, char separator) {
    std::string out;
    out.reserve(digits.size() + digits.size() / 3);
    size_t lead = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    out.append(digits.substr(0, lead));
    for (size_t i = lead; i < digits.size(); i += 3) {
        out.push_back(separator);
        out.append(digits.substr(i, 3));
    }
    return out;
}

// Whole-number digits with thousands separators: the first group has 1 to 3
// digits, every following group exactly 3. Appends the bare digits to out.
bool ungroup(std::string_view s, char separator, std::string& out) {
    if (s.find(separator) == std::string_view::npos) {
        out.append(s);
        return true;
    }
    size_t groupLength = 0;
    bool first = true;
    for (char c : s) {
        if (c == separator) {
            if (groupLength == 0 || (first ? groupLength > 3 : groupLength != 3)) return false;
            first = false;
            groupLength = 0;
            continue;
        }
        out.push_back(c);
        ++groupLength;
    }
    return groupLength == 3;
}

bool allDigits(std::string_view s) {
    for (char c : s)
        if (!isDigit(c)) return false;
    return true;
}

} // namespace

std::optional<Picture> Picture::parse(std::string_view text) {
    std::string_view s = text;
    if (!s.empty() && s.front() == '@') s.remove_prefix(1);
    if (s.empty()) return std::nullopt;

    Picture p;
    size_t i = 1;
    switch (s.front()) {
    case 's':
    case 'S':
        p.kind_ = Kind::Text;
        if (!readCount(s, i, p.width_) || p.width_ == 0 || i != s.size()) return std::nullopt;
        return p;

    case 'd':
    case 'D': {
        int form = 0;
        p.kind_ = Kind::Date;
        if (!readCount(s, i, form) || form != 6) return std::nullopt;
        if (i < s.size()) {
            char sep = s[i++];
            if (sep != '.' && sep != '/' && sep != '-') return std::nullopt;
            p.dateSeparator_ = sep;
        }
        if (i != s.size()) return std::nullopt;
        p.width_ = 10;
        return p;
    }

    case 't':
    case 'T': {
        int form = 0;
        p.kind_ = Kind::Time;
        if (!readCount(s, i, form) || i != s.size()) return std::nullopt;
        if (form == 1)
            p.width_ = 5;
        else if (form == 4)
            p.width_ = 8;
        else
            return std::nullopt;
        return p;
    }

    case 'n':
    case 'N':
        break;
    default:
        return std::nullopt;
    }

    p.kind_ = Kind::Number;
    if (i < s.size() && s[i] == '-') ++i; // a negative number always shows its minus
    bool blankFill = false;
    if (i < s.size() && (s[i] == '0' || s[i] == '_')) {
        p.zeroFill_ = s[i] == '0';
        blankFill = s[i] == '_';
        ++i;
    }
    if (!readCount(s, i, p.width_) || p.width_ == 0) return std::nullopt;

    char grouping = 0;
    bool explicitGrouping = false;
    if (i < s.size()) {
        char c = s[i];
        bool decimalPoint = c == '.' && i + 1 < s.size() && isDigit(s[i + 1]);
        if (c == '_') {
            explicitGrouping = true;
            p.blankWhenZero_ = true;
            ++i;
        } else if ((c == '.' || c == ',') && !decimalPoint) {
            explicitGrouping = true;
            grouping = c;
            ++i;
        }
    }
    if (i < s.size() && (s[i] == '.' || s[i] == '`' || s[i] == 'v' || s[i] == 'V')) {
        char marker = s[i++];
        p.impliedDecimals_ = marker == 'v' || marker == 'V';
        p.decimalSeparator_ = marker == '`' ? ',' : '.';
        if (!readCount(s, i, p.places_) || p.places_ > Decimal::kMaxScale) return std::nullopt;
    }
    if (i < s.size() && (s[i] == 'B' || s[i] == 'b')) {
        p.blankWhenZero_ = true;
        ++i;
    }
    if (i != s.size()) return std::nullopt;

    if (p.zeroFill_ || blankFill)
        p.grouping_ = 0;
    else if (explicitGrouping)
        p.grouping_ = grouping;
    else
        p.grouping_ = p.decimalSeparator_ == ',' ? '.' : ',';
    // A thousands separator equal to the decimal separator could not be read back.
    if (p.grouping_ != 0 && !p.impliedDecimals_ && p.grouping_ == p.decimalSeparator_)
        return std::nullopt;
    return p;
}

std::optional<std::string> Picture::layoutNumber(const Decimal& v, char grouping) const {
    int64_t units = v.units();
    std::string digits = std::to_string(units < 0 ? -units : units);
    if (digits.size() < static_cast<size_t>(places_) + 1)
        digits.insert(0, static_cast<size_t>(places_) + 1 - digits.size(), '0');
    std::string_view whole =
        std::string_view(digits).substr(0, digits.size() - static_cast<size_t>(places_));
    std::string_view fraction =
        std::string_view(digits).substr(digits.size() - static_cast<size_t>(places_));

    std::string body = grouping ? group(whole, grouping) : std::string(whole);
    if (places_ > 0) {
        if (!impliedDecimals_) body.push_back(decimalSeparator_);
        body.append(fraction);
    }
    const size_t width = static_cast<size_t>(width_);
    const size_t sign = units < 0 ? 1 : 0;
    if (body.size() + sign > width) return std::nullopt;
    std::string pad(width - body.size() - sign, zeroFill_ ? '0' : ' ');
    std::string minus = sign ? "-" : "";
    return zeroFill_ ? minus + pad + body : pad + minus + body;
}

std::string Picture::formatNumber(const Decimal& value) const {
    Decimal v;
    try {
        v = value.rescale(places_);
    } catch (const std::overflow_error&) {
        return hashes(width_);
    }
    if (v.isZero() && blankWhenZero_) return std::string(static_cast<size_t>(width_), ' ');
    if (auto grouped = layoutNumber(v, grouping_)) return *grouped;
    if (grouping_ != 0)
        if (auto plain = layoutNumber(v, 0)) return *plain;
    return hashes(width_);
}

std::string Picture::format(const Decimal& value) const {
    switch (kind_) {
    case Kind::Number:
        return formatNumber(value);
    case Kind::Text:
        return fixed(value.toString(), static_cast<size_t>(width_));
    case Kind::Date:
    case Kind::Time: {
        Decimal whole = value.rescale(0);
        if (whole.units() < INT32_MIN || whole.units() > INT32_MAX) return hashes(width_);
        auto n = static_cast<int32_t>(whole.units());
        return kind_ == Kind::Date ? formatDate(n) : formatTime(n);
    }
    }
    return hashes(width_);
}

std::string Picture::format(long long value) const {
    if (value == INT64_MIN) return hashes(width_);
    return format(Decimal::fromUnits(value, 0));
}

std::string Picture::format(std::string_view text) const {
    switch (kind_) {
    case Kind::Text:
        return fixed(text, static_cast<size_t>(width_));
    case Kind::Number:
        if (auto v = read(text, Decimal::kMaxScale)) return formatNumber(*v);
        break;
    case Kind::Date:
        if (auto d = readDate(text)) return formatDate(*d);
        break;
    case Kind::Time:
        if (auto t = readTime(text)) return formatTime(*t);
        break;
    }
    return hashes(width_);
}

std::string Picture::formatDate(int32_t day) const {
    if (day == 0) return std::string(static_cast<size_t>(width_), ' ');
    CivilDate date = civilDate(day);
    if (date.year < 1 || date.year > 9999) return hashes(width_);
    std::string year = std::to_string(date.year);
    year.insert(0, 4 - year.size(), '0');
    std::string out =
        twoDigits(date.day) + dateSeparator_ + twoDigits(date.month) + dateSeparator_ + year;
    return fixed(out, static_cast<size_t>(width_));
}

std::string Picture::formatTime(int32_t time) const {
    if (time == 0) return std::string(static_cast<size_t>(width_), ' ');
    if (time < 0 || time > timeOfDay(23, 59, 59, 99)) return hashes(width_);
    ClockTime t = clockTime(time);
    std::string out = twoDigits(t.hour) + ':' + twoDigits(t.minute);
    if (width_ == 8) out += ':' + twoDigits(t.second);
    return out;
}

std::optional<Decimal> Picture::read(std::string_view text, int scale) const {
    std::string_view s = trim(text);
    if (s.empty()) return Decimal::fromInteger(0, scale);
    if (kind_ != Kind::Number) return Decimal::parse(s, scale);

    std::string normal;
    if (s.front() == '+' || s.front() == '-') {
        if (s.front() == '-') normal.push_back('-');
        s = clipLeft(s.substr(1));
    }
    if (s.empty()) return std::nullopt;

    if (impliedDecimals_) {
        if (!allDigits(s)) return std::nullopt;
        std::string digits(s);
        if (digits.size() < static_cast<size_t>(places_))
            digits.insert(0, static_cast<size_t>(places_) - digits.size(), '0');
        normal += digits.substr(0, digits.size() - places_);
        normal += '.';
        normal += digits.substr(digits.size() - places_);
        return Decimal::parse(normal, scale);
    }

    std::string_view whole = s, fraction;
    bool hasSeparator = false;
    if (size_t at = s.find(decimalSeparator_); at != std::string_view::npos) {
        whole = s.substr(0, at);
        fraction = s.substr(at + 1);
        hasSeparator = true;
    }
    // The thousands separator a reader expects: the picture's own, or for an
    // ungrouped picture the one that goes with its decimal separator.
    char separator = grouping_ ? grouping_ : (decimalSeparator_ == ',' ? '.' : ',');
    std::string wholeDigits;
    if (!ungroup(whole, separator, wholeDigits) || !allDigits(wholeDigits) || !allDigits(fraction))
        return std::nullopt;
    if (wholeDigits.empty() && fraction.empty()) return std::nullopt;
    normal += wholeDigits;
    if (hasSeparator) {
        normal += '.';
        normal += fraction;
    }
    return Decimal::parse(normal, scale);
}

std::optional<int32_t> Picture::readDate(std::string_view text) const {
    std::string_view s = trim(text);
    if (s.empty()) return 0;
    int parts[3] = {0, 0, 0};
    if (s.size() == 8 && allDigits(s)) {
        parts[0] = (s[0] - '0') * 10 + (s[1] - '0');
        parts[1] = (s[2] - '0') * 10 + (s[3] - '0');
        parts[2] = std::stoi(std::string(s.substr(4)));
    } else {
        if (s.back() == '.') s.remove_suffix(1);
        size_t i = 0;
        for (int k = 0; k < 3; ++k) {
            if (k > 0) {
                if (i >= s.size() || (s[i] != '.' && s[i] != '/' && s[i] != '-'))
                    return std::nullopt;
                ++i;
            }
            size_t start = i;
            while (i < s.size() && isDigit(s[i]) && i - start < 4)
                parts[k] = parts[k] * 10 + (s[i++] - '0');
            size_t length = i - start;
            if (length == 0 || (k < 2 && length > 2) || (k == 2 && length != 4))
                return std::nullopt;
        }
        if (i != s.size()) return std::nullopt;
    }
    int32_t day = dayNumber(parts[2], parts[1], parts[0]);
    if (day == 0) return std::nullopt;
    return day;
}

std::optional<int32_t> Picture::readTime(std::string_view text) const {
    std::string_view s = trim(text);
    if (s.empty()) return 0;
    int parts[3] = {0, 0, 0};
    size_t i = 0;
    int count = 0;
    for (; count < 3; ++count) {
        if (count > 0) {
            if (i >= s.size()) break;
            if (s[i] != ':') return std::nullopt;
            ++i;
        }
        size_t start = i;
        while (i < s.size() && isDigit(s[i]) && i - start < 2)
            parts[count] = parts[count] * 10 + (s[i++] - '0');
        size_t length = i - start;
        if (length == 0 || (count > 0 && length != 2)) return std::nullopt;
    }
    if (count < 2 || i != s.size()) return std::nullopt;
    int32_t time = timeOfDay(parts[0], parts[1], parts[2]);
    if (time == 0) return std::nullopt;
    return time;
}

} // namespace mvz
