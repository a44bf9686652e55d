#include "print/rate_list.h"

#include "base/picture.h"
#include "base/reporter.h"
#include "data/tables.h"
#include "print/list_pages.h"
#include "ui_model/field_text.h"

namespace mvz {

ReportResult printRates(Tables& tables, Reporter& reporter) {
    ReportResult out;
    TableAccess& rates = tables.access("STO1");
    if (rates.open() != result::Ok) {
        out.status = ReportStatus::Failed;
        return out;
    }
    const TableDef& def = rates.def();
    rates.setOrder(def.keyIndex("KEYOSNOV"));
    const std::optional<Picture> rate = Picture::parse("N5`2");
    auto shown = [&](const char* field) {
        return formatField(rates.record(), def.fieldIndex(field), rate);
    };
    auto text = [&](const char* field) { return rates.record().display(def.fieldIndex(field)); };
    const std::int64_t total = rates.count();
    ListPages pages("OBRAČUNSKI KEFICIJENTI", {{"VU VO OO B ČLAN", 170, 420, TextAlign::Left},
                                               {"MO I. STUP", 700, 400, TextAlign::Left},
                                               {"MO II. STUP", 1200, 400, TextAlign::Left}});
    while (rates.next() == result::Ok) {
        if (reporter.cancelRequested()) {
            out.status = ReportStatus::Cancelled;
            rates.close();
            return out;
        }
        const std::string codes = text("VRSTOBRACUNA") + " " + text("VRSTAOBVEZNIKA") + " " +
                                  text("OSNOVOBRA") + " " + text("STAZ") + " " + text("CLANDN");
        pages.addRow({codes, shown("PRVISTUP1") + "  " + shown("PRVISTUP2"),
                      shown("DRUGISTUP1") + "  " + shown("DRUGISTUP2")});
        ++out.records;
        reporter.progress(static_cast<std::uint64_t>(out.records),
                          static_cast<std::uint64_t>(std::max<std::int64_t>(total, out.records)));
    }
    const bool exhausted = rates.atEof();
    rates.close();
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
