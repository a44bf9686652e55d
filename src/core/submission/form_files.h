#pragma once
// Where a form's files go, as the forming window names them before and
// after a run: the payer file in the output folder ("F" + payer number in 3
// digits + sequence number in 4 digits + ".TXT") and the copy target in the
// MZ0 folder ("ZOVAK.MZ0"), which the copy window offers.

#include <string>

namespace mvz {

class Tables;

struct FormFiles {
    std::string payerFile; // UTF-8
    std::string mz0Target; // UTF-8
};

// Reads the output folder (APLPARAM, first record; the data folder when it
// is blank); the copy target is mz0CopyTarget's.
FormFiles formFiles(Tables& tables, int payer, int sequence);

} // namespace mvz
