#include "data/record.h"

#include <charconv>
#include <cstring>
#include <limits>

#include "base/cp1250.h"
#include "base/fixed_text.h"

namespace mvz {

namespace {

template <typename T> T load(const char* p) {
    T v;
    std::memcpy(&v, p, sizeof v); // the layouts are little-endian, as is this machine
    return v;
}

template <typename T> void store(char* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

} // namespace

Record::Record(const TableDef& def) : def_(&def), bytes_(def.recordLength) {
    clear();
}

void Record::assign(std::string_view b) {
    if (b.size() < bytes_.size()) clear();
    std::memcpy(bytes_.data(), b.data(), std::min(b.size(), bytes_.size()));
}

void Record::clear() {
    std::memcpy(bytes_.data(), def_->blankImage.data(), bytes_.size());
    memo.clear();
}

void Record::clearField(int field) {
    const FieldDef& f = def_->fields[field];
    if (f.type == FieldType::Text)
        std::memset(bytes_.data() + f.offset, ' ', f.size);
    else if (f.type == FieldType::Packed)
        packDecimal(Decimal::fromInteger(0, f.decimals), bytes_.data() + f.offset, f.size,
                    f.decimals);
    else
        std::memset(bytes_.data() + f.offset, 0, f.size);
}

std::string_view Record::text(int field) const {
    const FieldDef& f = def_->fields[field];
    return {bytes_.data() + f.offset, static_cast<size_t>(f.size)};
}

void Record::setText(int field, std::string_view cp1250) {
    const FieldDef& f = def_->fields[field];
    setFixed(bytes_.data() + f.offset, f.size, cp1250);
}

std::int64_t Record::integer(int field) const {
    const FieldDef& f = def_->fields[field];
    const char* p = bytes_.data() + f.offset;
    switch (f.type) {
    case FieldType::Byte:
        return static_cast<unsigned char>(*p);
    case FieldType::Short:
        return load<std::int16_t>(p);
    case FieldType::Long:
    case FieldType::Date:
        return load<std::int32_t>(p);
    case FieldType::Packed:
        return decimal(field).rescale(0).units();
    case FieldType::Real:
        return static_cast<std::int64_t>(real(field));
    case FieldType::Text: {
        std::int64_t v = 0;
        auto t = trimmed(text(field));
        std::from_chars(t.data(), t.data() + t.size(), v);
        return v;
    }
    }
    return 0;
}

bool Record::setInteger(int field, std::int64_t v) {
    const FieldDef& f = def_->fields[field];
    char* p = bytes_.data() + f.offset;
    switch (f.type) {
    case FieldType::Byte:
        if (v < 0 || v > 255) return false;
        *p = static_cast<char>(v);
        return true;
    case FieldType::Short:
        if (v < std::numeric_limits<std::int16_t>::min() ||
            v > std::numeric_limits<std::int16_t>::max())
            return false;
        store<std::int16_t>(p, static_cast<std::int16_t>(v));
        return true;
    case FieldType::Long:
    case FieldType::Date:
        if (v < std::numeric_limits<std::int32_t>::min() ||
            v > std::numeric_limits<std::int32_t>::max())
            return false;
        store<std::int32_t>(p, static_cast<std::int32_t>(v));
        return true;
    case FieldType::Packed:
        return setDecimal(field, Decimal::fromInteger(v, 0));
    case FieldType::Real:
        setReal(field, static_cast<double>(v));
        return true;
    case FieldType::Text: {
        std::string s = std::to_string(v);
        if (s.size() > static_cast<size_t>(f.size)) return false;
        setText(field, s);
        return true;
    }
    }
    return false;
}

Decimal Record::decimal(int field) const {
    const FieldDef& f = def_->fields[field];
    if (f.type == FieldType::Packed)
        return tryUnpackDecimal(bytes_.data() + f.offset, f.size, f.decimals)
            .value_or(Decimal::fromInteger(0, f.decimals));
    if (f.type == FieldType::Text)
        return Decimal::parse(trimmed(text(field)), 2).value_or(Decimal::fromInteger(0, 2));
    if (f.type == FieldType::Real) return Decimal::parse(std::to_string(real(field)), 4).value();
    return Decimal::fromInteger(integer(field), 0);
}

bool Record::setDecimal(int field, const Decimal& value) {
    const FieldDef& f = def_->fields[field];
    if (f.type == FieldType::Packed)
        return packDecimal(value, bytes_.data() + f.offset, f.size, f.decimals);
    if (f.type == FieldType::Real) {
        setReal(field, std::stod(value.toString()));
        return true;
    }
    if (f.type == FieldType::Text) {
        std::string s = value.toString();
        if (s.size() > static_cast<size_t>(f.size)) return false;
        setText(field, s);
        return true;
    }
    Decimal whole = value.rescale(0);
    return setInteger(field, whole.units());
}

double Record::real(int field) const {
    const FieldDef& f = def_->fields[field];
    if (f.type != FieldType::Real) return static_cast<double>(integer(field));
    return load<double>(bytes_.data() + f.offset);
}

void Record::setReal(int field, double value) {
    const FieldDef& f = def_->fields[field];
    if (f.type == FieldType::Real) store<double>(bytes_.data() + f.offset, value);
}

bool Record::isBlankField(int field) const {
    const FieldDef& f = def_->fields[field];
    switch (f.type) {
    case FieldType::Text:
        return isBlank(text(field));
    case FieldType::Packed:
        return decimal(field).isZero();
    case FieldType::Real:
        return real(field) == 0.0;
    default:
        return integer(field) == 0;
    }
}

std::string Record::display(int field) const {
    const FieldDef& f = def_->fields[field];
    switch (f.type) {
    case FieldType::Text:
        return cp1250ToUtf8(clipRight(text(field)));
    case FieldType::Packed:
        return decimal(field).toString();
    case FieldType::Real: {
        char buf[64];
        auto r = std::to_chars(buf, buf + sizeof buf, real(field));
        return std::string(buf, r.ptr);
    }
    default:
        return std::to_string(integer(field));
    }
}

std::string Record::setFromDisplay(int field, std::string_view utf8) {
    const FieldDef& f = def_->fields[field];
    const std::string name = def_->qualified(field);
    switch (f.type) {
    case FieldType::Text: {
        auto cp = utf8ToCp1250(utf8);
        if (!cp) return name + ": the value has characters that code page 1250 cannot hold";
        std::string_view v = clipRight(*cp);
        if (v.size() > static_cast<size_t>(f.size))
            return name + ": the value is " + std::to_string(v.size()) +
                   " characters long, the field holds " + std::to_string(f.size);
        setText(field, v);
        return {};
    }
    case FieldType::Packed: {
        auto t = trimmed(utf8);
        auto d = t.empty() ? std::optional<Decimal>(Decimal::fromInteger(0, f.decimals))
                           : Decimal::parse(t, f.decimals);
        if (!d) return name + ": \"" + std::string(utf8) + "\" is not a number";
        if (!setDecimal(field, *d))
            return name + ": " + std::string(t) + " does not fit " + std::to_string(f.digits()) +
                   " digits with " + std::to_string(f.decimals) + " decimals";
        return {};
    }
    case FieldType::Real: {
        auto t = trimmed(utf8);
        double v = 0;
        if (!t.empty()) {
            auto r = std::from_chars(t.data(), t.data() + t.size(), v);
            if (r.ec != std::errc() || r.ptr != t.data() + t.size())
                return name + ": \"" + std::string(utf8) + "\" is not a number";
        }
        setReal(field, v);
        return {};
    }
    default: {
        auto t = trimmed(utf8);
        std::int64_t v = 0;
        if (!t.empty()) {
            if (t.front() == '+') t.remove_prefix(1);
            auto r = std::from_chars(t.data(), t.data() + t.size(), v);
            if (r.ec != std::errc() || r.ptr != t.data() + t.size())
                return name + ": \"" + std::string(utf8) + "\" is not a whole number";
        }
        if (!setInteger(field, v))
            return name + ": " + std::string(t) + " is out of the field's range";
        return {};
    }
    }
}

} // namespace mvz
