#include "submission/record_format.h"

#include <array>
#include <cstring>
#include <stdexcept>
#include <type_traits>

#include <fmt/format.h>

#include "base/control_chars.h"
#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "data/record.h"

namespace mvz {

namespace {

using E = FieldEncoding;

// clang-format off
constexpr RecordField kType0[] = {
    {"MV0REZ1",   1, 12, E::Blank,      true},
    {"MV0IBOO",  13, 13, E::Identifier, false},
    {"MV0NAZO",  26, 50, E::Text,       false},
    {"MV0ADOB",  76, 50, E::Text,       false},
    {"MV0OSOB", 126, 50, E::Text,       false},
    {"MV0TELE", 176, 10, E::Text,       false},
    {"MV0MAIL", 186, 30, E::Text,       false},
    {"MV0DTMN", 216,  8, E::Date8,      true},
    {"MV0OFOR", 224,  5, E::Text,       false},
    {"MV0REZE", 229, 21, E::Blank,      false},
    {"MV0TIPS", 250,  1, E::Type,       true},
};

constexpr RecordField kType3[] = {
    {"MV3REZ1",   1, 12, E::Blank,      true},
    {"MV3IBOO",  13, 13, E::Identifier, false},
    {"MV3IDOB",  26,  4, E::Number,     true},
    {"MV3NAOB",  30, 50, E::Text,       false},
    {"MV3ADOB",  80, 50, E::Text,       false},
    {"MV3VROB", 130,  2, E::Number,     true},
    {"MV3MMGG", 132,  6, E::MonthYear,  true},
    {"MV3VROI", 138,  2, E::Number,     true},
    {"MV3BROS", 140,  5, E::Number,     true},
    {"MV3IBRT", 145, 15, E::Amount,     true},
    {"MV3IOSN", 160, 15, E::Amount,     true},
    {"MV3IST1", 175, 15, E::Amount,     true},
    {"MV3IST2", 190, 15, E::Amount,     true},
    {"MV3INET", 205, 15, E::Amount,     true},
    {"MV3IGMM", 220,  6, E::YearMonth,  true},
    {"MV3REZE", 226, 24, E::Blank,      false},
    {"MV3TIPS", 250,  1, E::Type,       true},
};

constexpr RecordField kType5[] = {
    {"MV5RBRO",   1,   5, E::Number,     true},
    {"MV5IBOO",   6,  13, E::Identifier, false},
    {"MV5IMPR",  19,  30, E::Text,       false},
    {"MV5GROP",  49,   4, E::Text,       true},
    {"MV5OSOB",  53,   3, E::Text,       true},
    {"MV5RAZD",  56,   4, E::Number,     true},
    {"MV5IBRT",  60,  15, E::Amount,     true},
    {"MV5IOSN",  75,  15, E::Amount,     true},
    {"MV5IST1",  90,  15, E::Amount,     true},
    {"MV5IST2", 105,  15, E::Amount,     true},
    {"MV5INET", 120,  15, E::Amount,     true},
    {"MV5REZE", 135, 115, E::Blank,      false},
    {"MV5TIPS", 250,   1, E::Type,       true},
};

constexpr RecordField kType7[] = {
    {"MV7REZ1",  1,  12, E::Blank,      true},
    {"MV7IBOO", 13,  13, E::Identifier, false},
    {"MV7IDOB", 26,   4, E::Number,     true},
    {"MV7BRSL", 30,   5, E::Number,     true},
    {"MV7DTRS", 35,   8, E::Date8,      true},
    {"MV7REZE", 43, 207, E::Blank,      false},
    {"MV7TIPS", 250,  1, E::Type,       true},
};

constexpr RecordField kType9[] = {
    {"MV9REZ1",  1,  12, E::Blank,      true},
    {"MV9IBOO", 13,  13, E::Identifier, false},
    {"MV9DTMN", 26,   8, E::Date8,      true},
    {"MV9BROJ", 34,   6, E::Number,     true},
    {"MV9REZE", 40, 210, E::Blank,      false},
    {"MV9TIPS", 250,  1, E::Type,       true},
};

const RecordLayout kLayouts[] = {
    {'0', "POČETNI SLOG FORMATA - tip sloga 0", "SL0", kType0},
    {'3', "VODEĆI SLOG JEDNOG OBRASCA - tip sloga 3", "SL3", kType3},
    {'5', "SLOG POJEDINAČNE TRANSAKCIJE - tip sloga 5", "SL5", kType5},
    {'7', "ZAKLJUČNI SLOG JEDNOG OBRASCA - tip sloga 7", "SL7", kType7},
    {'9', "ZAKLJUČNI SLOG FORMATA - tip sloga 9", "SL9", kType9},
};
// clang-format on

// Hundredths that fit 14 digits: 12 integer digits.
constexpr long long kMaxAmountUnits = 99'999'999'999'999LL;

long long powerOfTen(int width) {
    long long p = 1;
    for (int i = 0; i < width; ++i)
        p *= 10;
    return p;
}

std::string fitError(std::string_view value, const RecordField& f, std::string_view limit) {
    return fmt::format("Vrijednost {} ne stane u polje {} ({})", value, f.code, limit);
}

// A field's value on its way into or out of a line. Text and identifiers are
// CP1250 views; MV5RAZD travels as its four digits.
using Value = std::variant<std::monostate, std::string_view, long long, CivilDate, MonthYear,
                           YearMonth, Decimal>;

template <class T> const T& as(const Value& v, const RecordField& f) {
    if (const T* p = std::get_if<T>(&v)) return *p;
    throw std::logic_error(fmt::format("wrong value type for field {}", f.code));
}

bool putDigits(char* dst, long long value, int width) {
    if (value < 0 || value >= powerOfTen(width)) return false;
    for (int i = width - 1; i >= 0; --i) {
        dst[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return true;
}

// Writes one field into line[offset, offset + width); an error text when the
// value does not fit.
std::string encode(char* dst, const RecordField& f, const Value& v, char positiveSign, char type) {
    const int w = f.width;
    switch (f.encoding) {
    case E::Blank:
        std::memset(dst, ' ', w);
        return {};
    case E::Type:
        dst[0] = type;
        return {};
    case E::Text:
        setFixed(dst, w, as<std::string_view>(v, f));
        return {};
    case E::Identifier: {
        const std::string_view id = as<std::string_view>(v, f);
        if (clipRight(id).size() > static_cast<std::size_t>(w))
            return fitError("\"" + cp1250ToUtf8(clipRight(id)) + "\"", f,
                            fmt::format("najviše {} znakova", w));
        setFixed(dst, w, id);
        return {};
    }
    case E::Number: {
        const long long n = as<long long>(v, f);
        if (!putDigits(dst, n, w))
            return fitError(std::to_string(n), f, fmt::format("najviše {} znamenki", w));
        return {};
    }
    case E::Date8: {
        const CivilDate& d = as<CivilDate>(v, f);
        if (!putDigits(dst, d.day, 2) || !putDigits(dst + 2, d.month, 2) ||
            !putDigits(dst + 4, d.year, 4))
            return fitError(fmt::format("{}.{}.{}", d.day, d.month, d.year), f, "DDMMGGGG");
        return {};
    }
    case E::MonthYear: {
        const MonthYear& m = as<MonthYear>(v, f);
        if (!putDigits(dst, m.month, 2) || !putDigits(dst + 2, m.year, 4))
            return fitError(fmt::format("{}/{}", m.month, m.year), f, "MMGGGG");
        return {};
    }
    case E::YearMonth: {
        const YearMonth& m = as<YearMonth>(v, f);
        if (!putDigits(dst, m.year, 4) || !putDigits(dst + 4, m.month, 2))
            return fitError(fmt::format("{}/{}", m.year, m.month), f, "GGGGMM");
        return {};
    }
    case E::Amount: {
        const Decimal& given = as<Decimal>(v, f);
        const std::string tooLarge = fmt::format(
            "Iznos {} ne stane u polje {} (najviše 12 cijelih znamenki)", given.toString(), f.code);
        Decimal a;
        try {
            a = given.rescale(2);
        } catch (const std::overflow_error&) {
            return tooLarge;
        }
        const long long units = a.units() < 0 ? -a.units() : a.units();
        if (units > kMaxAmountUnits) return tooLarge;
        dst[0] = a.units() < 0 ? '-' : positiveSign;
        putDigits(dst + 1, units, w - 1);
        return {};
    }
    }
    return {};
}

BuiltLine build(char type, std::initializer_list<Value> values, char positiveSign) {
    const RecordLayout& layout = *recordLayout(type);
    if (values.size() != layout.fields.size())
        throw std::logic_error(fmt::format("record type {}: {} values for {} fields", type,
                                           values.size(), layout.fields.size()));
    BuiltLine out;
    out.line.assign(kRecordLength, ' ');
    auto v = values.begin();
    for (const RecordField& f : layout.fields) {
        std::string error = encode(out.line.data() + f.offset(), f, *v++, positiveSign, type);
        if (!error.empty()) return BuiltLine{{}, std::move(error)};
    }
    return out;
}

bool allDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// The value of one field of a line; an error text when it does not decode.
std::string decode(std::string_view text, const RecordField& f, Value& out) {
    const auto number = [&](std::string_view part, int& value) {
        const auto n = decodeNumber(part);
        if (!n) return false;
        value = static_cast<int>(*n);
        return true;
    };
    const std::string notNumber =
        fmt::format("Polje {} nije broj: \"{}\"", f.code, cp1250ToUtf8(text));
    switch (f.encoding) {
    case E::Blank:
    case E::Type:
        out = std::monostate{};
        return {};
    case E::Text:
        out = clipRight(text);
        return {};
    case E::Identifier:
        out = text;
        return {};
    case E::Number: {
        const auto n = decodeNumber(text);
        if (!n) return notNumber;
        out = *n;
        return {};
    }
    case E::Date8: {
        CivilDate d;
        if (!number(text.substr(0, 2), d.day) || !number(text.substr(2, 2), d.month) ||
            !number(text.substr(4, 4), d.year))
            return notNumber;
        out = d;
        return {};
    }
    case E::MonthYear: {
        MonthYear m;
        if (!number(text.substr(0, 2), m.month) || !number(text.substr(2, 4), m.year))
            return notNumber;
        out = m;
        return {};
    }
    case E::YearMonth: {
        YearMonth m;
        if (!number(text.substr(0, 4), m.year) || !number(text.substr(4, 2), m.month))
            return notNumber;
        out = m;
        return {};
    }
    case E::Amount: {
        const auto a = decodeAmount(text);
        if (!a) return fmt::format("Polje {} nije iznos: \"{}\"", f.code, cp1250ToUtf8(text));
        out = *a;
        return {};
    }
    }
    return {};
}

std::string str(const Value& v) {
    return std::string(std::get<std::string_view>(v));
}
long long num(const Value& v) {
    return std::get<long long>(v);
}

SubmissionRecord fromValues(char type, const std::vector<Value>& v) {
    switch (type) {
    case '0':
        return SenderRecord{str(v[1]),
                            str(v[2]),
                            str(v[3]),
                            str(v[4]),
                            str(v[5]),
                            str(v[6]),
                            std::get<CivilDate>(v[7]),
                            str(v[8])};
    case '3':
        return FormHeaderRecord{str(v[1]),
                                static_cast<int>(num(v[2])),
                                str(v[3]),
                                str(v[4]),
                                static_cast<int>(num(v[5])),
                                std::get<MonthYear>(v[6]),
                                static_cast<int>(num(v[7])),
                                num(v[8]),
                                std::get<Decimal>(v[9]),
                                std::get<Decimal>(v[10]),
                                std::get<Decimal>(v[11]),
                                std::get<Decimal>(v[12]),
                                std::get<Decimal>(v[13]),
                                std::get<YearMonth>(v[14])};
    case '5': {
        const long long days = num(v[5]);
        return InsuredRecord{num(v[0]),
                             str(v[1]),
                             str(v[2]),
                             str(v[3]),
                             str(v[4]),
                             DayPeriod{static_cast<int>(days / 100), static_cast<int>(days % 100)},
                             std::get<Decimal>(v[6]),
                             std::get<Decimal>(v[7]),
                             std::get<Decimal>(v[8]),
                             std::get<Decimal>(v[9]),
                             std::get<Decimal>(v[10])};
    }
    case '7':
        return FormEndRecord{str(v[1]), static_cast<int>(num(v[2])), num(v[3]),
                             std::get<CivilDate>(v[4])};
    default:
        return FileEndRecord{str(v[1]), std::get<CivilDate>(v[2]), num(v[3])};
    }
}

const Value blank{};

} // namespace

int RecordLayout::fieldIndex(std::string_view code) const {
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].code == code) return static_cast<int>(i);
    return -1;
}

std::span<const RecordLayout> recordLayouts() {
    return kLayouts;
}

const RecordLayout* recordLayout(char type) {
    for (const RecordLayout& l : kLayouts)
        if (l.type == type) return &l;
    return nullptr;
}

BuiltLine buildLine(const SenderRecord& r) {
    return build('0',
                 {blank, std::string_view(r.MV0IBOO), std::string_view(r.MV0NAZO),
                  std::string_view(r.MV0ADOB), std::string_view(r.MV0OSOB),
                  std::string_view(r.MV0TELE), std::string_view(r.MV0MAIL), r.MV0DTMN,
                  std::string_view(r.MV0OFOR), blank, blank},
                 '0');
}

BuiltLine buildLine(const FormHeaderRecord& r, PositiveSign sign) {
    return build('3',
                 {blank, std::string_view(r.MV3IBOO), static_cast<long long>(r.MV3IDOB),
                  std::string_view(r.MV3NAOB), std::string_view(r.MV3ADOB),
                  static_cast<long long>(r.MV3VROB), r.MV3MMGG, static_cast<long long>(r.MV3VROI),
                  r.MV3BROS, r.MV3IBRT, r.MV3IOSN, r.MV3IST1, r.MV3IST2, r.MV3INET, r.MV3IGMM,
                  blank, blank},
                 static_cast<char>(sign));
}

BuiltLine buildLine(const InsuredRecord& r, PositiveSign sign) {
    const DayPeriod& p = r.MV5RAZD;
    if (p.first < 0 || p.first > 99 || p.last < 0 || p.last > 99)
        return BuiltLine{{},
                         fmt::format("Vrijednost {}-{} ne stane u polje MV5RAZD (dva puta dvije "
                                     "znamenke)",
                                     p.first, p.last)};
    return build('5',
                 {r.MV5RBRO, std::string_view(r.MV5IBOO), std::string_view(r.MV5IMPR),
                  std::string_view(r.MV5GROP), std::string_view(r.MV5OSOB),
                  static_cast<long long>(p.first * 100 + p.last), r.MV5IBRT, r.MV5IOSN, r.MV5IST1,
                  r.MV5IST2, r.MV5INET, blank, blank},
                 static_cast<char>(sign));
}

BuiltLine buildLine(const FormEndRecord& r) {
    return build('7',
                 {blank, std::string_view(r.MV7IBOO), static_cast<long long>(r.MV7IDOB), r.MV7BRSL,
                  r.MV7DTRS, blank, blank},
                 '0');
}

BuiltLine buildLine(const FileEndRecord& r) {
    return build('9', {blank, std::string_view(r.MV9IBOO), r.MV9DTMN, r.MV9BROJ, blank, blank},
                 '0');
}

BuiltLine buildLine(const SubmissionRecord& record, PositiveSign sign) {
    return std::visit(
        [&](const auto& r) {
            using T = std::decay_t<decltype(r)>;
            if constexpr (std::is_same_v<T, FormHeaderRecord> || std::is_same_v<T, InsuredRecord>)
                return buildLine(r, sign);
            else
                return buildLine(r);
        },
        record);
}

std::vector<std::string_view> splitFields(const RecordLayout& layout, std::string_view line) {
    std::vector<std::string_view> out;
    out.reserve(layout.fields.size());
    for (const RecordField& f : layout.fields) {
        const std::size_t at = static_cast<std::size_t>(f.offset());
        out.push_back(at < line.size() ? line.substr(at, f.width) : std::string_view{});
    }
    return out;
}

SplitLine splitLine(std::string_view line) {
    SplitLine out;
    if (line.size() != kRecordLength) {
        out.error = fmt::format("Slog ima {} znakova umjesto {}", line.size(), kRecordLength);
        return out;
    }
    const RecordLayout* layout = recordLayout(line.back());
    if (layout == nullptr) {
        out.error = fmt::format("Nepoznat tip sloga \"{}\"", cp1250ToUtf8(line.substr(249)));
        return out;
    }
    const std::vector<std::string_view> texts = splitFields(*layout, line);
    std::vector<Value> values(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        out.error = decode(texts[i], layout->fields[i], values[i]);
        if (!out.error.empty()) return out;
    }
    out.record = fromValues(layout->type, values);
    return out;
}

std::optional<std::string> encodeNumber(long long value, int width, std::string_view code,
                                        std::string* error) {
    const RecordField f{code, 1, width, E::Number, true};
    std::string out(static_cast<std::size_t>(width), ' ');
    std::string why = encode(out.data(), f, value, '0', ' ');
    if (why.empty()) return out;
    if (error != nullptr) *error = std::move(why);
    return std::nullopt;
}

std::optional<std::string> encodeAmount(const Decimal& amount, PositiveSign sign,
                                        std::string_view code, std::string* error) {
    const RecordField f{code, 1, 15, E::Amount, true};
    std::string out(15, ' ');
    std::string why = encode(out.data(), f, amount, static_cast<char>(sign), ' ');
    if (why.empty()) return out;
    if (error != nullptr) *error = std::move(why);
    return std::nullopt;
}

std::optional<long long> decodeNumber(std::string_view field) {
    if (!allDigits(field) || field.size() > 18) return std::nullopt;
    long long n = 0;
    for (char c : field)
        n = n * 10 + (c - '0');
    return n;
}

std::optional<Decimal> decodeAmount(std::string_view field) {
    if (field.size() < 2) return std::nullopt;
    const char sign = field[0];
    if (sign != '0' && sign != '+' && sign != '-') return std::nullopt;
    const auto units = decodeNumber(field.substr(1));
    if (!units) return std::nullopt;
    return Decimal::fromUnits(sign == '-' ? -*units : *units, 2);
}

std::string unwritableLine(std::string_view line) {
    const std::string type =
        line.empty() ? std::string("?") : cp1250ToUtf8(line.substr(line.size() - 1));
    if (line.size() != kRecordLength)
        return fmt::format("Greška. Slog tipa {} ima {} znakova umjesto {}",
                           escapeControlChars(type), line.size(), kRecordLength);
    if (const std::size_t at = findControlChar(line); at != std::string_view::npos)
        return fmt::format("Greška. Slog tipa {} sadrži kontrolni znak {} na mjestu {}",
                           escapeControlChars(type),
                           controlCharEscape(static_cast<unsigned char>(line[at])), at + 1);
    return {};
}

void putMirrorRecord(Record& mirror, std::string_view line) {
    if (mirror.size() != kRecordLength)
        throw std::logic_error(
            fmt::format("{} is not a record mirror table", mirror.def().fileName));
    mirror.assign(line);
}

} // namespace mvz
