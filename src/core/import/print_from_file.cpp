#include "import/print_from_file.h"

#include <array>
#include <optional>

#include <fmt/format.h>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "base/numeric.h"
#include "base/picture.h"
#include "base/reporter.h"
#include "data/record.h"
#include "data/table_work.h"
#include "data/tables.h"
#include "import/checked_file.h"
#include "import/review_support.h"
#include "submission/digest.h"
#include "submission/page_a.h"
#include "submission/record_format.h"

namespace mvz {

namespace {

using review::field;

constexpr std::array<const char*, 5> kAmounts = {"IZNOS7", "IZNOS8", "IZNOS9", "IZNOS10",
                                                 "IZNOS11"};
constexpr std::array<const char*, 5> kFormAmounts = {"MV3IBRT", "MV3IOSN", "MV3IST1", "MV3IST2",
                                                     "MV3INET"};
constexpr std::array<const char*, 5> kRowAmounts = {"MV5IBRT", "MV5IOSN", "MV5IST1", "MV5IST2",
                                                    "MV5INET"};

// The characters of a field of the line, by its code in the layout of the
// line's type.
class LineFields {
  public:
    LineFields(char type, std::string_view line)
        : layout_(*recordLayout(type)), fields_(splitFields(layout_, line)) {}
    std::string_view operator[](std::string_view code) const {
        return fields_.at(static_cast<std::size_t>(layout_.fieldIndex(code)));
    }

