#pragma once
// One line of a payment-data file: 194 characters laid out as the fields of
// TBUPLATE.DAT (prefix OSI1), written by an employer's own payroll program.
//
//   RBOSOB 1-5, MB 6-17 (business number 1-8, unit 9-12), MB2 18-30 (payer
//   identifier), VRSOBV 31-32, VRSTAUPLA 33-34, IDENTIFIKATOR 35-38,
//   GODOBRA 39-42, OBRMJE 43-44, OBRRAZD1 45-46, OBRRAZD2 47-48, JMBG 49-61,
//   PREZIME 62-111, OPCINA 112-115, CLANDN 116, OSNOVA1 117-118, OSNOVA3 119,
//   IZNOS7..IZNOS11 120-194 (15 characters each: IV.7 .. IV.11).
//
// The positions are taken from the OSI1 declaration of the dictionary, so the
// line, the work copy TBUPLATE.DAT and the TBGRESKE copy of a line agree.
//
// Reading values:
// - Year, month and days are numbers: "03", " 3" and "3 " are all 3; a blank
//   field is 0; any other text has no value (std::nullopt), so it never equals
//   a chosen year, month or day.
// - Amounts have a sign position and 14 digits with two implied decimals
//   (picture "N-015v2"). Only "-" in the sign position makes an amount
//   negative; "+", a blank or any other character leaves it positive. Digits
//   that cannot be read (letters, inner blanks) give 0; whether the 14 digits
//   are all present and numeric is a check of its own (amountDigitsComplete).
//
// Texts are CP1250 bytes, as read from the file.

#include "base/decimal.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace mvz {

enum class PaymentField : int {
    RBOSOB,
    MB,
    MB2,
    VRSOBV,
    VRSTAUPLA,
    IDENTIFIKATOR,
    GODOBRA,
    OBRMJE,
    OBRRAZD1,
    OBRRAZD2,
    JMBG,
    PREZIME,
    OPCINA,
    CLANDN,
    OSNOVA1,
    OSNOVA3,
    IZNOS7,
    IZNOS8,
    IZNOS9,
    IZNOS10,
    IZNOS11,
};

inline constexpr int kPaymentFieldCount = 21;
inline constexpr std::size_t kPaymentLineLength = 194;
// The five amounts IV.7 .. IV.11, indexed 0..4.
inline constexpr int kPaymentAmountCount = 5;

struct PaymentFieldSpan {
    int offset = 0; // 0-based position in the line
    int width = 0;
    int start() const { return offset + 1; }   // 1-based first column
    int end() const { return offset + width; } // 1-based last column
};

// Position and width of a field (from the OSI1 declaration).
const PaymentFieldSpan& paymentFieldSpan(PaymentField field);
// The field's name without prefix: "MB2", "IZNOS7".
std::string_view paymentFieldName(PaymentField field);
// The field of amount IV.(7 + index), index 0..4.
inline PaymentField paymentAmountField(int index) {
    return static_cast<PaymentField>(static_cast<int>(PaymentField::IZNOS7) + index);
}

// The picture the amounts are written in.
inline constexpr std::string_view kPaymentAmountPicture = "N-015v2";

// Reads a 15-character amount text (sign position and 14 digits), as above.
Decimal readPaymentAmount(std::string_view text);
// True when characters 2-15 of the amount text are 14 digits.
bool paymentAmountDigitsComplete(std::string_view text);
// A year, month or day field as a number, as above.
std::optional<int> readPaymentNumber(std::string_view text);

class PaymentLine {
  public:
    // The record as a line file gives it; a shorter text is padded with
    // blanks, a longer one cut to 194 characters.
    explicit PaymentLine(std::string_view record = {});
    // Takes the next record in place (no new allocation once the line exists).
    void assign(std::string_view record);

    const std::string& record() const { return record_; }
    // The field's characters, full width.
    std::string_view field(PaymentField field) const;
    // The field without its trailing blanks.
    std::string_view text(PaymentField field) const;

    // Characters 1-8 and 9-12 of MB.
    std::string_view businessNumber() const { return field(PaymentField::MB).substr(0, 8); }
    std::string_view unit() const { return field(PaymentField::MB).substr(8, 4); }

    std::optional<int> year() const { return readPaymentNumber(field(PaymentField::GODOBRA)); }
    std::optional<int> month() const { return readPaymentNumber(field(PaymentField::OBRMJE)); }
    std::optional<int> dayFrom() const { return readPaymentNumber(field(PaymentField::OBRRAZD1)); }
    std::optional<int> dayTo() const { return readPaymentNumber(field(PaymentField::OBRRAZD2)); }

    // Amount IV.(7 + index), index 0..4, with two decimals (read once, when
    // the record is taken).
    const Decimal& amount(int index) const { return amounts_[index]; }
    const std::array<Decimal, kPaymentAmountCount>& amounts() const { return amounts_; }
    bool amountDigitsComplete(int index) const {
        return paymentAmountDigitsComplete(field(paymentAmountField(index)));
    }

  private:
    void readAmounts();

    std::string record_;
    std::array<Decimal, kPaymentAmountCount> amounts_;
};

} // namespace mvz
