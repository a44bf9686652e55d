#include "submission/page_a.h"

#include <array>
#include <stdexcept>
#include <vector>

#include <fmt/format.h>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "base/numeric.h"
#include "base/reporter.h"
#include "data/error_reporter.h"
#include "data/table_work.h"
#include "data/tables.h"
#include "submission/digest.h"
#include "submission/person_counter.h"

namespace mvz {

namespace {

constexpr std::array<const char*, 5> kAmounts = {"IZNOS7", "IZNOS8", "IZNOS9", "IZNOS10",
                                                 "IZNOS11"};

int field(const TableAccess& t, std::string_view name) {
    const int f = t.def().fieldIndex(name);
    if (f < 0) throw std::logic_error(fmt::format("{} has no field {}", t.def().fileName, name));
    return f;
}

int key(const TableAccess& t, std::string_view name) {
    const int k = t.def().keyIndex(name);
    if (k < 0) throw std::logic_error(fmt::format("{} has no key {}", t.def().fileName, name));
    return k;
}

void setText(TableAccess& t, std::string_view name, std::string_view cp1250) {
    t.record().setText(field(t, name), cp1250);
}

void showMessage(Reporter& reporter, std::string text) {
    MessageBox box;
    box.text = std::move(text);
    box.icon = MessageIcon::Exclamation;
    reporter.show(box);
}

// Sets the key fields of page A: identifier, calculation type and link key,
// with the calculation month and year.
void setPageAKeys(TableAccess& a, const PageAInput& in, const std::string& identifier,
                  const std::string& linkKey) {
    setText(a, "IDENTIFIKATOR", identifier);
    setText(a, "VRSUPLA", in.form.calculationType);
    setText(a, "OBRMJE", fmt::format("{:02}", in.month));
    setText(a, "OBRGOD", fmt::format("{:04}", in.year));
    setText(a, "KONVEZA", linkKey);
}

void setPayOut(TableAccess& a, const PageAInput& in) {
    setText(a, "GODPLA", fmt::format("{:04}", in.payYear));
    setText(a, "MJEPLA", fmt::format("{:02}", in.payMonth));
}

std::optional<long long> numberOf(std::string_view cp1250, bool blankIsZero) {
    const std::string_view t = trim(cp1250);
    if (t.empty()) return blankIsZero ? std::optional<long long>(0) : std::nullopt;
    for (char c : t)
        if (c < '0' || c > '9') return std::nullopt;
    return parseInteger(t);
}

} // namespace

long long sheetCount(long long rows) {
    return rows <= 0 ? 1 : (rows + kRowsPerSheet - 1) / kRowsPerSheet;
}

PageAResult buildPageA(Tables& tables, const Record& payerRecord, const PageAInput& in) {
    Reporter& reporter = tables.errors().reporter();
    const Record payer = payerRecord; // the caller may pass a buffer this service rereads
    const std::string identifier = in.form.identifier();
    const std::string linkKey = in.form.linkKey();
    PageAResult out;

    TableAccess& osi = tables.access("OSI");
    TableAccess& a = tables.access("A");
    TableAccess& pos = tables.access("POS");
    TableWork opened(tables);
    if (!opened.open(osi) || !opened.open(a) || !opened.open(pos)) return out;

    // 1-2: the stored page A, if any, keeps A:MB01 and A:MB02; everything
    // else is set afresh.
    a.record().clear();
    setPageAKeys(a, in, identifier, linkKey);
    const bool exists = a.fetch(key(a, "KEYIDENTIKATOR")) == result::Ok;
    if (!exists) {
        a.record().clear();
        setPageAKeys(a, in, identifier, linkKey);
    }
    Record& r = a.record();
    r.setInteger(field(a, "BROJOSIG"), 0);
    r.setInteger(field(a, "BROJSTRANA"), 0);
    const auto fromPayer = [&](const char* to, const char* from) {
        r.setText(field(a, to), payer.text(payer.def().fieldIndex(from)));
    };
    fromPayer("JMBG", "JMBG");
    fromPayer("NAZIV", "NAZIV");
    fromPayer("ADRESA", "ADRESA");
    fromPayer("KONTAKT", "KONTAKT");
    fromPayer("TELEFON", "TELEFON");
    fromPayer("EMAI", "EMAIL");
    fromPayer("VRSTOBVEZNIKA", "VRSTOBVEZNIKA");
    setText(a, "KONZNAK", "");
    setPayOut(a, in);

    // 3: the form's page-B rows in key order.
    std::array<Decimal, 5> totals{};
    std::array<int, 5> rowAmount{};
    for (std::size_t i = 0; i < kAmounts.size(); ++i)
        rowAmount[i] = field(osi, kAmounts[i]);
    const int osiIdentifier = field(osi, "JMBG");
    const int osiLink = field(osi, "KONVEZA");
    PersonCounter persons;
    osi.setOrder(key(osi, "KEYOBRGODMJE"));
    osi.record().clear();
    setText(osi, "IDENTIFIKATOR", identifier);
    setText(osi, "VRSUPL", in.form.calculationType);
    setText(osi, "KONVEZA", linkKey);
    osi.setFromBuffer();
    bool readFailed = false;
    try {
        for (;;) {
            if (osi.next() != result::Ok) {
                readFailed = !osi.atEof();
                break;
            }
            if (!equalIgnoringTrailingBlanks(osi.record().text(osiLink), linkKey)) break;
            ++out.rowsRead;
            if (out.rowsRead % 10 == 0) reporter.status("Obrađeno " + std::to_string(out.rowsRead));
            persons.next(osi.record().text(osiIdentifier));
            for (std::size_t i = 0; i < totals.size(); ++i)
                totals[i] += osi.record().decimal(rowAmount[i]);
        }
    } catch (const std::overflow_error&) {
        showMessage(reporter,
                    fmt::format("Zbroj iznosa obrasca {} je prevelik za stranicu A", identifier));
        return out;
    }
    if (readFailed) return out; // the table access has shown why

    // 4: a form without rows stops the processing.
    if (out.rowsRead == 0) {
        reporter.status("Obrada prekinuta. Preuzeto 0 redaka");
        return out;
    }

    // 5-7: sheets, the placeholder mark, totals below zero as 0.
    r.setInteger(field(a, "BROJOSIG"), persons.count());
    r.setInteger(field(a, "BROJSTRANA"), sheetCount(out.rowsRead));
    setText(a, "KONZNAK", kControlMarkPlaceholder);
    setPageAKeys(a, in, identifier, linkKey);
    setPayOut(a, in);
    for (std::size_t i = 0; i < totals.size(); ++i) {
        if (totals[i].sign() < 0) totals[i] = Decimal::fromInteger(0, 2);
        if (!r.setDecimal(field(a, kAmounts[i]), totals[i])) {
            showMessage(reporter,
                        fmt::format("Ukupni iznos {} ne stane u polje A:{} stranice A obrasca {}",
                                    totals[i].rescale(2).toString(), kAmounts[i], identifier));
            return out;
        }
    }
    out.built = true;
    out.pageA = r;

    // 8: add or change; a failure is shown and the values stand in memory.
    if ((exists ? a.change() : a.add()) == result::Ok) {
        out.pageAWritten = true;
        reporter.status("1. dio obrade završena. Formiram SHA broj");
    } else {
        reporter.status("Greška " + std::to_string(a.lastError().code));
    }

    // 9: the payer's last form sequence number moves up, never down.
    pos.record().clear();
    pos.record().setInteger(field(pos, "REDBROJ"), in.form.payerNumber);
    const int last = field(pos, "IDENTIFIKATOR");
    if (pos.fetch(key(pos, "KEYREDBROJ")) != result::Ok) {
        out.payerWritten = false;
        reporter.status("Greška " + std::to_string(pos.lastError().code));
    } else if (in.form.sequence > pos.record().integer(last)) {
        pos.record().setInteger(last, in.form.sequence);
        if (pos.change() != result::Ok) {
            out.payerWritten = false;
            reporter.status("Greška " + std::to_string(pos.lastError().code));
        }
    }
    return out;
}

std::optional<FormHeaderRecord> formHeaderOf(const Record& pageA, std::string* error) {
    const TableDef& def = pageA.def();
    const auto t = [&](const char* name) { return pageA.text(def.fieldIndex(name)); };
    FormHeaderRecord h;
    const auto number = [&](const char* name, std::string_view value, bool blankIsZero, auto& to) {
        const auto n = numberOf(value, blankIsZero);
        if (!n) {
            if (error != nullptr)
                *error =
                    fmt::format("A:{} nije broj: \"{}\"", name, cp1250ToUtf8(clipRight(value)));
            return false;
        }
        to = static_cast<std::remove_reference_t<decltype(to)>>(*n);
        return true;
    };
    const std::string_view identifier = t("IDENTIFIKATOR");
    if (!number("IDENTIFIKATOR", identifier.substr(3, 4), false, h.MV3IDOB) ||
        !number("VRSTOBVEZNIKA", t("VRSTOBVEZNIKA"), false, h.MV3VROB) ||
        !number("OBRMJE", t("OBRMJE"), false, h.MV3MMGG.month) ||
        !number("OBRGOD", t("OBRGOD"), false, h.MV3MMGG.year) ||
        !number("VRSUPLA", t("VRSUPLA"), false, h.MV3VROI) ||
        !number("GODPLA", t("GODPLA"), true, h.MV3IGMM.year) ||
        !number("MJEPLA", t("MJEPLA"), true, h.MV3IGMM.month))
        return std::nullopt;
    h.MV3IBOO = std::string(t("JMBG"));
    h.MV3NAOB = std::string(clipRight(t("NAZIV")));
    h.MV3ADOB = std::string(clipRight(t("ADRESA")));
    h.MV3BROS = pageA.integer(def.fieldIndex("BROJOSIG"));
    Decimal* amounts[] = {&h.MV3IBRT, &h.MV3IOSN, &h.MV3IST1, &h.MV3IST2, &h.MV3INET};
    for (std::size_t i = 0; i < kAmounts.size(); ++i)
        *amounts[i] = pageA.decimal(def.fieldIndex(kAmounts[i]));
    return h;
}

ControlMarkResult storeControlMark(Tables& tables, std::string_view linkKey,
                                   std::string_view digest) {
    const std::string mark = groupedMark(digest);
    if (mark.empty())
        throw std::invalid_argument(
            fmt::format("\"{}\" is not a digest of 40 hexadecimal digits", digest));
    Reporter& reporter = tables.errors().reporter();
    const std::string identifier(identifierOfLinkKey(linkKey));
    TableAccess& a = tables.access("A");
    TableWork opened(tables);
    if (!opened.open(a)) {
        showMessage(reporter, "Greška kod ažuriranja SHA broja (2)");
        return ControlMarkResult::ChangeFailed;
    }
    a.record().clear();
    setText(a, "IDENTIFIKATOR", identifier);
    setText(a, "VRSUPLA", linkKey.size() > 7 ? linkKey.substr(7) : std::string_view{});
    setText(a, "KONVEZA", linkKey);
    if (a.fetch(key(a, "KEYIDENTIKATOR")) != result::Ok) {
        showMessage(reporter, "Greška kod ažuriranja SHA broja (1)=" + identifier);
        return ControlMarkResult::FormMissing;
    }
    setText(a, "KONZNAK", mark);
    if (a.change() != result::Ok) {
        showMessage(reporter, "Greška kod ažuriranja SHA broja (2)");
        return ControlMarkResult::ChangeFailed;
    }
    return ControlMarkResult::Stored;
}

} // namespace mvz
