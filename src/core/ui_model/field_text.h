#pragma once
// A record field as text shown through a display picture (lists, forms,
// lookup lists) and read back from what a user typed through the same picture.

#include <optional>
#include <string>
#include <string_view>

#include "base/picture.h"

namespace mvz {

class Record;

// The field's value (UTF-8) through the picture; without one as
// Record::display shows it. Text pictures pad or clip; trailing blanks are
// kept so that columns line up.
std::string formatField(const Record& record, int field, const std::optional<Picture>& picture);

// Sets the field from typed text (UTF-8) read through the picture. Returns an
// empty string on success, otherwise why the value was refused (the field is
// then unchanged).
std::string readField(Record& record, int field, const std::optional<Picture>& picture,
                      std::string_view utf8);

} // namespace mvz
