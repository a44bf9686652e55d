#pragma once
// Where the files of a submission are handed on, and what a failed
// collective run leaves: the copy target the copy window proposes, and the
// words that tell the user that the collective file on disk is the earlier
// one, so that nobody hands in an old file taking it for the new.

#include <string>

namespace mvz {

class Tables;

// The MZ0 folder (the first line of TBIZLFOLDER.TXT, used as it stands) +
// "ZOVAK.MZ0": where the copy window proposes to copy a formed file (UTF-8).
std::string mz0CopyTarget(Tables& tables);

// The collective file: the output folder (APL:IZLAZDIR, or the data
// directory when it is blank) + "ZOVAK.MZ0" (UTF-8).
std::string collectiveFilePath(Tables& tables);

// After a collective run that failed, about the collective file `file`:
// "Prethodna zbirna datoteka FILE od DD.MM.YYYY. ostala je nepromijenjena."
// with the sending date of its first record (left out when it cannot be
// read); "" when there is no such file.
std::string previousCollectiveText(const std::string& file);

} // namespace mvz
