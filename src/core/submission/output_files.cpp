#include "submission/output_files.h"

#include <fstream>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "data/tables.h"

namespace mvz {

std::string mz0CopyTarget(Tables& tables) {
    TableAccess& folders = tables.access("IZLF");
    std::string mz0;
    if (folders.open() == result::Ok) {
        folders.setStart();
        if (folders.next() == result::Ok)
            mz0 = cp1250ToUtf8(clipRight(folders.record().text(folders.def().fieldIndex("REDAK"))));
        folders.close();
    }
    return mz0 + "ZOVAK.MZ0";
}

std::string collectiveFilePath(Tables& tables) {
    TableAccess& apl = tables.access("APL");
    std::string output;
    if (apl.open() == result::Ok) {
        apl.setOrder(0);
        apl.setStart();
        if (apl.next() == result::Ok)
            output = cp1250ToUtf8(clipRight(apl.record().text(apl.def().fieldIndex("IZLAZDIR"))));
        apl.close();
    }
    if (output.empty()) output = tables.storage().dataDir() + "/";
    return output + "ZOVAK.MZ0";
}

std::string previousCollectiveText(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (file.empty() || !in) return {};
    // The sending date of the type-0 record: DDMMYYYY at position 216.
    std::string first;
    std::getline(in, first);
    std::string date;
    if (first.size() >= 250 && first[249] == '0') {
        const std::string d = first.substr(215, 8);
        bool digits = true;
        for (char c : d)
            digits = digits && c >= '0' && c <= '9';
        if (digits)
            date = " od " + d.substr(0, 2) + "." + d.substr(2, 2) + "." + d.substr(4, 4) + ".";
    }
    return "Prethodna zbirna datoteka " + file + date + " ostala je nepromijenjena.";
}

} // namespace mvz
