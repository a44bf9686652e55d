#include "import/submission_checker.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include <fmt/format.h>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "base/numeric.h"
#include "base/picture.h"
#include "import/control_lookups.h"
#include "import/field_tests.h"
#include "rules/contributions.h"
#include "rules/identifier.h"
#include "submission/record_format.h"

namespace mvz {

namespace {

const RecordField* field(char type, std::string_view code) {
    const RecordLayout* layout = recordLayout(type);
    const int i = layout ? layout->fieldIndex(code) : -1;
    if (i < 0) throw std::logic_error(fmt::format("record type {} has no field {}", type, code));
    return &layout->fields[i];
}

struct SenderFields {
    const RecordField *rez1 = field('0', "MV0REZ1"), *iboo = field('0', "MV0IBOO"),
                      *nazo = field('0', "MV0NAZO"), *adob = field('0', "MV0ADOB"),
                      *osob = field('0', "MV0OSOB"), *dtmn = field('0', "MV0DTMN"),
                      *ofor = field('0', "MV0OFOR");
};

struct HeaderFields {
    const RecordField *rez1 = field('3', "MV3REZ1"), *iboo = field('3', "MV3IBOO"),
                      *idob = field('3', "MV3IDOB"), *naob = field('3', "MV3NAOB"),
                      *adob = field('3', "MV3ADOB"), *vrob = field('3', "MV3VROB"),
                      *mmgg = field('3', "MV3MMGG"), *vroi = field('3', "MV3VROI"),
                      *bros = field('3', "MV3BROS"), *igmm = field('3', "MV3IGMM");
    std::array<const RecordField*, 5> amounts = {field('3', "MV3IBRT"), field('3', "MV3IOSN"),
                                                 field('3', "MV3IST1"), field('3', "MV3IST2"),
                                                 field('3', "MV3INET")};
};

struct InsuredFields {
    const RecordField *rbro = field('5', "MV5RBRO"), *iboo = field('5', "MV5IBOO"),
                      *impr = field('5', "MV5IMPR"), *grop = field('5', "MV5GROP"),
                      *osob = field('5', "MV5OSOB"), *razd = field('5', "MV5RAZD");
    std::array<const RecordField*, 5> amounts = {field('5', "MV5IBRT"), field('5', "MV5IOSN"),
                                                 field('5', "MV5IST1"), field('5', "MV5IST2"),
                                                 field('5', "MV5INET")};
};

struct FormEndFields {
    const RecordField *rez1 = field('7', "MV7REZ1"), *iboo = field('7', "MV7IBOO"),
                      *idob = field('7', "MV7IDOB"), *brsl = field('7', "MV7BRSL"),
                      *dtrs = field('7', "MV7DTRS");
};

struct FileEndFields {
    const RecordField *rez1 = field('9', "MV9REZ1"), *iboo = field('9', "MV9IBOO"),
                      *dtmn = field('9', "MV9DTMN"), *broj = field('9', "MV9BROJ");
};

const SenderFields& senderFields() {
    static const SenderFields f;
    return f;
}
const HeaderFields& headerFields() {
    static const HeaderFields f;
    return f;
}
const InsuredFields& insuredFields() {
    static const InsuredFields f;
    return f;
}
const FormEndFields& formEndFields() {
    static const FormEndFields f;
    return f;
}
const FileEndFields& fileEndFields() {
    static const FileEndFields f;
    return f;
}

std::string utf8(std::string_view cp1250) {
    return cp1250ToUtf8(cp1250);
}

// A count or a field's number in five positions (wider when it needs more).
std::string five(long long n) {
    return fmt::format("{:5}", n);
}

// A sum in hundredths through a picture; the picture's overflow mark when it
// is beyond what an amount can hold.
std::string sumText(const Picture& picture, __int128 units) {
    if (units > std::numeric_limits<std::int64_t>::max() ||
        units < -std::numeric_limits<std::int64_t>::max())
        return std::string(static_cast<std::size_t>(picture.width()), '#');
    return picture.format(Decimal::fromUnits(static_cast<std::int64_t>(units), 2));
}

} // namespace

SubmissionChecker::SubmissionChecker(const CheckLookups& lookups, std::int32_t today)
    : lookups_(lookups), today_(today) {
    // Resolve the field tables once, so that a layout without a field fails here.
    senderFields();
    headerFields();
    insuredFields();
    formEndFields();
    fileEndFields();
}

std::string_view SubmissionChecker::at(const RecordField* f) const {
    return record_.substr(f->offset(), f->width);
}

void SubmissionChecker::add(std::string_view code, char kind, std::string message,
                            const RecordField* f) {
    Finding& x = finding_;
    x.line = line_;
    x.field.assign(code);
    x.kind = kind;
    x.name = utf8(clipRight(name_));
    x.message = std::move(message);
    if (f) {
        x.start = f->position;
        x.end = f->position + f->width - 1;
        x.value = utf8(at(f));
    } else {
        x.start = x.end = 0;
        x.value.clear();
    }
    ++found_;
    out_->add(x);
}

int SubmissionChecker::check(long line, std::string_view record, FindingSink& out) {
    line_ = line;
    record_ = record.substr(0, kRecordLength);
    out_ = &out;
    found_ = 0;
    switch (record_.size() == kRecordLength ? record_.back() : ' ') {
    case '0':
        checkSender();
        break;
    case '3':
        checkFormHeader();
        break;
    case '5':
        checkInsured();
        break;
    case '7':
        checkFormEnd();
        break;
    case '9':
        checkFileEnd();
        break;
    default:
        break;
    }
    out_ = nullptr;
    return found_;
}

void SubmissionChecker::checkSender() {
    const SenderFields& f = senderFields();
    name_ = "Slog tipa 0";
    if (!blankOrZeros(at(f.rez1)))
        add("MV0REZ1", 'F', "SL0:MV0REZ1 mora biti prazno ili 000000000000", f.rez1);
    if (!CheckIdentifierLoose(at(f.iboo)))
        add("MV0IBOO", 'F', "Pogrešan Identifikacijski broj ovlaštene osobe", f.iboo);
    if (isBlank(at(f.nazo)))
        add("MV0NAZO", 'U', "Naziv ili prezime i ime ovlaštene osobe mora biti popunjeno", f.nazo);
    if (isBlank(at(f.adob)))
        add("MV0ADOB", 'U', "Adresa ovlaštene osobe mora biti popunjena", f.adob);
    if (isBlank(at(f.osob))) add("MV0OSOB", 'U', "Osoba za kontakt mora biti popunjena", f.osob);
    if (!numericOfLength(at(f.dtmn), 8))
        add("MV0DTMN", 'F', "Datum nije numerik=" + utf8(at(f.dtmn)), f.dtmn);
    if (!dateInRange(at(f.dtmn), today_))
        add("MV0DTMN", 'F', "Pogrešan datum slanja sloga", f.dtmn);
    if (at(f.ofor) != "MZ500") add("MZ0OFOR", 'U', "Pogrešna oznaka formata ", f.ofor);
}

void SubmissionChecker::checkFormHeader() {
    const HeaderFields& f = headerFields();
    ++type3Count_;
    type5Count_ = 0;
    name_ = "Slog tipa 3";
    if (!blankOrZeros(at(f.rez1)))
        add("MV3REZ1", 'F', "SL3:MV3REZ1 mora biti prazno ili 000000000000", f.rez1);
    if (!CheckIdentifierLoose(at(f.iboo)))
        add("MV3IBOO", 'F', "Pogrešan Identifikacijski broj obveznika", f.iboo);
    const bool periodNumeric = numericOfLength(at(f.mmgg), 6);
    if (!periodNumeric)
        add("MV3MMGG", 'F', "Tip sloga 3. - obračunska godina i mjesec nisu numerik", f.mmgg);
    else if (wholeNumber(at(f.mmgg).substr(2, 4)) < 2005)
        add("MV3MMGG", 'F', "Tip sloga 3. - Obračunska godina mora biti veća od 2004.", f.mmgg);
    if (!numericOfLength(at(f.igmm), 6))
        add("MV3IGMM", 'F', "Tip sloga 3. - Godina i mjesec isplate mora biti numerik", f.igmm);

    name_.assign(at(f.naob));
    if (isBlank(at(f.naob)))
        add("MV3NAOB", 'F', "Naziv ili prezime i ime obveznika osobe ne smije biti prazna", f.naob);
    if (isBlank(at(f.adob))) add("MV3ADOB", 'U', "Adresa obveznika ne smije biti prazna", f.adob);
    if (!lookups_.hasPayerType(at(f.vrob)))
        add("MV3VROB", 'F', "Nepoznata vrsta obveznika", f.vrob);
    if (!periodNumeric) add("MV3MMGG", 'F', "Mjesec i godina nisu numerik", f.mmgg);
    if (!lookups_.hasCalculationType(at(f.vroi)))
        add("MV3VROI", 'F', "Nepoznata vrsta uplate", f.vroi);
    if (!numericOfLength(at(f.bros), 5))
        add("MV3BROS", 'F', "Broj osiguranika mora biti numerik", f.bros);
    static constexpr std::string_view codes[] = {"MV3IBRT", "MV3IOSN", "MV3IST1", "MV3IST2",
                                                 "MV3INET"};
    static constexpr std::string_view messages[] = {
        "Obračunati mjesečni iznos mora biti numerik",
        "Osnovica za obračun doprinosa mora biti numerik", "Doprinos za I. stup mora biti numerik",
        "Doprinos za II. stup mora biti numerik", "Iznos neto isplate mora biti numerik"};
    for (int i = 0; i < 5; ++i) {
        const std::string_view amount = at(f.amounts[i]);
        if (!isNumeric(amount.substr(1)) || clipRight(amount).size() < 14)
            add(codes[i], 'F', std::string(messages[i]), f.amounts[i]);
    }

    // The form's values for its type-5 and type-7 records.
    payerType_.assign(at(f.vrob));
    calculationType_.assign(at(f.vroi));
    period_.assign(at(f.mmgg));
    payerName_.assign(at(f.naob));
    formNumber_.assign(at(f.idob));
    for (int i = 0; i < 5; ++i) {
        totals_[i] = readAmount(at(f.amounts[i])).units();
        sums_[i] = 0;
    }
    remembered_ = PreviousAmounts{};
    previousPerson_.clear();
}

void SubmissionChecker::ruleFinding(std::string_view code, std::string_view prefix, RuleField rule,
                                    std::string_view ruleCode, const Combination& c,
                                    const RecordField* f) {
    add(code, 'F', composeRuleMessage(prefix, rule, ruleCode, c), f);
}

void SubmissionChecker::checkInsured() {
    const InsuredFields& f = insuredFields();
    ++type5Count_;
    const std::string_view person = at(f.iboo);
    const std::string_view basis = at(f.osob).substr(0, 2);
    const std::string_view mark = at(f.osob).substr(2, 1);
    RowValues row;
    row.dayFrom = wholeNumber(at(f.razd).substr(0, 2));
    row.dayTo = wholeNumber(at(f.razd).substr(2, 2));
    const std::string_view period = period_.empty() ? std::string_view("      ") : period_;
    row.month = wholeNumber(period.substr(0, 2));
    row.year = wholeNumber(period.substr(2, 4));
    std::array<Decimal, 5> amounts;
    for (int i = 0; i < 5; ++i)
        amounts[i] = readAmount(at(f.amounts[i]));
    row.gross = amounts[0];
    row.base = amounts[1];
    row.pillar1 = amounts[2];
    row.pillar2 = amounts[3];
    row.net = amounts[4];

    // Same-person memory: the positive amounts of consecutive records of one person.
    if (person != previousPerson_) remembered_ = PreviousAmounts{};
    remembered_.takePositive(row);
    previousPerson_.assign(person);

    name_.assign(person);
    name_ += ' ';
    name_.append(at(f.impr));

    if (!isNumeric(at(f.rbro))) {
        name_ = "Slog tipa 5";
        add("MV5RBOO", 'F', "Redni broj osiguranika mora biti numerik.", f.rbro);
    }
    if (!CheckIdentifierLoose(person)) {
        name_ = "Slog tipa 5";
        add("MV5IBOO", 'F', "OIB je pogrešan.", f.iboo);
    }
    if (isBlank(at(f.impr)))
        add("MV5IMPR", 'U', "Prezime i ime osiguranika je obavezan podatak", f.impr);
    if (!lookups_.hasMunicipality(at(f.grop)))
        add("MV5GROP", 'U', "Nepoznata općina osiguranika", f.grop);
    if (!lookups_.hasInsuranceBasis(basis))
        add("MV5OSOB", 'F', "Pogrešna osnova osiguranja", f.osob);
    if (!lookups_.hasServiceMark(mark))
        add("MV5OSOB", 'F', "Pogrešna oznaka uvećanog staža", f.osob);
    static constexpr std::string_view codes[] = {"MV5IBRT", "SL5:MV5IOSN", "MV5IST1", "MV5IST2",
                                                 "MV5INET"};
    static constexpr std::string_view messages[] = {
        "Obračunati mjesečni iznos mora biti numerik",
        "Osnovica za obračun doprinosa za MO mora biti numerik",
        "Uplaćeni iznos za doprinose za MO I. stup mora biti numerik",
        "Uplaćeni iznos doprinosa za MO II. stup mora biti numerik",
        "Neto iznos mora biti numerik"};
    for (int i = 0; i < 5; ++i)
        if (!isNumeric(at(f.amounts[i]).substr(1)))
            add(codes[i], 'F', std::string(messages[i]), f.amounts[i]);

    // The control table's rules for the combination of the form and the person.
    const std::string_view vob = payerType_.empty() ? std::string_view("  ") : payerType_;
    const std::string_view voi =
        calculationType_.empty() ? std::string_view("  ") : calculationType_;
    const Combination searched{std::string(vob), std::string(voi), std::string(basis)};
    const ControlEntry* rule = lookups_.controlRule(searched);
    if (!rule)
        add("MV5OSOB", 'F',
            "Tip sloga 5. Pogrešan OO za obveznika = " + utf8(vob) + " VOI=" + utf8(voi), f.osob);
    // Without a row the checks run with the searched values and no limits.
    static const RuleLimits none = noLimits();
    const Combination& c = rule ? rule->combination : searched;
    const RuleLimits& limits = rule ? rule->limits : none;

    if (auto x = checkRuleValue(limits, RuleField::Month, Decimal::fromInteger(row.month), c))
        ruleFinding("MV3MMGG", "Tip sloga 5. - obračunski mjesec mora biti ", RuleField::Month,
                    x->code, c, nullptr);
    const auto dayCheck = [&](RuleField bound, int day, std::string_view prefix) {
        if (auto x = checkRuleValue(limits, bound, Decimal::fromInteger(day), c)) {
            ruleFinding("MV5RAZD", prefix, bound, x->code, c, f.razd);
        } else if (row.month > 0 && !CheckDayOfMonth(row.year, row.month, day)) {
            ruleFinding("MV5RAZD", prefix, bound, limits.code(bound), c, f.razd);
        }
    };
    dayCheck(RuleField::DayFrom, row.dayFrom, "Tip sloga 5. - Greška - razdoblje od mora biti ");
    dayCheck(RuleField::DayTo, row.dayTo, "Tip sloga 5. - Greška - razdoblje do mora biti ");
    const auto amountCheck = [&](RuleField rf, int i, std::string_view code,
                                 std::string_view prefix) {
        if (auto x = checkRuleValue(limits, rf, amounts[i], c, remembered_))
            ruleFinding(code, prefix, rf, x->code, c, f.amounts[i]);
    };

    // Contributions computed from the rates of the form, person and membership.
    const RateChoice choice{row.pillar2.sign() > 0 ? "D" : "N", voi, vob, basis, mark};
    const Contributions computed = computedOrZero(lookups_.rates(choice), row.base);
    const EnteredContributions entered{row.base, row.pillar1, row.pillar2};
    const auto difference = [&](DifferenceCheck check, const RecordField* at) {
        if (auto d =
                contributionDifference(DifferenceCaller::FormalControl, check, entered, computed))
            add(d->column, d->error ? 'F' : 'U', std::move(d->message), at);
    };

    amountCheck(RuleField::Gross, 0, "MV5IBRT",
                "Tip sloga 5. - Iznos obračunane plaće (IV.7) mora biti ");
    amountCheck(RuleField::Base, 1, "MV5IOSN", "Tip sloga 5. - Osnovica za doprinose mora biti ");
    amountCheck(RuleField::Pillar1, 2, "MV5IST1",
                "Tip sloga 5. - Iznos doprinosa za I. stup mora biti ");
    difference(DifferenceCheck::Pillar1, f.amounts[2]);
    amountCheck(RuleField::Pillar2, 3, "MV5IST2",
                "Tip sloga 5. - Iznos doprinosa za II.stup mora biti ");
    difference(DifferenceCheck::Pillar2, f.amounts[3]);
    difference(DifferenceCheck::Total, f.amounts[3]);
    amountCheck(RuleField::Net, 4, "MV5INET", "Tip sloga 5. - Iznos isplaćene plaće mora biti ");

    for (int i = 0; i < 5; ++i)
        sums_[i] += amounts[i].units();
}

void SubmissionChecker::checkFormEnd() {
    const FormEndFields& f = formEndFields();
    name_ = payerName_;
    if (!blankOrZeros(at(f.rez1))) {
        name_ = "Slog tipa 7";
        add("MV7REZ1", 'F', "SL7REZ1 mora biti prazno ili 00000000000", f.rez1);
    }
    if (!CheckIdentifierLoose(at(f.iboo))) {
        name_ = "Slog tipa 7";
        add("MV7IBOO", 'F', "Pogrešan Identifikacijski broj obveznika", f.iboo);
    }
    const std::string_view form = formNumber_.empty() ? std::string_view("    ") : formNumber_;
    if (at(f.idob) != form)
        add("MV7IDOB", 'F', "Identifikator nije jednak Identifikatoru u slogu tipa 3", f.idob);
    if (!numericOfLength(at(f.brsl), 5)) {
        add("MV7BRSL", 'F', "Broj slogova nije numerik", f.brsl);
    } else {
        const double count = numericValue(at(f.brsl));
        if (count != static_cast<double>(type5Count_))
            add("MV7BRSL", 'F',
                "Broj slogova tipa 5 nije jednak broju upisanih slogova " +
                    five(std::llround(count)) + " " + five(type5Count_),
                f.brsl);
    }
    const std::string_view date = at(f.dtrs);
    if (!isNumeric(date) && clipRight(date).size() == 8)
        add("MV7DTRS", 'F', "Pogrešan datum formiranja ", f.dtrs);
    else if (!dateInRange(date, today_))
        add("MV7DTRS", 'F', "Datum formiranja je pogrešan", f.dtrs);

    static const Picture fourDecimals = *Picture::parse("N15`4");
    static const Picture twoDecimals = *Picture::parse("n15.2");
    struct Total {
        const char* code;
        char kind;
        const char* total;
        const char* sum;
        const Picture& picture;
    };
    static const Total totals[] = {
        {"MV3DIOI", 'U', "III.1", "IV.7", fourDecimals},
        {"MV3IOSN", 'F', "III.2", "IV.8", fourDecimals},
        {"MV3IST1", 'F', "III.3", "IV.9", twoDecimals},
        {"MV3IST2", 'F', "III.4", "IV.10", twoDecimals},
        {"MV3INET", 'F', "III.5", "IV.11", twoDecimals},
    };
    for (int i = 0; i < 5; ++i) {
        if (static_cast<__int128>(totals_[i]) == sums_[i]) continue;
        const Total& t = totals[i];
        add(t.code, t.kind,
            fmt::format("Zbroj {} ne odgovara sumi {} tj. {}={} - Suma {}={}", t.total, t.sum,
                        t.total, sumText(t.picture, totals_[i]), t.sum,
                        sumText(t.picture, sums_[i])),
            nullptr);
    }
}

void SubmissionChecker::checkFileEnd() {
    const FileEndFields& f = fileEndFields();
    name_ = payerName_;
    if (!blankOrZeros(at(f.rez1))) {
        name_ = "Slog tipa 9";
        add("MV9REZ1", 'F', "SL9REZ1 mora biti prazno ili 000000000000", f.rez1);
    }
    if (!CheckIdentifierLoose(at(f.iboo))) {
        name_ = "Slog tipa 9";
        add("MV9IBOO", 'F', "Pogrešan Identifikacijski broj ovlaštene osobe", f.iboo);
    }
    const std::string_view date = at(f.dtmn);
    if ((!isNumeric(date) && clipRight(date).size() == 8) || !dateInRange(date, today_))
        add("MV9DTMN", 'F', "Pogrešan datum formiranja sloga", f.dtmn);
    if (!numericOfLength(at(f.broj), 6))
        add("MV9BROJ", 'U', "Broj podataka nije numerik", f.broj);
    else if (numericValue(at(f.broj)) != static_cast<double>(type3Count_))
        add("MV9BROJ", 'U', "Broj slogova tipa 3 nije identičan podatku MV9BROJ", f.broj);
}

} // namespace mvz
