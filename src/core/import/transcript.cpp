#include "import/transcript.h"

#include <cstdint>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "base/picture.h"
#include "base/reporter.h"
#include "data/line_file.h"
#include "data/record.h"
#include "data/tables.h"
#include "import/review_support.h"

namespace mvz {

namespace {

constexpr std::size_t kTextWidth = 70;
constexpr std::size_t kMessageWidth = 140;

const TableDef& transcriptDef() {
    return *findTable("ULZ11");
}

std::string withError(const char* what, const StorageError& e) {
    return std::string(what) + e.text;
}

} // namespace

std::vector<std::string> transcriptLines(long line, std::string_view field, char kind,
                                         std::string_view message) {
    static const Picture number = *Picture::parse("n5");
    Record r(transcriptDef());
    const auto put = [&](const char* name, std::string_view text) {
        r.setText(review::field(r, name), text);
    };
    const std::string_view first = message.substr(0, std::min(message.size(), kTextWidth));
    const std::string_view second =
        message.size() > kTextWidth
            ? message.substr(kTextWidth, std::min(message.size(), kMessageWidth) - kTextWidth)
            : std::string_view{};

    std::vector<std::string> out;
    r.clear();
    put("REDBROJ", number.format(static_cast<long long>(line)));
    put("KOLONA", field);
    put("TIP", std::string_view(&kind, 1));
    put("GRESKA", first);
    out.emplace_back(r.bytes());
    if (!isBlank(second)) {
        r.clear();
        put("GRESKA", second);
        out.emplace_back(r.bytes());
    }
    return out;
}

bool writeTranscript(Tables& tables, Reporter& reporter) {
    const std::string folder = review::useWorkFolder(tables);

    // The file is written alone: this window's own handle goes first.
    TableAccess& own = tables.access("ULZ11");
    while (own.isOpen())
        own.close();
    const std::string path = tables.storage().pathOf(transcriptDef());
    RawLineFile out;
    if (!out.open(path, TextOpenMode::Exclusive)) {
        if (out.errorCode() != err::FileNotFound ||
            !out.create(path, tables.storage().fileMode()) ||
            !out.open(path, TextOpenMode::Exclusive)) {
            review::say(reporter, withError("Greška pri otvaranju TBIZLAZ2.TXT ", out.lastError()));
            return false;
        }
    }
    if (!out.empty()) {
        review::say(reporter, withError("Greška pri pražnjenju TBIZLAZ2.TXT ", out.lastError()));
        return false;
    }

    TableAccess& findings = tables.access("ULZ1");
    if (findings.open() != result::Ok) return false; // the table access has shown why
    const Record& r = findings.record();
    const int lineField = review::field(r, "REDBROJ");
    const int codeField = review::field(r, "KOLONA");
    const int kindField = review::field(r, "TIP");
    const int messageField = review::field(r, "GRESKA");

    const std::uint64_t total =
        static_cast<std::uint64_t>(std::max<std::int64_t>(0, findings.count()));
    std::uint64_t done = 0;
    int shownPercent = -1;
    reporter.progress(0, total);
    findings.setOrder(0); // line number, then field code
    findings.setStart();
    bool ok = true;
    int step = result::Ok;
    while ((step = findings.next()) == result::Ok) {
        const std::string_view kind = r.text(kindField);
        for (const std::string& line :
             transcriptLines(static_cast<long>(r.integer(lineField)), r.text(codeField),
                             kind.empty() ? ' ' : kind[0], r.text(messageField))) {
            if (!out.addLine(line)) {
                ok = false;
                break;
            }
        }
        if (!ok) break;
        ++done;
        const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
        if (percent != shownPercent) {
            shownPercent = percent;
            reporter.progress(done, total);
        }
    }
    const bool readFailed = ok && !findings.atEof();
    findings.close();
    if (ok && !out.close()) ok = false;
    if (!ok) {
        review::say(reporter, withError("Greška pri upisu TBIZLAZ2.TXT ", out.lastError()));
        return false;
    }
    if (readFailed) return false; // the table access has shown why

    review::say(reporter, "Formiran je izlazni file pod imenom TBIZLAZ2.TXT " + folder, false);
    return true;
}

} // namespace mvz
