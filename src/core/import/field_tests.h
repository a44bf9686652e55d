#pragma once
// The tests the formal control applies to single fields of a submission
// record, and how it reads their values. Fields are CP1250 views into the
// record, exactly as wide as the layout says.

#include <cstdint>
#include <string_view>

#include "base/decimal.h"

namespace mvz {

// All blanks, or twelve zeros (the reserved REZ1 fields).
bool blankOrZeros(std::string_view field);

// Passes the numeric test and is at least `length` characters long without
// its trailing blanks.
bool numericOfLength(std::string_view field, std::size_t length);

// A whole number with optional surrounding blanks and sign; 0 for anything
// else (a part of a date or period that is not a number counts as 0).
int wholeNumber(std::string_view text);

// The value of a field that passed the numeric test ("00003", "1e2"); 0 when
// it does not read as a number.
double numericValue(std::string_view field);

// An amount field (sign and 14 digits with two implied decimals) read through
// the picture "N-015v2": always 2 decimals, 0 when it does not read.
Decimal readAmount(std::string_view field);

// The day number of a DDMMYYYY field formed as calendar dates are formed in
// calculations: each part a whole number, a day beyond the end of its month
// carrying into the next month (day 0 is the last day of the month before),
// a month beyond 12 into the next year (month 0 is December of the year
// before). 0 when the result lies outside the calendar.
std::int32_t carriedDate(std::string_view ddmmyyyy);

// A sending or forming date the control accepts: from 1 January 2005 to
// `today` inclusive.
bool dateInRange(std::string_view ddmmyyyy, std::int32_t today);

} // namespace mvz
