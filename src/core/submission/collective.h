#pragma once
// Collective sending ("&Odredi zbirni HASH"): the payer files on the
// collective list (TBTMPDAT) are merged into one file with a single type-0
// and a single type-9 record, ZOVAK.MZ0 in the output folder, and its digest
// becomes the control mark of every merged form.
//
// A listed file that is missing or cannot be read contributes nothing, is
// named in a message and fails the run; an empty list changes no file. The
// listed files are read through the work copy TBZOVAK1.TXT, which the run
// holds until the last line is merged. The collective file changes with the
// control marks of the merged forms (FileSwap: written under a name of its
// own, put in place with the old one kept and a note of the change, then the
// marks committed), so a failed, stopped or killed run never leaves a
// collective file and marks that disagree.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/decimal.h"

namespace mvz {

class Tables;

// One form as merged, for the reconciliation of the collective file.
struct MergedForm {
    std::string listedAs;  // TBT:IDENTIFIKATOR of the list row it came from
    std::string payerId;   // MV3IBOO
    std::string payerName; // MV3NAOB (UTF-8)
    long long persons = 0; // MV3BROS
    long long rows = 0;    // its type-5 records
    std::array<Decimal, 5> totals{};
    std::vector<std::string> insured; // MV5IBOO of its rows
};

struct CollectiveResult {
    bool done = false;
    std::string file;        // the collective file (output folder + "ZOVAK.MZ0")
    std::string controlMark; // grouped
    long long files = 0;
    long long forms = 0;
    std::vector<MergedForm> merged;
};

// sendingDate: the forming window's sending date (a day number).
CollectiveResult CollectiveHash(Tables& tables, std::int32_t sendingDate);

} // namespace mvz
