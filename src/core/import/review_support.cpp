#include "import/review_support.h"

#include <stdexcept>

#include <fmt/format.h>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "base/reporter.h"
#include "data/error_reporter.h"
#include "data/tables.h"

namespace mvz::review {

int field(const Record& r, std::string_view name) {
    const int f = r.def().fieldIndex(name);
    if (f < 0) throw std::logic_error(fmt::format("{} has no field {}", r.def().fileName, name));
    return f;
}

int field(const TableAccess& t, std::string_view name) {
    return field(t.record(), name);
}

AppFolders readAppFolders(Tables& tables) {
    AppFolders out;
    TableAccess& apl = tables.access("APL");
    if (apl.open(true) != result::Ok) return out;
    apl.setOrder(apl.def().primaryKey());
    apl.setStart();
    if (apl.next() == result::Ok) {
        const Record& r = apl.record();
        out.work = cp1250ToUtf8(clipRight(r.text(field(r, "RADDIR"))));
        out.output = cp1250ToUtf8(clipRight(r.text(field(r, "IZLAZDIR"))));
    }
    apl.close();
    return out;
}

std::string useWorkFolder(Tables& tables) {
    const AppFolders folders = readAppFolders(tables);
    tables.storage().setWorkFolder(folders.work);
    return folders.work.empty() ? tables.storage().dataDir() : folders.work;
}

void say(Reporter& reporter, const std::string& text, bool warning) {
    MessageBox box;
    box.text = messageBoxText(text);
    box.icon = warning ? MessageIcon::Exclamation : MessageIcon::Information;
    reporter.show(box);
}

} // namespace mvz::review
