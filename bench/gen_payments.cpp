// Writes a payment-data file of the demo payer (see `mvz init --demo`) for
// trying and measuring the payment-data check.
//
// Usage: gen_payments OUT [lines [year month [other-payer-every [faulty-every]]]]
// (default 200,000 lines for December 2026, every line of the demo payer, none faulty)

#include <cstdio>
#include <cstdlib>

#include "payment_file.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: gen_payments OUT [lines [year month [other-payer-every "
                             "[faulty-every]]]]\n");
        return 2;
    }
    mvz::bench::PaymentFilePlan plan;
    if (argc > 2) plan.lines = std::atol(argv[2]);
    if (argc > 4) {
        plan.year = std::atoi(argv[3]);
        plan.month = std::atoi(argv[4]);
    }
    if (argc > 5) plan.otherPayerEvery = std::atol(argv[5]);
    if (argc > 6) plan.faultyEvery = std::atol(argv[6]);
    if (!mvz::bench::writePaymentFile(argv[1], plan)) {
        std::fprintf(stderr, "gen_payments: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s: %ld lines\n", argv[1], plan.lines);
    return 0;
}