  private:
    const RecordLayout& layout_;
    std::vector<std::string_view> fields_;
};

char typeOf(std::string_view line) {
    return line.size() >= kRecordLength ? line.back() : ' ';
}

// An amount field read as the control reads it ("N-015v2"); what does not
// read as a number counts as 0.
Decimal amountOf(std::string_view text) {
    static const Picture picture = *Picture::parse("N-015v2");
    return picture.read(text, 2).value_or(Decimal::fromInteger(0, 2));
}

long long numberOf(std::string_view text) {
    return parseInteger(trim(text)).value_or(0);
}

void setText(Record& r, const char* name, std::string_view cp1250) {
    r.setText(field(r, name), cp1250);
}

std::string sub(std::string_view text, std::size_t at, std::size_t n) {
    return at < text.size() ? std::string(text.substr(at, n)) : std::string();
}

// An earlier print row of page A: what fillPageAFromLine writes and no
// page-B rows of the user's forms under its link key.
bool isPrintRow(TableAccess& a, TableAccess& rows) {
    const Record& r = a.record();
    if (clipRight(r.text(field(r, "KONTAKT"))) != "KONTAKT" ||
        !isBlank(r.text(field(r, "TELEFON"))) || !isBlank(r.text(field(r, "EMAI"))) ||
        r.integer(field(r, "BROJSTRANA")) != 0)
        return false;
    const std::string link(r.text(field(r, "KONVEZA")));
    rows.setOrder(rows.def().keyIndex("KEYOBRGODMJE"));
    rows.record().clear();
    rows.record().setText(field(rows, "KONVEZA"), link);
    rows.setFromBuffer();
    if (rows.next() != result::Ok) return true;
    return !equalIgnoringTrailingBlanks(rows.record().text(field(rows, "KONVEZA")), link);
}

} // namespace

std::string fillPageAFromLine(Record& a, std::string_view line, std::string_view mark,
                              std::string_view prefix) {
    const LineFields f('3', line);
    const std::string identifier = std::string(prefix) + std::string(f["MV3IDOB"]);
    const std::string_view type = f["MV3VROI"];
    const std::string_view period = f["MV3MMGG"];
    const std::string_view reserved = f["MV3REZ1"];
    const std::string_view payOut = f["MV3IGMM"];
    a.clear();
    setText(a, "IDENTIFIKATOR", identifier);
    setText(a, "VRSUPLA", type);
    setText(a, "OBRMJE", sub(period, 0, 2));
    setText(a, "OBRGOD", sub(period, 2, 4));
    a.setInteger(field(a, "BROJOSIG"), numberOf(f["MV3BROS"]));
    a.setInteger(field(a, "BROJSTRANA"), 0);
    setText(a, "MB01", sub(reserved, 0, 8));
    setText(a, "MB02", sub(reserved, 8, 4));
    setText(a, "JMBG", f["MV3IBOO"]);
    setText(a, "NAZIV", f["MV3NAOB"]);
    setText(a, "ADRESA", f["MV3ADOB"]);
    setText(a, "KONTAKT", "KONTAKT");
    setText(a, "VRSTOBVEZNIKA", f["MV3VROB"]);
    for (std::size_t i = 0; i < kAmounts.size(); ++i) {
        const Decimal amount = amountOf(f[kFormAmounts[i]]);
        if (!a.setDecimal(field(a, kAmounts[i]), amount))
            return fmt::format("Ukupni iznos {} ne stane u polje A:{} stranice A obrasca {}",
                               amount.toString(), kAmounts[i], identifier);
    }
    setText(a, "KONZNAK", mark);
    setText(a, "KONVEZA", identifier + std::string(type));
    setText(a, "GODPLA", sub(payOut, 0, 4));
    setText(a, "MJEPLA", sub(payOut, 4, 2));
    return {};
}

std::string pageBPayerIdentifier(const Record& a) {
    const std::string_view jmbg = a.text(field(a, "JMBG"));
    if (jmbg != "0000000000000") return std::string(jmbg);
    const std::string_view second = a.text(field(a, "MB02"));
    return std::string(a.text(field(a, "MB01"))) + (second == "0000" ? " " : std::string(second));
}

PageAPrintJob preparePageAFromFile(Tables& tables, Reporter& reporter, const std::string& entry) {
    PageAPrintJob job;
    const review::AppFolders folders = review::readAppFolders(tables);
    const std::string chosen(clipRight(entry));
    if (chosen.empty() || chosen == folders.output) {
        review::say(reporter, "Ispis A-Strane se ispisuje nakon izvršene kontrole");
        job.outcome = PrintPreparation::NotChecked;
        return job;
    }
    job.mark = groupedMark(doSHAOnFile(chosen));
    review::useWorkFolder(tables);
    if (job.mark.empty() || !copyForPrinting(tables, chosen, reporter)) {
        if (job.mark.empty()) review::say(reporter, "Greška kod preuzimanja " + chosen);
        job.outcome = PrintPreparation::CopyFailed;
        return job;
    }

    std::optional<std::string> header;
    bool statusShown = false;
    if (!forEachCopiedLine(tables, reporter, [&](std::string_view line) {
            if (typeOf(line) == '3') {
                header = std::string(line);
                return false;
            }
            if (!statusShown) reporter.status(job.mark);
            statusShown = true;
            return true;
        })) {
        job.outcome = PrintPreparation::CopyFailed;
        return job;
    }
    if (!header) {
        job.outcome = PrintPreparation::NoForm;
        return job;
    }

    TableWork work(tables);
    TableAccess& a = tables.access("A");
    TableAccess& rows = tables.access("OSI");
    if (!work.open(a) || !work.open(rows)) return job;
    Record fresh(a.def());
    if (std::string error = fillPageAFromLine(fresh, *header, job.mark); !error.empty()) {
        review::say(reporter, error);
        return job;
    }
    const std::string link(clipRight(fresh.text(field(fresh, "KONVEZA"))));
    if (!work.begin({&a})) return job;
    a.record().clear();
    a.record().setText(field(a, "KONVEZA"), link);
    if (a.fetch(a.def().keyIndex("KEYIDENTIKATOR")) == result::Ok) {
        if (!isPrintRow(a, rows)) {
            review::say(reporter, fmt::format("Identifikator {} pripada obrascu obveznika. Ispis A "
                                              "stranice iz datoteke ga ne mijenja.",
                                              cp1250ToUtf8(link)));
            job.outcome = PrintPreparation::Refused;
            return job;
        }
        if (a.remove() != result::Ok) {
            review::say(reporter, "Greška kod brisanja TBOBRAZA.DAT " + a.lastError().text);
            return job;
        }
    }
    a.record().assign(fresh.bytes());
    if (a.add(true) != result::Ok) {
        review::say(reporter, "Greška kod upisa TBOBRAZA.DAT " + a.lastError().text);
        return job;
    }
    if (work.commit(a, 25) != result::Ok) return job;
    job.linkKey = link;
    job.outcome = PrintPreparation::Ready;
    return job;
}

PageBPrintJob preparePageBFromFile(Tables& tables, Reporter& reporter, const std::string& path) {
    PageBPrintJob job;
    reporter.status("Malo strpljenja. Pripremam B stranice ....");
    review::useWorkFolder(tables);
    if (!copyForPrinting(tables, std::string(clipRight(path)), reporter)) {
        job.outcome = PrintPreparation::CopyFailed;
        return job;
    }

    TableWork work(tables);
    TableAccess& out = tables.access("OSI2");
    if (!work.open(out, ShareMode::Exclusive, false)) return job;
    if (!work.begin({&out})) return job;
    if (out.removeAll() != result::Ok) return job;

    Record form(*findTable("A"));
    bool haveForm = false;
    std::int64_t year = 0;
    std::int64_t month = 0;
    bool failed = false;
    Record& r = out.record();
    const auto add = [&]() {
        if (out.add() == result::Ok) return true;
        failed = true; // the table access has shown why
        return false;
    };
    const auto setFormFields = [&]() {
        setText(r, "IDENTIFIKATOR", form.text(field(form, "IDENTIFIKATOR")));
        setText(r, "VRSUPL", form.text(field(form, "VRSUPLA")));
        setText(r, "KONVEZA", form.text(field(form, "KONVEZA")));
        r.setInteger(field(r, "GODOBRA"), year);
        r.setInteger(field(r, "OBRMJE"), month);
    };
    const bool read = forEachCopiedLine(tables, reporter, [&](std::string_view line) {
        const char type = typeOf(line);
        if (type == '7') return false;
        if (type == '3') {
            if (std::string error = fillPageAFromLine(form, line, {}, kPageBPrintPrefix);
                !error.empty()) {
                review::say(reporter, error);
                failed = true;
                return false;
            }
            haveForm = true;
            year = numberOf(form.text(field(form, "OBRGOD")));
            month = numberOf(form.text(field(form, "OBRMJE")));
            return true;
        }
        // A type-5 line before any type-3 line belongs to no form.
        if (type != '5' || !haveForm) return true;
        const LineFields f('5', line);
        r.clear();
        setText(r, "JMBG", f["MV5IBOO"]);
        setText(r, "PREZIME", f["MV5IMPR"]);
        setText(r, "OPCINA", f["MV5GROP"]);
        const std::string_view basis = f["MV5OSOB"];
        setText(r, "OSNOVA1", sub(basis, 0, 2));
        setText(r, "OSNOVA3", sub(basis, 2, 1));
        const std::string_view days = f["MV5RAZD"];
        r.setInteger(field(r, "OBRRAZD1"), numberOf(sub(days, 0, 2)));
        r.setInteger(field(r, "OBRRAZD2"), numberOf(sub(days, 2, 2)));
        for (std::size_t i = 0; i < kAmounts.size(); ++i) {
            const Decimal amount = amountOf(f[kRowAmounts[i]]);
            if (!r.setDecimal(field(r, kAmounts[i]), amount)) {
                review::say(reporter,
                            fmt::format("Iznos {} osiguranika {} ne stane u polje {} stranice B",
                                        amount.toString(), cp1250ToUtf8(trim(f["MV5IBOO"])),
                                        kAmounts[i]));
                failed = true;
                return false;
            }
        }
        setFormFields();
        if (!add()) return false;
        ++job.rows;
        return true;
    });
    if (!read || failed) return job;
    if (!haveForm) {
        job.outcome = PrintPreparation::NoForm;
        return job;
    }

    const long long partial = job.rows % kRowsPerSheet;
    const long long fillers = partial == 0 ? 0 : kRowsPerSheet - partial;
    for (long long i = 1; i <= fillers; ++i) {
        r.clear();
        setText(r, "JMBG", fmt::format("99999999999{:02}", i));
        setFormFields();
        if (!add()) return job;
    }
    if (work.commit(out, 25) != result::Ok) return job;

    job.fillers = fillers;
    job.linkKey = std::string(clipRight(form.text(field(form, "KONVEZA"))));
    job.formIdentifier = std::string(form.text(field(form, "IDENTIFIKATOR")).substr(3, 4));
    job.year = std::string(form.text(field(form, "OBRGOD")));
    job.payerIdentifier = pageBPayerIdentifier(form);
    job.outcome = PrintPreparation::Ready;
    reporter.status("Gotova priprema. Ispis...");
    return job;
}

} // namespace mvz
