#include "rules/employee_defaults.h"

#include "base/decimal.h"
#include "data/record.h"
#include "data/table_access.h"
#include "data/tables.h"

namespace mvz {

namespace {

int field(const Record& r, const char* name) {
    return r.def().fieldIndex(name);
}

} // namespace

CopiedPerson copiedPersonOf(const Record& employee) {
    return {std::string(employee.text(field(employee, "PREZIME"))),
            std::string(employee.text(field(employee, "OPCINA"))),
            std::string(employee.text(field(employee, "OSNOVA3")))};
}

std::string seatMunicipality(Tables& tables) {
    TableAccess& apl = tables.access("APL");
    if (apl.open(true) != result::Ok) return {};
    apl.setOrder(apl.def().primaryKey());
    apl.setStart();
    std::string seat;
    if (apl.next() == result::Ok)
        seat = std::string(apl.record().text(field(apl.record(), "SIFSJED")));
    apl.close();
    return seat;
}

void primeNewEmployee(Record& row, const Record& employer, const std::optional<CopiedPerson>& copy,
                      const std::string& seat) {
    row.setInteger(field(row, "REDBROJ"), employer.integer(field(employer, "REDBROJ")));
    row.setText(field(row, "VRSOBV"), employer.text(field(employer, "VRSTOBVEZNIKA")));
    if (!copy) {
        row.setText(field(row, "OPCINA"), seat);
        return;
    }
    row.setText(field(row, "PREZIME"), copy->surnameAndName);
    row.setText(field(row, "OPCINA"), copy->municipality);
    row.setText(field(row, "OSNOVA3"), copy->extendedMark);
    for (const char* name : {"ODDANA", "DODANA"})
        row.setInteger(field(row, name), 0);
    for (const char* name : {"IZNOS10", "IZNOS11"})
        row.setDecimal(field(row, name), Decimal());
}

} // namespace mvz
