#pragma once
// The options that stand for the forming window's values, shared by
// `mvz form` and `mvz payments form`: declaring them, turning them into a
// forming request with the window's field checks and defaults, and printing
// the result.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "submission/forming.h"

namespace CLI {
class App;
}

namespace mvz {

class Tables;

struct FormingOptions {
    int payer = 0;
    std::string payers; // a command that forms several payers: "1", "1,2,7" or "all"
    std::string type, year, month, from, to, payYear, payMonth, date, mode;
    int seq = -1;
    bool append = false;
};

// Declares --payer --type --year --month --from --to --pay-year --pay-month
// --seq --date --mode --append on the command. With `severalPayers`, --payer
// takes a list of payer numbers or "all" (into FormingOptions::payers).
void addFormingOptions(CLI::App* command, FormingOptions& o, bool yearAndMonthRequired,
                       bool severalPayers = false);

// The values every payer's request shares (all but the payer and the
// sequence number), after the window's field checks in the order the fields
// are accepted. Returns "" or the message of the first check that fails.
// Throws UsageError for a sending date that is not DD.MM.YYYY.
std::string commonFormingRequest(const FormingOptions& o, FormingRequest& request);

// The request for the one payer of --payer: the common values, the payer and
// the sequence number (--seq, or the payer's last + 1). Returns "" or the
// message of the first check that fails ("Poslodavac rednog broja N ne
// postoji" for a payer that is not there).
std::string formingRequestFrom(const FormingOptions& o, Tables& tables, FormingRequest& request);

// The payer numbers of --payer ("1,2,7"); empty for "all". Throws UsageError
// for anything else.
std::vector<int> payerList(const std::string& text);

void printFormingResult(std::ostream& out, const FormingResult& r);

// A sending date typed as DD.MM.YYYY; today when empty. Throws UsageError.
std::int32_t readSendingDate(const std::string& text);

} // namespace mvz
