#include "rules/identifier.h"

#include "base/fixed_text.h"
#include "base/numeric.h"

namespace mvz {

namespace {

constexpr size_t kIdWidth = 13;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Every character is one of 0-9 (and there is at least one).
bool allDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!isDigit(c)) return false;
    return true;
}

// Digits only, possibly followed by blanks: the numeric test without leading
// blanks, sign, decimal point or exponent.
bool digitsThenBlanks(std::string_view s) {
    return allDigits(clipRight(s));
}

// The identifier as the 13-character field; `fits` is false when the text has
// more than 13 characters that are not all trailing blanks.
struct Field {
    std::string text;
    bool fits = true;
};

Field asField(std::string_view id) {
    Field f;
    f.fits = id.size() <= kIdWidth || isBlank(id.substr(kIdWidth));
    f.text = fixed(id, kIdWidth);
    return f;
}

std::string_view chars(const std::string& field, size_t from, size_t to) {
    return std::string_view(field).substr(from - 1, to - from + 1);
}

bool blankStart(const std::string& field) {
    return field[0] == ' ' && field[1] == ' ';
}

bool isMbroj(const std::string& field) {
    return chars(field, 1, 5) == "MBROJ";
}

// Day "00" in characters 1-2 or month "00" in characters 3-4.
bool zeroDayOrMonth(const std::string& field) {
    return chars(field, 1, 2) == "00" || chars(field, 3, 4) == "00";
}

IdentifierKind kindAfterOib(const std::string& field) {
    if (isMbroj(field)) return IdentifierKind::Mbroj;
    if (field[0] == 'J') return IdentifierKind::J;
    return IdentifierKind::Jmbg;
}

} // namespace

IdentifierKind identifierKind(std::string_view id) {
    const std::string field = fixed(id, kIdWidth);
    if (blankStart(field)) return IdentifierKind::Oib;
    return kindAfterOib(field);
}

IdentifierKind strictIdentifierKind(std::string_view id) {
    const std::string field = fixed(id, kIdWidth);
    if (blankStart(field) || trim(field).size() == 11) return IdentifierKind::Oib;
    return kindAfterOib(field);
}

std::string_view identifierKindName(IdentifierKind kind) {
    switch (kind) {
    case IdentifierKind::Oib:
        return "OIB";
    case IdentifierKind::Mbroj:
        return "MBROJ";
    case IdentifierKind::J:
        return "J";
    case IdentifierKind::Jmbg:
        return "JMBG";
    }
    return "";
}

bool CheckJMBG(std::string_view jmbg) {
    static constexpr int kWeights[12] = {7, 6, 5, 4, 3, 2, 7, 6, 5, 4, 3, 2};
    const std::string v = fixed(jmbg, 13);
    int sum = 0;
    for (size_t i = 0; i < 12; ++i)
        sum += digitValue(v[i]) * kWeights[i];
    const int r = sum % 11;
    if (r == 1) return false;
    const int control = r == 0 ? 0 : 11 - r;
    return digitValue(v[12]) == control;
}

bool CheckOIB(std::string_view oib) {
    const std::string_view v = clipRight(clipLeft(oib));
    if (v.size() != 11 || !isNumeric(v)) return false;
    int a = 10;
    for (size_t i = 0; i < 10; ++i) {
        int s = (digitValue(v[i]) + a) % 10;
        if (s == 0) s = 10;
        a = (2 * s) % 11;
    }
    int control = 11 - a;
    if (control == 10) control = 0;
    return digitValue(v[10]) == control;
}

bool CheckMB(std::string_view mb) {
    static constexpr int kWeights[7] = {8, 7, 6, 5, 4, 3, 2};
    const std::string v = fixed(mb, 8);
    int sum = 0;
    for (size_t i = 0; i < 7; ++i)
        sum += digitValue(v[i]) * kWeights[i];
    const int r = sum % 11;
    if (r == 0) return false;
    const int control = r == 1 ? 0 : 11 - r;
    return digitValue(v[7]) == control;
}

IdentifierResult CheckIdentifier(std::string_view id) {
    const Field f = asField(id);
    const std::string& field = f.text;
    if (!f.fits) return {false, std::string(id)};
    IdentifierResult result{false, field};

    const std::string_view value = trim(field);
    if (blankStart(field) || value.size() == 11) {
        // An OIB, typed right-aligned or from any other position.
        if (allDigits(value) && CheckOIB(value)) {
            result.valid = true;
            result.stored = "  " + std::string(value);
        }
        return result;
    }
    if (isMbroj(field)) {
        const std::string_view mb = chars(field, 6, 13);
        result.valid = allDigits(mb) && CheckMB(mb);
        return result;
    }
    if (field[0] == 'J') {
        // Characters 2-9 are the business number; 10-13 hold digits or blanks.
        const std::string_view mb = chars(field, 2, 9);
        result.valid = allDigits(mb) && digitsThenBlanks(chars(field, 2, 13)) && CheckMB(mb);
        return result;
    }
    result.valid = allDigits(field) && !zeroDayOrMonth(field) && CheckJMBG(field);
    return result;
}

bool CheckIdentifierLoose(std::string_view id) {
    const Field f = asField(id);
    if (!f.fits) return false;
    const std::string& field = f.text;
    if (blankStart(field)) return CheckOIB(trim(field));
    if (isMbroj(field)) return isNumeric(chars(field, 6, 13));
    if (field[0] == 'J') return isNumeric(chars(field, 2, 13));
    return !zeroDayOrMonth(field) && CheckJMBG(field);
}

bool CheckDayOfMonth(int year, int month, int day) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return false;
    int length = kDays[month - 1];
    if (month == 2 && year % 4 == 0) length = 29;
    return day <= length;
}

} // namespace mvz
