#include "import/checked_file.h"

#include <filesystem>
#include <system_error>

#include "base/reporter.h"
#include "data/created_file.h"
#include "data/line_file.h"
#include "data/tables.h"
#include "import/review_support.h"
#include "submission/digest.h"
#include "submission/record_format.h"

namespace mvz {

namespace fs = std::filesystem;

namespace {

const TableDef& copyDef() {
    return *findTable("SL3");
}

std::string takeOverFailed(const std::string& path) {
    return "Greška kod preuzimanja " + path;
}

} // namespace

std::string showFileDigest(const std::string& path, Reporter& reporter) {
    const std::string mark = groupedMark(doSHAOnFile(path));
    if (mark.empty()) {
        review::say(reporter, takeOverFailed(path));
        return {};
    }
    reporter.status(mark);
    return mark;
}

bool copyForPrinting(Tables& tables, const std::string& path, Reporter& reporter) {
    TableAccess& own = tables.access("SL3");
    while (own.isOpen())
        own.close();
    const std::string copy = tables.storage().pathOf(copyDef());
    std::error_code ec;
    // The work copy itself chosen as the file to print: it is read as it is.
    if (fs::equivalent(path, copy, ec)) return true;
    ec.clear();
    if (!fs::is_regular_file(path, ec) ||
        !copyToNewFile(path, copy, replacementMode(copy, tables.storage().fileMode()), ec)) {
        review::say(reporter, takeOverFailed(path));
        return false;
    }
    return true;
}

bool forEachCopiedLine(Tables& tables, Reporter& reporter,
                       const std::function<bool(std::string_view line)>& visit) {
    LineFile copy(kRecordLength);
    if (!copy.open(tables.storage().pathOf(copyDef()), TextOpenMode::ReadOnly)) {
        review::say(reporter, "Greška kod otvaranja TBSLOG3.TXT " + copy.lastError().text);
        return false;
    }
    for (;;) {
        const std::string_view line = copy.next();
        if (line.empty()) break;
        if (!visit(line)) return true;
    }
    if (copy.errorCode() != err::RecordNotAvailable) {
        review::say(reporter, "Greška kod čitanja TBSLOG3.TXT " + copy.lastError().text);
        return false;
    }
    return true;
}

} // namespace mvz
