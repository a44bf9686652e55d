#pragma once
// The copy of a formed submission file, by default into the MZ0 folder (the
// diskette): the destination is deleted and the source copied to it. A
// failure shows "Greška, file: " + source + " " + destination + " Error=" and
// the system's error text, and leaves no partial copy under the destination
// name. A destination that names the source file itself is left alone: the
// source is neither deleted nor copied, and the user is told.

#include <string>

namespace mvz {

class Reporter;

enum class CopyResult { Copied, SameFile, Failed };

CopyResult copySubmissionFile(const std::string& source, const std::string& destination,
                              Reporter& reporter);

// The text shown when the destination is the source file itself.
std::string sameFileText(const std::string& source);

} // namespace mvz
