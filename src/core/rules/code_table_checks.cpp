#include "rules/code_table_checks.h"

#include "base/fixed_text.h"
#include "data/record.h"
#include "data/storage_error.h"
#include "data/table_access.h"

namespace mvz {

namespace {

CodeTableCheck refuse(std::string message, CodeTableField focus) {
    return {std::move(message), focus, false};
}

enum class Lookup { Found, NotFound, Failed };

// Looks the buffer's value up by `key`.
Lookup lookUp(TableAccess& types, int key) {
    if (types.fetch(key) == result::Ok) return Lookup::Found;
    if (types.lastError().code == err::RecordNotFound) return Lookup::NotFound;
    return Lookup::Failed;
}

} // namespace

CodeTableCheck checkCalculationTypeCode(std::string_view code) {
    if (clipRight(code).size() < 2)
        return refuse("Greška. Šifra mora sadržavati 2 (dva) znaka", CodeTableField::Code);
    return {};
}

CodeTableCheck checkCodeFilled(std::string_view code) {
    if (clipRight(code).empty())
        return refuse("Greška. Šifra mora biti upisana", CodeTableField::Code);
    return {};
}

CodeTableCheck checkNewCalculationType(TableAccess& types, const Record& row) {
    const TableDef& def = types.def();
    const int codeField = def.fieldIndex("SIFRA");
    const int descriptionField = def.fieldIndex("OPIS");
    const std::string code(row.text(codeField));
    const std::string description(row.text(descriptionField));

    CodeTableCheck outcome = checkCalculationTypeCode(code);
    if (!outcome.proceed) return outcome;

    types.savePosition();
    Record& buffer = types.record();
    buffer.clear();
    buffer.setText(codeField, code);
    Lookup found = lookUp(types, def.keyIndex("KEYSIFRA"));
    if (found == Lookup::Found) {
        outcome = refuse("Greška. Dupla šifra", CodeTableField::Code);
    } else if (found == Lookup::NotFound) {
        buffer.clear();
        buffer.setText(descriptionField, description);
        found = lookUp(types, def.keyIndex("KEYNAZIV"));
        if (found == Lookup::Found)
            outcome = refuse("Greška. Dupli naziv pojma", CodeTableField::Description);
    }
    if (found == Lookup::Failed) outcome = {"", CodeTableField::None, false};
    types.restorePosition();
    return outcome;
}

} // namespace mvz
