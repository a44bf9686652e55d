#include "submission/form_files.h"

#include <cstdio>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "data/table_access.h"
#include "data/tables.h"
#include "submission/output_files.h"

namespace mvz {

namespace {

// A field of the first record of a table, UTF-8 without trailing blanks.
std::string firstRecordField(Tables& tables, const char* table, const char* field) {
    TableAccess& t = tables.access(table);
    if (t.open(true) != result::Ok) return {};
    std::string value;
    if (!t.isText()) t.setOrder(t.def().primaryKey());
    t.setStart();
    if (t.next() == result::Ok)
        value = cp1250ToUtf8(clipRight(t.record().text(t.def().fieldIndex(field))));
    t.close();
    return value;
}

std::string outputFolder(Tables& tables) {
    std::string folder = firstRecordField(tables, "APL", "IZLAZDIR");
    return folder.empty() ? tables.storage().dataDir() + "/" : folder;
}

} // namespace

FormFiles formFiles(Tables& tables, int payer, int sequence) {
    char name[32];
    std::snprintf(name, sizeof name, "F%03d%04d.TXT", payer, sequence);
    return {outputFolder(tables) + name, mz0CopyTarget(tables)};
}

} // namespace mvz
