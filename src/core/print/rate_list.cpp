#include "print/rate_list.h"

#include "base/picture.h"
#include "base/reporter.h"
#include "data/tables.h"
#include "print/list_pages.h"
#include "print/table_list_run.h"
#include "ui_model/field_text.h"

namespace mvz {

ReportResult printRates(Tables& tables, Reporter& reporter) {
    TableAccess& rates = tables.access("STO1");
    const TableDef& def = rates.def();
    const std::optional<Picture> rate = Picture::parse("N5`2");
    ListPages pages("OBRAČUNSKI KEFICIJENTI", {{"VU VO OO B ČLAN", 170, 420, TextAlign::Left},
                                               {"MO I. STUP", 700, 400, TextAlign::Left},
                                               {"MO II. STUP", 1200, 400, TextAlign::Left}});
    return runTableList(rates, def.keyIndex("KEYOSNOV"), pages, reporter, [&](const Record& rec) {
        auto shown = [&](const char* field) {
            return formatField(rec, def.fieldIndex(field), rate);
        };
        auto text = [&](const char* field) { return rec.display(def.fieldIndex(field)); };
        const std::string codes = text("VRSTOBRACUNA") + " " + text("VRSTAOBVEZNIKA") + " " +
                                  text("OSNOVOBRA") + " " + text("STAZ") + " " + text("CLANDN");
        pages.addRow({codes, shown("PRVISTUP1") + "  " + shown("PRVISTUP2"),
                      shown("DRUGISTUP1") + "  " + shown("DRUGISTUP2")});
    });
}

} // namespace mvz
