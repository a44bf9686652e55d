#include "import/findings_report.h"

#include <algorithm>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "data/record.h"
#include "data/tables.h"
#include "import/field_view.h"
#include "import/review_support.h"
#include "submission/record_format.h"

namespace mvz {

namespace {

constexpr std::size_t kMessageLine = 70;

std::string utf8(std::string_view cp1250) {
    return cp1250ToUtf8(clipRight(cp1250));
}

// The fields of TBIZLAZ line `number` when it has record type `type`.
std::vector<ReportField> fieldsOfLine(TableAccess& lines, long number, char type) {
    std::vector<ReportField> out;
    Record& r = lines.record();
    r.clear();
    r.setInteger(review::field(r, "REDBROJ"), number);
    if (lines.fetch(0) != result::Ok) return out;
    const std::string_view stored = r.text(review::field(r, "TIPSLOGA"));
    if (stored.empty() || stored[0] != type) return out;
    const std::string line = lineOfRow(r);
    const RecordLayout& layout = *recordLayout(type);
    const auto values = splitFields(layout, line);
    for (std::size_t i = 0; i < layout.fields.size(); ++i)
        out.push_back({std::string(layout.fields[i].code), utf8(values[i])});
    return out;
}

} // namespace

std::string FindingsReportHeading::value(std::string_view code) const {
    for (const auto* part : {&sender, &form})
        for (const ReportField& f : *part)
            if (f.code == code) return f.value;
    return {};
}

FindingsReportEntry reportEntry(long line, std::string_view field, char kind,
                                std::string_view message) {
    FindingsReportEntry e;
    e.line = line;
    e.field = utf8(field);
    e.kind = kind;
    for (std::size_t i = 0; i < e.message.size(); ++i) {
        const std::size_t at = i * kMessageLine;
        if (at < message.size())
            e.message[i] = utf8(message.substr(at, std::min(kMessageLine, message.size() - at)));
    }
    return e;
}

FindingsReportHeading findingsReportHeading(Tables& tables) {
    FindingsReportHeading heading;
    TableAccess& lines = tables.access("ULZ");
    if (lines.open() != result::Ok) return heading;
    heading.sender = fieldsOfLine(lines, 1, '0');
    heading.form = fieldsOfLine(lines, 2, '3');
    lines.close();
    return heading;
}

long forEachFindingsReportPage(Tables& tables, std::size_t perPage,
                               const std::function<bool(const FindingsReportPage&)>& visit) {
    perPage = std::max<std::size_t>(perPage, 1);
    FindingsReportPage page;
    page.heading = findingsReportHeading(tables);
    TableAccess& findings = tables.access("ULZ1");
    if (findings.open() != result::Ok) return -1;
    const Record& r = findings.record();
    const int lineField = review::field(r, "REDBROJ");
    const int codeField = review::field(r, "KOLONA");
    const int kindField = review::field(r, "TIP");
    const int messageField = review::field(r, "GRESKA");
    findings.setOrder(0); // line number, then field code
    findings.setStart();

    long given = 0;
    bool stopped = false;
    const auto give = [&]() {
        page.number = ++given;
        stopped = !visit(page);
        page.entries.clear();
    };
    while (!stopped && findings.next() == result::Ok) {
        const std::string_view kind = r.text(kindField);
        page.entries.push_back(reportEntry(static_cast<long>(r.integer(lineField)),
                                           r.text(codeField), kind.empty() ? ' ' : kind[0],
                                           r.text(messageField)));
        if (page.entries.size() == perPage) give();
    }
    const bool failed = !stopped && !findings.atEof();
    findings.close();
    if (failed) return -1;
    if (!stopped && !page.entries.empty()) give();
    return given;
}

std::vector<FindingsReportPage> findingsReport(Tables& tables, std::size_t perPage) {
    std::vector<FindingsReportPage> pages;
    forEachFindingsReportPage(tables, perPage, [&](const FindingsReportPage& p) {
        pages.push_back(p);
        return true;
    });
    return pages;
}

} // namespace mvz
