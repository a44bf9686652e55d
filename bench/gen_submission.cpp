// Writes a realistic submission file for trying the formal control on large
// input: N forms and M type-5 records in all (see submission_file.h).
//
// Usage: gen_submission FILE [forms [type-5 records]]   (default 20 forms,
// 999,958 type-5 records: a file of 1,000,000 lines)

#include <cstdio>
#include <cstdlib>

#include "submission_file.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: gen_submission FILE [forms [type-5 records]]\n");
        return 2;
    }
    mvz::bench::SubmissionFilePlan plan;
    if (argc > 2) plan.forms = std::atol(argv[2]);
    if (argc > 3) plan.insured = std::atol(argv[3]);
    const mvz::CivilDate today = mvz::civilDate(mvz::todayDayNumber());
    plan.sendingDate = today;
    plan.year = today.year;
    plan.month = today.month;
    if (plan.forms < 1 || plan.insured < 0 || plan.insured > plan.forms * 99999L) {
        std::fprintf(stderr, "gen_submission: 1 or more forms of at most 99,999 type-5 records\n");
        return 2;
    }
    if (!mvz::bench::writeSubmissionFile(argv[1], plan)) {
        std::fprintf(stderr, "gen_submission: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s: %lld lines, %ld forms, %ld type-5 records\n", argv[1],
                mvz::bench::submissionLines(plan), plan.forms, plan.insured);
    return 0;
}
