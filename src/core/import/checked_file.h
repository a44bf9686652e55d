#pragma once
// The checked submission file as the review window uses it outside the
// formal control: its digest for the status line ("Odredi SHA broj"), and
// the work copy TBSLOG3.TXT in the working folder that the page prints read.

#include <functional>
#include <string>
#include <string_view>

namespace mvz {

class Reporter;
class Tables;

// The digest of the file in four groups of ten characters joined by "-",
// also shown on the status line. When the file cannot be read, "Greška kod
// preuzimanja " followed by the path is shown and "" returned.
std::string showFileDigest(const std::string& path, Reporter& reporter);

// Copies the file over TBSLOG3.TXT in the working folder (the table's own
// handle in these tables is closed first). When the copy fails, "Greška kod
// preuzimanja " followed by the path is shown and false returned; the work
// copy is then not to be read.
bool copyForPrinting(Tables& tables, const std::string& path, Reporter& reporter);

// Reads the work copy in file order, each line as a 250-character record
// (CP1250, a short line blank-filled, the rest of a longer one skipped);
// visit returns false to stop. False, after showing why, when the copy
// cannot be opened or read.
bool forEachCopiedLine(Tables& tables, Reporter& reporter,
                       const std::function<bool(std::string_view line)>& visit);

} // namespace mvz
