#pragma once
// The transcript of the last formal control ("Prijepis u txt file"): the
// findings of TBIZLAZ1, in key order, written to the line file TBIZLAZ2.TXT
// (table ULZ11) in the working folder. Each line is 89 characters:
//
//   1-5    line number of the finding, right-aligned (picture "n5")
//   6      blank
//   7-16   field code
//   17     blank
//   18     kind, "F" or "U"
//   19     blank
//   20-89  characters 1-70 of the message
//
// When characters 71-140 of the message are not blank, a second line follows
// with number, code and kind blank and those characters as its text.
//
// The lines are written at their full 89 characters (trailing blanks kept),
// so the file is a fixed-width listing whatever the message length.

#include <string>
#include <string_view>
#include <vector>

namespace mvz {

class Reporter;
class Tables;

// Characters of one transcript line.
inline constexpr std::size_t kTranscriptLineLength = 89;

// The transcript lines of one finding (one or two, CP1250, each exactly 89
// characters). `field` and `message` are CP1250 as TBIZLAZ1 holds them.
std::vector<std::string> transcriptLines(long line, std::string_view field, char kind,
                                         std::string_view message);

// Writes TBIZLAZ2.TXT from TBIZLAZ1: the working folder is taken from the
// application parameters (APL:RADDIR; the data directory when blank), the
// file is opened alone and emptied, one or two lines per finding are added
// while progress is reported, and at the end the message "Formiran je izlazni
// file pod imenom TBIZLAZ2.TXT " followed by the folder is shown. Returns
// false, after showing why, when the file could not be opened, emptied or
// written or the findings could not be read.
bool writeTranscript(Tables& tables, Reporter& reporter);

} // namespace mvz
