#include "submission/page_b_rows.h"

#include <stdexcept>
#include <vector>

#include <fmt/format.h>

#include "base/fixed_text.h"
#include "data/record.h"
#include "data/tables.h"
#include "submission/form_id.h"
#include "submission/page_a.h"

namespace mvz {

namespace {

// "ŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠ" in CP1250: 21 times the byte of "Š".
const std::string kFillerName(21, '\x8A');

int field(const TableAccess& t, std::string_view name) {
    const int f = t.def().fieldIndex(name);
    if (f < 0) throw std::logic_error(fmt::format("{} has no field {}", t.def().fileName, name));
    return f;
}

// Positions a page-B table at the first row of the form in the given key.
void startAtForm(TableAccess& t, const char* keyName, std::string_view linkKey) {
    t.setOrder(t.def().keyIndex(keyName));
    t.record().clear();
    t.record().setText(field(t, "KONVEZA"), linkKey);
    t.setFromBuffer();
}

bool ofForm(const TableAccess& t, int linkField, std::string_view linkKey) {
    return equalIgnoringTrailingBlanks(t.record().text(linkField), linkKey);
}

struct Opened {
    TableAccess& t;
    bool ok;
    explicit Opened(TableAccess& table) : t(table), ok(table.open() == result::Ok) {}
    ~Opened() {
        if (ok) t.close();
    }
};

} // namespace

bool isFillerIdentifier(std::string_view identifier) {
    return identifier.size() >= 10 && identifier.substr(0, 10) == "9999999999";
}

PageBPreparation preparePageB(Tables& tables, std::string_view linkKey, PageBOrder order) {
    PageBPreparation out;
    TableAccess& rows = tables.access("OSI");
    TableAccess& work = tables.access("OSI2");
    Opened openRows(rows);
    if (!openRows.ok) return out;
    Opened openWork(work);
    if (!openWork.ok) return out;
    StorageSession& storage = tables.storage();
    if (storage.begin({rows.file(), work.file()})) return out;

    const auto fail = [&] {
        storage.rollback();
        return PageBPreparation{};
    };
    if (work.removeAll() != result::Ok) return fail();

    const int rowLink = field(rows, "KONVEZA");
    const int rowYear = field(rows, "GODOBRA");
    const int rowMonth = field(rows, "OBRMJE");
    std::int64_t year = 0;
    std::int64_t month = 0;
    startAtForm(rows, "KEYOBRGODMJE", linkKey);
    for (;;) {
        if (rows.next() != result::Ok) {
            if (!rows.atEof()) return fail(); // the table access has shown why
            break;
        }
        if (!ofForm(rows, rowLink, linkKey)) break;
        work.record().clear();
        work.record().assign(rows.record().bytes());
        if (work.add() != result::Ok) return fail();
        ++out.rows;
        year = rows.record().integer(rowYear);
        month = rows.record().integer(rowMonth);
    }

    const long long partial = out.rows % kRowsPerSheet;
    const long long fillers = partial == 0 ? 0 : kRowsPerSheet - partial;
    for (long long n = 1; n <= fillers; ++n) {
        Record& r = work.record();
        r.clear();
        r.setText(field(work, "IDENTIFIKATOR"), identifierOfLinkKey(linkKey));
        r.setText(field(work, "KONVEZA"), linkKey);
        r.setText(field(work, "JMBG"), fmt::format("99999999999{:02}", n));
        if (order == PageBOrder::Names) r.setText(field(work, "PREZIME"), kFillerName);
        // The page-B tables take only rows with a calculation year: a filler
        // row carries the form's year and month.
        r.setInteger(field(work, "GODOBRA"), year);
        r.setInteger(field(work, "OBRMJE"), month);
        if (work.add() != result::Ok) return fail();
    }
    if (storage.commit()) return PageBPreparation{};
    out.fillers = fillers;
    out.ok = true;
    return out;
}

long long forEachPreparedRow(Tables& tables, std::string_view linkKey, PageBOrder order,
                             const std::function<bool(const Record&)>& visit) {
    TableAccess& work = tables.access("OSI2");
    Opened open(work);
    if (!open.ok) return -1;
    const int link = field(work, "KONVEZA");
    const int identifier = field(work, "JMBG");
    startAtForm(work, order == PageBOrder::Rows ? "KEYOBRGODMJE" : "KEYPREZIME", linkKey);
    std::vector<Record> fillers;
    long long visited = 0;
    while (work.next() == result::Ok && ofForm(work, link, linkKey)) {
        if (isFillerIdentifier(work.record().text(identifier))) {
            fillers.push_back(work.record());
            continue;
        }
        ++visited;
        if (!visit(work.record())) return visited;
    }
    for (const Record& r : fillers) {
        ++visited;
        if (!visit(r)) break;
    }
    return visited;
}

} // namespace mvz
