#include "base/decimal.h"

#include <limits>
#include <stdexcept>

namespace mvz {
namespace {

using Wide = __int128;

constexpr int64_t kMaxUnits = std::numeric_limits<int64_t>::max();

Wide pow10(int n) {
    Wide r = 1;
    for (int i = 0; i < n; ++i)
        r *= 10;
    return r;
}

void checkScale(int scale) {
    if (scale < 0 || scale > Decimal::kMaxScale)
        throw std::invalid_argument("decimal scale out of range: " + std::to_string(scale));
}

bool fits(Wide v) {
    return v <= kMaxUnits && v >= -kMaxUnits;
}

int64_t narrow(Wide v) {
    if (!fits(v)) throw std::overflow_error("decimal value out of range");
    return static_cast<int64_t>(v);
}

// num / den rounded half away from zero; den != 0.
Wide roundedDiv(Wide num, Wide den) {
    Wide q = num / den;
    Wide r = num % den;
    if (r < 0) r = -r;
    Wide d = den < 0 ? -den : den;
    if (2 * r >= d) q += ((num < 0) != (den < 0)) ? -1 : 1;
    return q;
}

// Units of d at a larger-or-equal scale, exact.
Wide widenTo(const Decimal& d, int scale) {
    return Wide(d.units()) * pow10(scale - d.scale());
}

} // namespace

Decimal Decimal::fromUnits(int64_t units, int scale) {
    checkScale(scale);
    if (units == std::numeric_limits<int64_t>::min())
        throw std::overflow_error("decimal value out of range");
    return Decimal(units, scale);
}

Decimal Decimal::fromInteger(int64_t value, int scale) {
    checkScale(scale);
    return Decimal(narrow(Wide(value) * pow10(scale)), scale);
}

Decimal Decimal::operator-() const {
    return Decimal(-units_, scale_);
}

Decimal Decimal::rescale(int scale) const {
    checkScale(scale);
    if (scale >= scale_) return Decimal(narrow(widenTo(*this, scale)), scale);
    return Decimal(narrow(roundedDiv(units_, pow10(scale_ - scale))), scale);
}

std::optional<Decimal> Decimal::parse(std::string_view text, int scale) {
    checkScale(scale);
    size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    while (n > i && text[n - 1] == ' ')
        --n;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    Wide units = 0;
    int digits = 0;
    int decimals = -1; // -1 before the separator
    bool roundUp = false;
    for (; i < n; ++i) {
        char c = text[i];
        if (c == '.' || c == ',') {
            if (decimals >= 0) return std::nullopt;
            decimals = 0;
            continue;
        }
        if (c < '0' || c > '9') return std::nullopt;
        ++digits;
        if (decimals > scale) continue; // beyond the first dropped decimal
        if (decimals == scale) {
            // The first dropped decimal alone decides rounding half away from zero.
            roundUp = c >= '5';
            decimals = scale + 1;
            continue;
        }
        if (decimals >= 0) ++decimals;
        units = units * 10 + (c - '0');
        if (units > kMaxUnits) return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    int held = decimals < 0 ? 0 : (decimals > scale ? scale : decimals);
    units *= pow10(scale - held);
    if (roundUp) units += 1;
    if (units > kMaxUnits) return std::nullopt;
    return Decimal(static_cast<int64_t>(negative ? -units : units), scale);
}

std::string Decimal::toString() const {
    uint64_t magnitude = units_ < 0 ? uint64_t(-units_) : uint64_t(units_);
    auto div = static_cast<uint64_t>(pow10(scale_));
    std::string out = units_ < 0 ? "-" : "";
    out += std::to_string(magnitude / div);
    if (scale_ > 0) {
        std::string frac = std::to_string(magnitude % div);
        out += '.';
        out.append(static_cast<size_t>(scale_) - frac.size(), '0');
        out += frac;
    }
    return out;
}

Decimal operator+(const Decimal& a, const Decimal& b) {
    int s = a.scale_ > b.scale_ ? a.scale_ : b.scale_;
    return Decimal(narrow(widenTo(a, s) + widenTo(b, s)), s);
}

Decimal operator-(const Decimal& a, const Decimal& b) {
    int s = a.scale_ > b.scale_ ? a.scale_ : b.scale_;
    return Decimal(narrow(widenTo(a, s) - widenTo(b, s)), s);
}

bool operator==(const Decimal& a, const Decimal& b) {
    return (a <=> b) == 0;
}

std::strong_ordering operator<=>(const Decimal& a, const Decimal& b) {
    int s = a.scale_ > b.scale_ ? a.scale_ : b.scale_;
    Wide x = widenTo(a, s), y = widenTo(b, s);
    return x < y ? std::strong_ordering::less
                 : (x > y ? std::strong_ordering::greater : std::strong_ordering::equal);
}

Decimal mul(const Decimal& a, const Decimal& b, int scale) {
    checkScale(scale);
    Wide product = Wide(a.units()) * Wide(b.units()); // scale a.scale + b.scale
    int from = a.scale() + b.scale();
    if (scale >= from) {
        Wide factor = pow10(scale - from);
        Wide limit = Wide(kMaxUnits) / factor;
        if (product > limit || product < -limit)
            throw std::overflow_error("decimal value out of range");
        return Decimal::fromUnits(narrow(product * factor), scale);
    }
    return Decimal::fromUnits(narrow(roundedDiv(product, pow10(from - scale))), scale);
}

Decimal div(const Decimal& a, const Decimal& b, int scale) {
    checkScale(scale);
    if (b.isZero()) throw std::domain_error("decimal division by zero");
    // a/b = (ua * 10^(scale + sb - sa)) / ub, in units of 10^-scale.
    int shift = scale + b.scale() - a.scale();
    Wide num = a.units();
    Wide den = b.units();
    if (shift >= 0)
        num *= pow10(shift); // at most 2^63 * 10^18: fits 128 bits
    else
        den *= pow10(-shift);
    return Decimal::fromUnits(narrow(roundedDiv(num, den)), scale);
}

bool packDecimal(const Decimal& value, char* dst, int bytes, int decimals) {
    if (bytes < 1 || bytes > 10)
        throw std::invalid_argument("packed decimal size out of range: " + std::to_string(bytes));
    Decimal v;
    try {
        v = value.rescale(decimals);
    } catch (const std::overflow_error&) {
        return false;
    }
    const int digits = 2 * bytes - 1;
    Wide magnitude = v.units() < 0 ? -Wide(v.units()) : Wide(v.units());
    if (magnitude >= pow10(digits)) return false;

    unsigned char out[10] = {};
    out[bytes - 1] = v.units() < 0 ? 0x0D : 0x0C;
    // The magnitude fits 64 bits (it came from 64-bit units), and 64-bit
    // division is far cheaper than 128-bit division.
    auto rest = static_cast<std::uint64_t>(magnitude);
    for (int k = digits - 1; k >= 0; --k) { // nibble k, from the right
        auto digit = static_cast<unsigned char>(rest % 10);
        rest /= 10;
        if (k % 2 == 0)
            out[k / 2] |= static_cast<unsigned char>(digit << 4);
        else
            out[k / 2] |= digit;
    }
    for (int i = 0; i < bytes; ++i)
        dst[i] = static_cast<char>(out[i]);
    return true;
}

std::optional<Decimal> tryUnpackDecimal(const char* src, int bytes, int decimals) {
    if (bytes < 1 || bytes > 10)
        throw std::invalid_argument("packed decimal size out of range: " + std::to_string(bytes));
    checkScale(decimals);
    const auto* s = reinterpret_cast<const unsigned char*>(src);
    const int digits = 2 * bytes - 1;
    Wide magnitude = 0;
    for (int k = 0; k < digits; ++k) {
        unsigned nibble = (k % 2 == 0) ? (s[k / 2] >> 4) : (s[k / 2] & 0x0F);
        if (nibble > 9) return std::nullopt;
        magnitude = magnitude * 10 + nibble;
    }
    if (magnitude > kMaxUnits) return std::nullopt;
    unsigned sign = s[bytes - 1] & 0x0F;
    bool negative = sign == 0x0D || sign == 0x0B;
    return Decimal::fromUnits(static_cast<int64_t>(negative ? -magnitude : magnitude), decimals);
}

Decimal unpackDecimal(const char* src, int bytes, int decimals) {
    auto v = tryUnpackDecimal(src, bytes, decimals);
    if (!v) throw std::invalid_argument("damaged packed decimal field");
    return *v;
}

} // namespace mvz
