#include "print/control_table_list.h"

#include "base/reporter.h"
#include "data/error_reporter.h"
#include "data/tables.h"
#include "print/list_pages.h"
#include "print/table_list_run.h"

namespace mvz {

namespace {

// A field at its full stored width, trailing blanks kept (CP1250 -> UTF-8).
std::string stored(const Record& r, const char* field) {
    const int f = r.def().fieldIndex(field);
    std::string value = r.display(f);
    const std::size_t width = static_cast<std::size_t>(r.def().fields[f].size);
    // Codes are ASCII: one byte a character.
    if (value.size() < width) value.append(width - value.size(), ' ');
    return value;
}

constexpr const char* kExportFields[] = {"VOB",    "VOI",    "OO",      "OBRMJE", "GODINA",
                                         "DANOD",  "DANDO",  "PLAGOD",  "PLAMJE", "IZNOS7",
                                         "IZNOS8", "IZNOS9", "IZNOS10", "IZNOS11"};

void sayTextFile(Reporter& reporter, const std::string& step, const TableAccess& text) {
    MessageBox box;
    box.text = step + text.lastError().text;
    box.icon = MessageIcon::Exclamation;
    reporter.show(box);
}

} // namespace

std::string controlTableLine(const Record& r) {
    std::string line = stored(r, "OO");
    line += "    " + stored(r, "OBRMJE") + " " + stored(r, "GODINA");
    line += "    " + stored(r, "DANOD") + " " + stored(r, "DANDO");
    line += "    " + stored(r, "PLAGOD") + " " + stored(r, "PLAMJE");
    line += "    " + stored(r, "IZNOS7") + " " + stored(r, "IZNOS8") + " " + stored(r, "IZNOS9") +
            " " + stored(r, "IZNOS10") + " " + stored(r, "IZNOS11");
    return line;
}

std::string controlTableExportLine(const Record& r) {
    std::string line;
    for (const char* field : kExportFields) {
        if (!line.empty()) line += ',';
        line += '"' + stored(r, field) + '"';
    }
    return line;
}

ReportResult printControlTable(Tables& tables, Reporter& reporter) {
    // TEXTSIF.TXT, alone, emptied; its failures are told and the list goes on.
    TableAccess& text = tables.access("TEK");
    text.setShareMode(ShareMode::Exclusive);
    bool writing = text.open(true) == result::Ok;
    if (!writing) sayTextFile(reporter, "Open TEXTSIF ", text);
    if (writing && text.removeAll() != result::Ok) {
        sayTextFile(reporter, "Empty TEXTSIF ", text);
        writing = false;
    }
    const int textLine = text.def().fieldIndex("REDAK");

    TableAccess& rules = tables.access("VEZ");
    ListPages pages("VEZNE KONTROLE", {{"VOB", 170, 120, TextAlign::Left},
                                       {"VOI", 300, 120, TextAlign::Left},
                                       {kControlTableCaption, 430, 1500, TextAlign::Left, true}});
    std::string lastVob, lastVoi;
    bool first = true;
    ReportResult out = runTableList(
        rules, rules.def().keyIndex("KEYVOB_VOI"), pages, reporter, [&](const Record& r) {
            const std::string vob = stored(r, "VOB"), voi = stored(r, "VOI");
            if (first || vob != lastVob) pages.addRow({vob});
            if (first || vob != lastVob || voi != lastVoi) pages.addRow({"", voi});
            first = false;
            lastVob = vob;
            lastVoi = voi;
            pages.addRow({"", "", controlTableLine(r)});
            if (writing) {
                text.record().clear();
                text.record().setFromDisplay(textLine, controlTableExportLine(r));
                text.add(); // a line that cannot be written is lost; the list goes on
            }
        });
    if (writing) text.close();
    return out;
}

} // namespace mvz
