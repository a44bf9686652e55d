#pragma once
// Writing realistic payment-data files (194-character lines, CR LF) for the
// generator and the benchmark: persons of one payer with valid OIBs, known
// municipality, basis and mark codes, contributions computed at 15% and 5%
// of the base, and optionally lines of another payer or with an unknown
// municipality mixed in.

#include <cstdio>
#include <fstream>
#include <string>

namespace mvz::bench {

struct PaymentFilePlan {
    long lines = 200000;
    std::string payerMb = "            ";  // MB: business number and unit (12)
    std::string payerId = "  81773745505"; // MB2, the demo payer's OIB
    std::string payerType = "31";
    std::string type = "01";
    int year = 2026;
    int month = 12;
    long otherPayerEvery = 0; // every n-th line belongs to another payer (0: none)
    long faultyEvery = 0;     // every n-th line has an unknown municipality (0: none)
};

// An OIB (11 digits, ISO 7064 MOD 11,10) made from n, stored after two blanks.
inline std::string oibFrom(long n) {
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

// Sign position and 14 digits with two implied decimals.
inline std::string paymentAmount(long long cents) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%c%014lld", cents < 0 ? '-' : '+', cents < 0 ? -cents : cents);
    return buf;
}

inline std::string fit(const std::string& text, std::size_t width) {
    std::string out = text.substr(0, width);
    out.resize(width, ' ');
    return out;
}

inline bool writePaymentFile(const std::string& path, const PaymentFilePlan& plan) {
    static const char* const surnames[] = {"Horvat", "Kovacevic", "Babic",    "Maric",   "Juric",
                                           "Novak",  "Kovacic",   "Knezevic", "Vukovic", "Tomic"};
    static const char* const names[] = {"Ivan", "Ana", "Marko", "Petra", "Luka", "Iva"};
    static const char* const municipalities[] = {"1333", "5509"};
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    char head[64];
    std::string line;
    for (long i = 0; i < plan.lines; ++i) {
        const bool other = plan.otherPayerEvery > 0 && i % plan.otherPayerEvery == 0;
        const bool faulty = plan.faultyEvery > 0 && i % plan.faultyEvery == 1;
        const long long base = 300000 + (i % 500) * 1000; // 3,000.00 to 7,990.00
        line.clear();
        std::snprintf(head, sizeof head, "%05ld", (i + 1) % 100000);
        line += head;
        line += fit(plan.payerMb, 12);
        line += other ? oibFrom(900000 + i % 7) : plan.payerId;
        line += plan.payerType + plan.type;
        line += "0001";
        std::snprintf(head, sizeof head, "%04d%02d0130", plan.year, plan.month);
        line += head;
        line += oibFrom(i);
        line +=
            fit(std::string(surnames[i % 10]) + " " + names[i % 6] + " " + std::to_string(i), 50);
        line += faulty ? "9999" : municipalities[i % 2];
        line += "D010";
        line += paymentAmount(base);            // IV.7 gross
        line += paymentAmount(base);            // IV.8 base
        line += paymentAmount(base * 15 / 100); // IV.9 pillar I
        line += paymentAmount(base * 5 / 100);  // IV.10 pillar II
        line += paymentAmount(base * 72 / 100); // IV.11 net
        line += "\r\n";
        out << line;
    }
    return static_cast<bool>(out.flush());
}

} // namespace mvz::bench
