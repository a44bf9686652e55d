#include "print/employer_list.h"

#include "data/tables.h"
#include "print/list_pages.h"
#include "print/table_list_run.h"
#include "ui_model/field_text.h"

namespace mvz {

namespace {

std::string text(const Record& r, const char* field) {
    return r.display(r.def().fieldIndex(field));
}

} // namespace

std::string employerIdentifier(const Record& r) {
    const std::string personal = text(r, "JMBG");
    if (personal.find_first_not_of(' ') != std::string::npos) return personal;
    return text(r, "MB01") + " " + text(r, "MB02");
}

ReportResult printEmployers(Tables& tables, const std::string& stamp, Reporter& reporter) {
    TableAccess& employers = tables.access("POS");
    const TableDef& def = employers.def();
    const std::optional<Picture> number = Picture::parse("N3_");
    ListPages pages("POPIS POSLODAVACA",
                    {{"Rbr", 170, 90, TextAlign::Right},
                     {"OIB/MBG/MBS", 300, 300, TextAlign::Left},
                     {"Naziv poslodavca", 620, 1330, TextAlign::Left}},
                    stamp);
    return runTableList(employers, def.keyIndex("KEYREDBROJ"), pages, reporter,
                        [&](const Record& r) {
                            pages.addRow({formatField(r, def.fieldIndex("REDBROJ"), number),
                                          employerIdentifier(r), text(r, "NAZIV")});
                            // The rest of what the employer is known by, below the name.
                            std::string more;
                            for (const char* field : {"ADRESA", "TELEFON", "EMAIL", "KONTAKT"}) {
                                const std::string value = text(r, field);
                                if (value.find_first_not_of(' ') == std::string::npos) continue;
                                if (!more.empty()) more += ", ";
                                more += value;
                            }
                            if (!more.empty()) pages.addRow({"", "", more});
                        });
}

} // namespace mvz
