#pragma once
// One record of a table in its declared fixed layout: CP1250 text padded with
// blanks, little-endian integers, packed decimals, IEEE reals. The buffer a
// TableAccess reads into and writes from.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/decimal.h"
#include "data/dictionary.h"

namespace mvz {

class Record {
  public:
    explicit Record(const TableDef& def);

    const TableDef& def() const { return *def_; }
    char* data() { return bytes_.data(); }
    const char* data() const { return bytes_.data(); }
    std::size_t size() const { return bytes_.size(); }
    std::string_view bytes() const { return {bytes_.data(), bytes_.size()}; }
    void assign(std::string_view bytes); // copies min(size) bytes, blanks/zero the rest

    // Text fields blank, every other field zero, memo empty.
    void clear();
    void clearField(int field);

    // Raw CP1250 text of a text field, with its padding.
    std::string_view text(int field) const;
    void setText(int field, std::string_view cp1250); // clipped or padded to the width

    // Byte, short, long and date fields.
    std::int64_t integer(int field) const;
    // False (field unchanged) when the value does not fit the field.
    bool setInteger(int field, std::int64_t value);

    Decimal decimal(int field) const; // packed fields; a damaged field reads as 0
    bool setDecimal(int field, const Decimal& value);

    double real(int field) const;
    void setReal(int field, double value);

    // True when the field is blank text or a zero number.
    bool isBlankField(int field) const;

    // The field as a user sees it: UTF-8 text without trailing blanks,
    // integers in decimal, amounts with their decimals ("12.50").
    std::string display(int field) const;
    // Sets the field from what a user typed (UTF-8). Returns an empty string on
    // success, otherwise why the value was refused; the field is then unchanged.
    std::string setFromDisplay(int field, std::string_view utf8);

    std::string memo; // the memo field of tables that have one (UTF-8)

    bool operator==(const Record& other) const {
        return bytes_ == other.bytes_ && memo == other.memo;
    }

  private:
    const TableDef* def_;
    std::vector<char> bytes_;
};

} // namespace mvz
