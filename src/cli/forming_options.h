#pragma once
// The options that stand for the forming window's values, shared by
// `mvz form` and `mvz payments form`: declaring them, turning them into a
// forming request with the window's field checks and defaults, and printing
// the result.

#include <cstdint>
#include <iosfwd>
#include <string>

#include "submission/forming.h"

namespace CLI {
class App;
}

namespace mvz {

class Tables;

struct FormingOptions {
    int payer = 0;
    std::string type, year, month, from, to, payYear, payMonth, date, mode;
    int seq = -1;
    bool append = false;
};

// How the period defaults when --from/--to are left out: 0 to 0 (the
// window's empty fields) or the whole month.
enum class PeriodDefault { Zero, WholeMonth };

// Declares --payer --type --year --month --from --to --pay-year --pay-month
// --seq --date --mode --append on the command.
void addFormingOptions(CLI::App* command, FormingOptions& o, bool yearAndMonthRequired,
                       PeriodDefault period);

// The request the window would make, after its field checks in the order the
// fields are accepted. Returns "" or the message of the first check that fails.
// Throws UsageError for a sending date that is not DD.MM.YYYY.
std::string formingRequestFrom(const FormingOptions& o, PeriodDefault period, Tables& tables,
                               FormingRequest& request);

void printFormingResult(std::ostream& out, const FormingResult& r);

// A sending date typed as DD.MM.YYYY; today when empty. Throws UsageError.
std::int32_t readSendingDate(const std::string& text);

} // namespace mvz
