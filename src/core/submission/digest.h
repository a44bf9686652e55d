#pragma once
// The digest of a submission file ("HASH broj"): SHA-1 over the file's bytes
// as 40 upper-case hexadecimal digits. Shown and stored as the control mark:
// four groups of ten joined by "-".

#include <string>
#include <string_view>

namespace mvz {

// The digest of the file, or "" when the file cannot be read; *error then
// holds the system's reason (when given). The file is read in large blocks.
std::string doSHAOnFile(const std::string& path, std::string* error = nullptr);

// "XXXXXXXXXX-XXXXXXXXXX-XXXXXXXXXX-XXXXXXXXXX" from 40 digits; "" for a
// text that is not 40 hexadecimal digits.
std::string groupedMark(std::string_view digest40);

// True when a text is a control mark: 40 hexadecimal digits, bare or in the
// grouped form, surrounding blanks ignored, either case.
bool isControlMark(std::string_view mark);

// True when a printed control mark (bare or grouped, either case) names the
// digest.
bool markMatches(std::string_view mark, std::string_view digest40);

} // namespace mvz
