#pragma once
// Exact fixed-point decimal for amounts and rates: a 64-bit count of units of
// 10^-scale. Never a binary floating point for money.
//
// Rounding is always half away from zero (2.345 -> 2.35, -2.345 -> -2.35).
// Overflow is never silent: an operation whose result does not fit 64-bit units
// throws std::overflow_error. The unit count -2^63 is not used, so negation and
// abs never overflow. A scale outside 0..kMaxScale is a programming error and
// throws std::invalid_argument.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mvz {

class Decimal {
  public:
    static constexpr int kMaxScale = 9;

    // Zero with no decimals.
    constexpr Decimal() = default;

    // units * 10^-scale. Throws std::invalid_argument for a scale outside
    // 0..kMaxScale and std::overflow_error for units == INT64_MIN.
    static Decimal fromUnits(int64_t units, int scale);
    // A whole number held with `scale` decimals (fromInteger(12, 2) is 12.00).
    static Decimal fromInteger(int64_t value, int scale = 0);

    // Reads a decimal number: surrounding blanks, an optional sign, digits with
    // '.' or ',' as decimal separator (at least one digit; "5." and ".5" are
    // numbers). Extra decimals are rounded half away from zero to `scale`.
    // nullopt for anything else (grouping, exponent, inner blanks) and for
    // values that do not fit.
    static std::optional<Decimal> parse(std::string_view text, int scale);

    int64_t units() const { return units_; }
    int scale() const { return scale_; }
    int sign() const { return units_ > 0 ? 1 : (units_ < 0 ? -1 : 0); }
    bool isZero() const { return units_ == 0; }

    Decimal abs() const { return units_ < 0 ? -*this : *this; }
    Decimal operator-() const;

    // The same value with `scale` decimals, rounded half away from zero.
    Decimal rescale(int scale) const;

    // "-12.30": a leading minus when negative, always `scale` decimals, '.'.
    std::string toString() const;

    // Sum and difference are exact, with the larger of the two scales.
    friend Decimal operator+(const Decimal& a, const Decimal& b);
    friend Decimal operator-(const Decimal& a, const Decimal& b);
    Decimal& operator+=(const Decimal& other) { return *this = *this + other; }
    Decimal& operator-=(const Decimal& other) { return *this = *this - other; }

    // Values compare regardless of scale: 1.5 == 1.50.
    friend bool operator==(const Decimal& a, const Decimal& b);
    friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b);

  private:
    constexpr Decimal(int64_t units, int scale) : units_(units), scale_(scale) {}

    int64_t units_ = 0;
    int scale_ = 0;
};

// a * b with `scale` decimals, rounded half away from zero.
Decimal mul(const Decimal& a, const Decimal& b, int scale);
// a / b with `scale` decimals, rounded half away from zero. Throws
// std::domain_error when b is zero.
Decimal div(const Decimal& a, const Decimal& b, int scale);

// Packed decimal (BCD) as stored in records: `bytes` bytes hold 2*bytes-1 digits,
// most significant first, and the sign in the low nibble of the last byte
// (0xC positive, 0xD negative; on reading 0xD and 0xB are negative, any other
// sign nibble positive). The last `decimals` digits are decimals.

// Stores value rounded half away from zero to `decimals`. Returns false, leaving
// dst untouched, when the value does not fit the digits.
bool packDecimal(const Decimal& value, char* dst, int bytes, int decimals);

// nullopt when a digit nibble is above 9 or the value exceeds 64-bit units.
std::optional<Decimal> tryUnpackDecimal(const char* src, int bytes, int decimals);
// As tryUnpackDecimal, but throws std::invalid_argument for a damaged field.
Decimal unpackDecimal(const char* src, int bytes, int decimals);

} // namespace mvz
