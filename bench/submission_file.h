#pragma once
// Writing realistic submission files (250-character records, CR LF) for the
// generator and the benchmark: one type-0 record, `forms` forms of a payer
// of type 31 with calculation type 01, each a type-3 record, its share of the
// type-5 records and a type-7 record, and a type-9 record. Persons have valid
// OIBs, known municipality, basis and mark codes, pay between 800 and 20,000,
// contributions at 15% and 5% of the base, and each form's totals and counts
// agree with its records, so the formal control finds nothing against the
// demo installation's tables. Records are built by the domain core.

#include <cstdio>
#include <fstream>
#include <string>

#include "base/day_number.h"
#include "base/decimal.h"
#include "submission/record_format.h"

namespace mvz::bench {

struct SubmissionFilePlan {
    long forms = 20;
    long insured = 999958; // type-5 records over all forms (at most 99,999 per form)
    CivilDate sendingDate{2026, 12, 10};
    int year = 2026;
    int month = 12;
};

// An OIB (11 digits, ISO 7064 MOD 11,10) made from n, stored after two blanks.
inline std::string submissionOib(long n) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%010ld", 1000000000L + n % 9000000000L);
    int rest = 10;
    for (int i = 0; i < 10; ++i) {
        rest = (rest + (digits[i] - '0')) % 10;
        if (rest == 0) rest = 10;
        rest = rest * 2 % 11;
    }
    const int control = (11 - rest) % 10;
    return std::string("  ") + digits + static_cast<char>('0' + control);
}

// The total lines of a file of the plan.
inline long long submissionLines(const SubmissionFilePlan& plan) {
    return 2 + 2 * plan.forms + plan.insured;
}

inline bool writeSubmissionFile(const std::string& path, const SubmissionFilePlan& plan) {
    static const char* const surnames[] = {"Horvat", "Kovačević", "Babić",    "Marić",   "Jurić",
                                           "Novak",  "Kovačić",   "Knežević", "Vuković", "Tomić"};
    static const char* const names[] = {"Ivan", "Ana", "Marko", "Petra", "Luka", "Iva"};
    static const char* const municipalities[] = {"1333", "5509", "0493", "1830"};
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out || plan.forms < 1) return false;
    const auto put = [&](const BuiltLine& line) {
        if (!line.ok()) return false;
        out << line.line << "\r\n";
        return true;
    };
    const auto money = [](long long cents) { return Decimal::fromUnits(cents, 2); };

    SenderRecord sender;
    sender.MV0IBOO = submissionOib(7);
    sender.MV0NAZO = "Knjigovodstveni servis Lipa d.o.o.";
    sender.MV0ADOB = "Ilica 212, 10000 Zagreb";
    sender.MV0OSOB = "Ivana Babić";
    sender.MV0DTMN = plan.sendingDate;
    if (!put(buildLine(sender))) return false;

    unsigned long long seed = 88172645463325252ULL;
    const auto next = [&seed] {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
        return seed;
    };
    long person = 0;
    for (long form = 0; form < plan.forms; ++form) {
        const long rows = plan.insured / plan.forms + (form < plan.insured % plan.forms ? 1 : 0);
        // The records of the form first, to know its totals: written into a
        // buffer of lines, at most 99,999 of them.
        std::string body;
        long long totals[5] = {};
        std::string previous;
        long long persons = 0;
        for (long i = 0; i < rows; ++i) {
            InsuredRecord r;
            // Now and then a person has a second row for the same period.
            if (i == 0 || next() % 10 != 0) ++person;
            r.MV5IBOO = submissionOib(1000 + person);
            if (r.MV5IBOO != previous) ++persons;
            previous = r.MV5IBOO;
            r.MV5RBRO = persons;
            r.MV5IMPR = std::string(surnames[person % 10]) + " " + names[person % 6];
            r.MV5GROP = municipalities[person % 4];
            r.MV5OSOB = "010";
            r.MV5RAZD = {1, daysInMonth(plan.year, plan.month)};
            const long long gross = 80000 + static_cast<long long>(next() % 1920000);
            const long long pillar1 = (gross * 15 + 50) / 100;
            const long long pillar2 = (gross * 5 + 50) / 100;
            const long long net = gross - pillar1 - pillar2 - gross / 10;
            const long long amounts[5] = {gross, gross, pillar1, pillar2, net};
            r.MV5IBRT = money(gross);
            r.MV5IOSN = money(gross);
            r.MV5IST1 = money(pillar1);
            r.MV5IST2 = money(pillar2);
            r.MV5INET = money(net);
            for (int k = 0; k < 5; ++k)
                totals[k] += amounts[k];
            const BuiltLine line = buildLine(r, PositiveSign::Zero);
            if (!line.ok()) return false;
            body += line.line;
            body += "\r\n";
        }
        FormHeaderRecord h;
        h.MV3IBOO = submissionOib(500 + form);
        h.MV3IDOB = 50 + static_cast<int>(form % 9950);
        h.MV3NAOB = "Tehnoservis Sava d.o.o. " + std::to_string(form + 1);
        h.MV3ADOB = "Radnička cesta 47, 10000 Zagreb";
        h.MV3VROB = 31;
        h.MV3MMGG = {plan.month, plan.year};
        h.MV3VROI = 1;
        h.MV3BROS = persons;
        h.MV3IBRT = money(totals[0]);
        h.MV3IOSN = money(totals[1]);
        h.MV3IST1 = money(totals[2]);
        h.MV3IST2 = money(totals[3]);
        h.MV3INET = money(totals[4]);
        h.MV3IGMM = {plan.year, plan.month};
        if (!put(buildLine(h, PositiveSign::Zero))) return false;
        out << body;
        FormEndRecord e;
        e.MV7IBOO = h.MV3IBOO;
        e.MV7IDOB = h.MV3IDOB;
        e.MV7BRSL = rows;
        e.MV7DTRS = plan.sendingDate;
        if (!put(buildLine(e))) return false;
    }
    FileEndRecord end;
    end.MV9IBOO = sender.MV0IBOO;
    end.MV9DTMN = plan.sendingDate;
    end.MV9BROJ = plan.forms;
    if (!put(buildLine(end))) return false;
    out.close();
    return static_cast<bool>(out);
}

} // namespace mvz::bench
