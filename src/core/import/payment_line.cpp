#include "import/payment_line.h"

#include "base/fixed_text.h"
#include "base/numeric.h"
#include "base/picture.h"
#include "data/dictionary.h"

#include <algorithm>
#include <stdexcept>

namespace mvz {

namespace {

constexpr std::array<std::string_view, kPaymentFieldCount> kNames = {
    "RBOSOB",  "MB",       "MB2",      "VRSOBV", "VRSTAUPLA", "IDENTIFIKATOR", "GODOBRA",
    "OBRMJE",  "OBRRAZD1", "OBRRAZD2", "JMBG",   "PREZIME",   "OPCINA",        "CLANDN",
    "OSNOVA1", "OSNOVA3",  "IZNOS7",   "IZNOS8", "IZNOS9",    "IZNOS10",       "IZNOS11"};

std::array<PaymentFieldSpan, kPaymentFieldCount> loadSpans() {
    const TableDef* def = findTable("OSI1");
    if (!def) throw std::logic_error("payment line: OSI1 is not declared");
    if (def->recordLength != static_cast<int>(kPaymentLineLength))
        throw std::logic_error("payment line: OSI1 is not 194 characters");
    std::array<PaymentFieldSpan, kPaymentFieldCount> spans{};
    for (int i = 0; i < kPaymentFieldCount; ++i) {
        int index = def->fieldIndex(kNames[i]);
        if (index < 0) throw std::logic_error("payment line: OSI1 lacks a field");
        const FieldDef& fd = def->fields[index];
        spans[i] = {fd.offset, fd.size};
    }
    return spans;
}

const std::array<PaymentFieldSpan, kPaymentFieldCount>& spans() {
    static const auto table = loadSpans();
    return table;
}

const Picture& amountPicture() {
    static const Picture picture = *Picture::parse(kPaymentAmountPicture);
    return picture;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

const PaymentFieldSpan& paymentFieldSpan(PaymentField field) {
    return spans()[static_cast<int>(field)];
}

std::string_view paymentFieldName(PaymentField field) {
    return kNames[static_cast<int>(field)];
}

Decimal readPaymentAmount(std::string_view text) {
    if (text.empty()) return Decimal::fromInteger(0, 2);
    const bool negative = text.front() == '-';
    const std::string_view digits = text.substr(1);
    // The common case, 14 plain digits, is read directly.
    int64_t units = 0;
    bool plain = digits.size() >= 14;
    for (std::size_t i = 0; plain && i < 14; ++i) {
        const char c = digits[i];
        if (!isDigit(c)) plain = false;
        units = units * 10 + (c - '0');
    }
    Decimal value = Decimal::fromUnits(plain ? units : 0, 2);
    if (!plain)
        if (auto read = amountPicture().read(digits, 2); read && read->sign() >= 0) value = *read;
    return negative ? -value : value;
}

bool paymentAmountDigitsComplete(std::string_view text) {
    if (text.size() < 15) return false;
    for (char c : text.substr(1, 14))
        if (!isDigit(c)) return false;
    return true;
}

std::optional<int> readPaymentNumber(std::string_view text) {
    if (isBlank(text)) return 0;
    auto value = parseInteger(text);
    if (!value || *value < -32768 || *value > 32767) return std::nullopt;
    return static_cast<int>(*value);
}

PaymentLine::PaymentLine(std::string_view record) : record_(fixed(record, kPaymentLineLength)) {
    readAmounts();
}

void PaymentLine::assign(std::string_view record) {
    const std::size_t n = std::min(record.size(), kPaymentLineLength);
    record_.assign(record.data(), n);
    record_.resize(kPaymentLineLength, ' ');
    readAmounts();
}

void PaymentLine::readAmounts() {
    for (int i = 0; i < kPaymentAmountCount; ++i)
        amounts_[i] = readPaymentAmount(field(paymentAmountField(i)));
}

std::string_view PaymentLine::field(PaymentField field) const {
    const PaymentFieldSpan& span = paymentFieldSpan(field);
    return std::string_view(record_).substr(span.offset, span.width);
}

std::string_view PaymentLine::text(PaymentField f) const {
    return clipRight(field(f));
}

} // namespace mvz
