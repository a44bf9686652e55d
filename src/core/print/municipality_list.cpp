#include "print/municipality_list.h"

#include "base/reporter.h"
#include "data/tables.h"
#include "print/list_pages.h"
#include "print/table_list_run.h"

namespace mvz {

namespace {

std::vector<ListColumn> columns() {
    return {{"Rbr", 150, 110, TextAlign::Right},
            {"Oznaka", 320, 160, TextAlign::Left},
            {"Naziv općine ili grada", 520, 1050, TextAlign::Left},
            {"Grad", 1650, 200, TextAlign::Center}};
}

} // namespace

ReportResult municipalityList(Tables& tables, MunicipalityListOrder order, const std::string& stamp,
                              Reporter& reporter) {
    TableAccess& opc = tables.access("OPC");
    const TableDef& def = opc.def();
    const int number = def.fieldIndex("REDBROJ");
    const int code = def.fieldIndex("SIFRA");
    const int name = def.fieldIndex("NAZIV");
    const int town = def.fieldIndex("GRAD");
    int key = -1;
    switch (order) {
    case MunicipalityListOrder::ByNumber:
        key = def.keyIndex("KEYREDB");
        break;
    case MunicipalityListOrder::Stored:
        break;
    case MunicipalityListOrder::ByName:
        key = def.keyIndex("KEYNAZIV");
        break;
    }
    ListPages pages("ŠIFARNIK - OPĆINE I GRADOVI", columns(), stamp);
    return runTableList(opc, key, pages, reporter, [&](const Record& rec) {
        pages.addRow(
            {rec.display(number), rec.display(code), rec.display(name), rec.display(town)});
    });
}

} // namespace mvz
