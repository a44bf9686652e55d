#include "rules/municipality.h"

#include "base/fixed_text.h"
#include "base/numeric.h"

namespace mvz {

namespace {

bool fourDigits(std::string_view s) {
    if (s.size() != 4) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

} // namespace

bool CheckMunicipalityCode(std::string_view code4) {
    const std::string_view code = clipRight(code4);
    if (!fourDigits(code)) return false;
    const int sum = digitValue(code[0]) * 4 + digitValue(code[1]) * 3 + digitValue(code[2]) * 2;
    const int r = sum % 11;
    if (r == 0) return false;
    const int control = r == 1 ? 0 : 11 - r;
    return digitValue(code[3]) == control;
}

std::optional<MunicipalityCodeError> checkMunicipalityCodeField(std::string_view code) {
    const std::string_view value = clipRight(code);
    if (value.size() < 4)
        return MunicipalityCodeError{"Greška. Šifra općine/grada ima 4 znaka", false};
    // A sign, a decimal point, an exponent or a blank is not a digit of the code.
    if (!fourDigits(value)) return MunicipalityCodeError{"Pogrešna šifre općine/grada", true};
    if (value != "0000" && !CheckMunicipalityCode(value))
        return MunicipalityCodeError{"Pogrešan šifra općine/grada", true};
    return std::nullopt;
}

} // namespace mvz
