#pragma once
// Sort values of keys: byte strings whose memcmp order is the key order.
// Numbers are order-preserving big-endian; text goes through the Croatian
// collation (C < Č < Ć < D < Dž < Đ, Lj and Nj as letters) after dropping
// trailing blanks, upper-cased first for case-insensitive keys, with the
// identical level so that distinct values stay distinct.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/dictionary.h"

namespace mvz {

class Record;

// Appends the sort value of one component. Text components end with a 0x00
// byte (collation keys never contain one), numbers have a fixed width, so the
// values of several components can simply be concatenated.
void appendTextSortValue(std::string& out, std::string_view cp1250, bool noCase);
void appendIntegerSortValue(std::string& out, std::int64_t value, int bytes);
void appendRealSortValue(std::string& out, double value);

// The key's sort value for the record, or nullopt when the key leaves out
// blank entries and every component is blank.
std::optional<std::string> keySortValue(const TableDef& table, const KeyDef& key,
                                        const Record& record);

// The sort value of the first `components` components only (a prefix of the
// full value, used to range over records that share leading components).
std::string keyPrefixSortValue(const TableDef& table, const KeyDef& key, const Record& record,
                               std::size_t components);

// Reads back the number at the end of a sort value whose last component is
// an integer field of `bytes` bytes.
std::int64_t trailingIntegerOfSortValue(std::string_view value, int bytes);

} // namespace mvz
