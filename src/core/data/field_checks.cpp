#include "data/field_checks.h"

#include <string>
#include <string_view>

#include "base/control_chars.h"
#include "base/fixed_text.h"
#include "base/numeric.h"
#include "data/error_reporter.h"
#include "data/table_access.h"

namespace mvz {

namespace {

constexpr std::string_view kYearCaption = "Obračunska godina";
constexpr std::string_view kYearRange = "2001 and 2100";

bool isPageBTable(const TableDef& def) {
    const std::string& p = def.prefix;
    return p == "OSI" || p == "RAD2" || p == "OSI1" || p == "OSI2" || p == "OSI3" || p == "OSI4";
}

int checkYear(TableAccess& table, int field) {
    const Record& r = table.record();
    long long year = 0;
    if (r.def().fields[field].isText()) {
        // The text tables hold the year as text: its numeric value counts.
        year = parseInteger(trim(r.text(field))).value_or(0);
    } else {
        year = r.integer(field);
    }
    if (year >= 2001 && year <= 2100) return 0;
    table.errors().setField(kYearCaption);
    table.errors().setFile(table.def().fileName);
    table.errors().raise(16, kYearRange);
    return 5;
}

// The tables that keep what an input file holds, as it holds it: the lines
// and findings of a checked file and every line of a payment-data file.
bool recordsInput(const TableDef& def) {
    const std::string& p = def.prefix;
    return p == "ULZ" || p == "ULZ1" || p == "GRE" || p == "OSI4";
}

// A stored text holds no control character: a line break or a tab in a name
// would break the fixed-width records formed from it.
int checkPrintable(TableAccess& table, int field) {
    const std::string_view value = table.record().text(field);
    const std::size_t at = findControlChar(value);
    if (at == std::string_view::npos) return 0;
    MessageBox box;
    box.title = "Field contents error";
    box.icon = MessageIcon::Information;
    box.text = "The value of " + table.def().qualified(field) +
               " must not hold control characters; it holds " +
               controlCharEscape(static_cast<unsigned char>(value[at])) + " at character " +
               std::to_string(at + 1) + ".";
    table.errors().reporter().show(box);
    return 5;
}

} // namespace

void installStandardFieldChecks(TableAccess& table) {
    const TableDef& def = table.def();
    if (def.kind == TableKind::Keyed && !recordsInput(def)) {
        for (int i = 0; i < static_cast<int>(def.fields.size()); ++i)
            if (def.fields[i].isText()) table.addFieldCheck(i, checkPrintable);
    }
    if (!isPageBTable(def)) return;
    int field = def.fieldIndex("GODOBRA");
    if (field >= 0) table.addFieldCheck(field, checkYear);
}

} // namespace mvz
