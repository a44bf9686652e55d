#include "support/demo_installation.h"

#include "base/day_number.h"
#include "setup/initialize.h"

namespace mvz::test {

std::int32_t demoToday() {
    return dayNumber(2026, 12, 10);
}

bool installDemo(const std::string& dir, ErrorReporter& errors) {
    InitOptions init;
    init.demo = true;
    init.today = demoToday();
    return initializeDataDirectory(dir, errors, init).ok;
}

FormingRequest demoFormingRequest() {
    FormingRequest rq;
    rq.payer = 1;
    rq.calculationType = "01";
    rq.year = 2026;
    rq.month = 12;
    rq.firstDay = 1;
    rq.lastDay = 31;
    rq.payYear = 2026;
    rq.payMonth = 12;
    rq.sequence = 50;
    rq.sendingDate = demoToday();
    rq.mode = SendingMode::Single;
    return rq;
}

} // namespace mvz::test
