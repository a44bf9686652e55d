#include "import/field_tests.h"

#include <climits>
#include <cstdlib>
#include <string>

#include "base/day_number.h"
#include "base/fixed_text.h"
#include "base/numeric.h"
#include "base/picture.h"
#include "submission/record_format.h"

namespace mvz {

bool blankOrZeros(std::string_view field) {
    return isBlank(field) || field == "000000000000";
}

bool numericOfLength(std::string_view field, std::size_t length) {
    return clipRight(field).size() >= length && isNumeric(field);
}

int wholeNumber(std::string_view text) {
    const std::optional<long long> n = parseInteger(text);
    if (!n || *n > INT_MAX || *n < INT_MIN) return 0;
    return static_cast<int>(*n);
}

double numericValue(std::string_view field) {
    const std::string text(trim(field));
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return end == text.c_str() ? 0.0 : value;
}

Decimal readAmount(std::string_view field) {
    // Files formed by payroll programs hold the plain form: the fast way first.
    if (field.size() == 15)
        if (std::optional<Decimal> plain = decodeAmount(field)) return *plain;
    static const Picture picture = *Picture::parse("N-015v2");
    try {
        if (std::optional<Decimal> read = picture.read(field, 2)) return read->rescale(2);
    } catch (const std::exception&) {
        // out of range: no value
    }
    return Decimal::fromInteger(0, 2);
}

std::int32_t carriedDate(std::string_view ddmmyyyy) {
    const long long day = wholeNumber(ddmmyyyy.substr(0, 2));
    const long long month = wholeNumber(ddmmyyyy.substr(2, 2));
    long long year = wholeNumber(ddmmyyyy.substr(4, 4));
    // Months from 0: floor division carries in both directions.
    long long m = month - 1;
    year += m >= 0 ? m / 12 : -((-m + 11) / 12);
    m -= (m >= 0 ? m / 12 : -((-m + 11) / 12)) * 12;
    if (year < kFirstYear || year > kLastYear) return 0;
    const long long first = dayNumber(static_cast<int>(year), static_cast<int>(m + 1), 1);
    const long long result = first + day - 1;
    const long long last = dayNumber(kLastYear, 12, 31);
    if (result < 1 || result > last) return 0;
    return static_cast<std::int32_t>(result);
}

bool dateInRange(std::string_view ddmmyyyy, std::int32_t today) {
    const std::int32_t date = carriedDate(ddmmyyyy);
    return date != 0 && date >= dayNumber(2005, 1, 1) && date <= today;
}

} // namespace mvz
