#include "data/field_checks.h"

#include <string_view>

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

} // namespace

void installStandardFieldChecks(TableAccess& table) {
    if (!isPageBTable(table.def())) return;
    int field = table.def().fieldIndex("GODOBRA");
    if (field >= 0) table.addFieldCheck(field, checkYear);
}

} // namespace mvz
