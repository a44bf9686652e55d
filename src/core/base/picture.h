#pragma once
// Display pictures: how a value is shown in a list, a form, a report or a
// message, and how typed or file text is read back through the same picture.
//
//   @sN          text of N characters, left-aligned, padded or clipped
//   @N...        numbers: N[-][fill]size[grouping][places][B]   ("n" = "N")
//                  "-"   leading minus (a negative number always gets one)
//                  fill  "0" leading zeros; "_" blanks and no grouping
//                  size  the total width, sign and separators included
//                  grouping right after the size: "." or "," as thousands
//                        separator; "_" means no grouping and blank when zero
//                  places ".d" decimal point, "`d" decimal comma,
//                        "vd" d implied decimals with no separator
//                  "B"   blank when zero
//                Without a fill, numbers are grouped by "," (decimal point) or
//                "." (decimal comma); with a fill they are not grouped.
//   @D6[sep]     date as day, month, four-digit year: "D6." gives 08.12.2010
//   @T1, @T4     time of day as 14:05, respectively 14:05:09
//
// Numbers are right-aligned in the width and rounded half away from zero to the
// picture's places. A negative number is shown with a minus directly before its
// digits, or before the leading zeros of a zero-filled picture
// ("N-015v2": -1234.5 gives -00000000123450). When the grouped number does not
// fit the width it is shown without grouping; when even that does not fit, the
// whole width is "#".
//
// Text is handled byte for byte (records hold CP1250, one byte per character).

#include "base/decimal.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mvz {

class Picture {
  public:
    enum class Kind { Text, Number, Date, Time };

    // Accepts the picture with or without its leading "@"; nullopt when it is
    // not a picture of the forms above.
    static std::optional<Picture> parse(std::string_view picture);

    Kind kind() const { return kind_; }
    int width() const { return width_; }
    // Decimal places of a number picture (0 for the other kinds).
    int places() const { return places_; }
    bool blankWhenZero() const { return blankWhenZero_; }
    // '.' or ',' for number pictures.
    char decimalSeparator() const { return decimalSeparator_; }

    // Number pictures format the value; a date picture takes the whole part as a
    // day number and a time picture as a time of day; a text picture shows the
    // value's plain decimal form.
    std::string format(const Decimal& value) const;
    std::string format(long long value) const;
    // A text picture pads or clips the text; the other kinds read the text
    // through the picture and format what they read ("#" when unreadable).
    std::string format(std::string_view text) const;
    // Day number (0 = no date, shown blank) through a date picture.
    std::string formatDate(int32_t day) const;
    // Time of day (centiseconds since midnight + 1; 0 = no time, shown blank).
    std::string formatTime(int32_t time) const;

    // Reads a number as the formatter writes it or a user types it: surrounding
    // blanks, a sign ("+" or "-", blanks may follow it), digits with the
    // picture's decimal separator and correctly placed thousands separators, or
    // for an implied-decimals picture plain digits. A blank text reads as zero.
    // The result has `scale` decimals (rounded half away from zero); nullopt
    // for anything else or a value out of range. A text picture reads a plain
    // decimal with '.' or ','.
    std::optional<Decimal> read(std::string_view text, int scale) const;
    // Reads "d.m.yyyy" (separator ".", "/" or "-", a final "." allowed) or
    // "ddmmyyyy" into a day number; blank reads as 0; nullopt when invalid.
    std::optional<int32_t> readDate(std::string_view text) const;
    // Reads "h:mm" or "h:mm:ss"; blank reads as 0; nullopt when invalid.
    std::optional<int32_t> readTime(std::string_view text) const;

  private:
    Picture() = default;

    std::string formatNumber(const Decimal& value) const;
    std::optional<std::string> layoutNumber(const Decimal& value, char grouping) const;

    Kind kind_ = Kind::Text;
    int width_ = 0;
    int places_ = 0;
    bool zeroFill_ = false;
    bool impliedDecimals_ = false;
    bool blankWhenZero_ = false;
    char decimalSeparator_ = '.';
    char grouping_ = 0; // 0: no grouping
    char dateSeparator_ = '/';
};

} // namespace mvz
