#include "print/municipality_list.h"

#include "base/reporter.h"
#include "data/tables.h"
#include "print/list_pages.h"

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
    ReportResult out;
    TableAccess& opc = tables.access("OPC");
    if (opc.open() != result::Ok) {
        out.status = ReportStatus::Failed;
        return out;
    }
    const TableDef& def = opc.def();
    const int number = def.fieldIndex("REDBROJ");
    const int code = def.fieldIndex("SIFRA");
    const int name = def.fieldIndex("NAZIV");
    const int town = def.fieldIndex("GRAD");
    switch (order) {
    case MunicipalityListOrder::ByNumber:
        opc.setOrder(def.keyIndex("KEYREDB"));
        break;
    case MunicipalityListOrder::Stored:
        opc.setOrder(-1);
        break;
    case MunicipalityListOrder::ByName:
        opc.setOrder(def.keyIndex("KEYNAZIV"));
        break;
    }
    const std::int64_t total = opc.count();
    ListPages pages("ŠIFARNIK - OPĆINE I GRADOVI", columns(), stamp);
    while (opc.next() == result::Ok) {
        if (reporter.cancelRequested()) {
            out.status = ReportStatus::Cancelled;
            opc.close();
            return out;
        }
        const Record& rec = opc.record();
        pages.addRow(
            {rec.display(number), rec.display(code), rec.display(name), rec.display(town)});
        ++out.records;
        reporter.progress(static_cast<std::uint64_t>(out.records),
                          static_cast<std::uint64_t>(total < out.records ? out.records : total));
    }
    const bool exhausted = opc.atEof();
    opc.close();
    if (!exhausted) {
        out.status = ReportStatus::Failed;
        return out;
    }
    if (out.records == 0) {
        out.status = ReportStatus::NoRecords;
        return out;
    }
    out.pages = pages.finish();
    return out;
}

} // namespace mvz
