#pragma once
// Forming the submission file of one payer and month ("&Obrada obveznika" of
// the forming window "Formiranje obrazaca M-Vz"): the form's page-B rows are
// rebuilt from the payer's employee rows, page A is built, the file of
// records is written to TBZOVAK.TXT and its mirror files, its digest becomes
// the control mark of page A, the file is copied to the payer file in the
// output folder, and the form is entered in the collective list.
//
// The rebuild is one transaction: when the run stops at any step, the form
// keeps exactly the page-B rows and page A it had, the payer its last number
// and the collective list its rows, and the payer file stays as it was. The
// payer file changes together with the commit (see FileSwap), so a run killed
// at any moment leaves the form and its file agreeing once the next run or
// the next start of the program has settled what it left. The reporter's
// cancel request (Ctrl-C on the command line) stops the run the same way.

#include <array>
#include <cstdint>
#include <string>

#include "base/decimal.h"

namespace mvz {

class Tables;

enum class SendingMode { Unset, Single, Collective };
enum class CollectiveJob { NewFile, AddToFile };

// The values of the forming window.
struct FormingRequest {
    int payer = 0;               // POS:REDBROJ
    std::string calculationType; // VOI
    int year = 0;
    int month = 0;
    int firstDay = 0;
    int lastDay = 0;
    int payYear = 0;
    int payMonth = 0;
    int sequence = 0;             // form sequence number
    std::int32_t sendingDate = 0; // day number
    SendingMode mode = SendingMode::Unset;
    CollectiveJob job = CollectiveJob::NewFile;
};

struct FormingResult {
    bool done = false;
    std::string formIdentifier;
    std::string linkKey;
    std::string payerFile;
    std::string controlMark; // grouped, as stored on page A
    std::string mz0Target;   // where the copy window offers to copy the file
    long long persons = 0;
    long long rows = 0;
    long long sheets = 0;
    std::array<Decimal, 5> totals{}; // IZNOS7..IZNOS11 of page A
};

// The checks of the forming window's fields, each returning the message the
// window shows, or "" when the value passes. The same checks run again when
// the payer is processed.
std::string checkFormingYear(const std::string& text);
std::string checkFormingMonth(const std::string& text, const std::string& calculationType);
std::string checkFormingDay(const std::string& text, int year, int month);
std::string checkPayYear(const std::string& text);
std::string checkPayMonth(const std::string& text);
std::string checkSequence(int sequence);

// The title of the forming window's message boxes.
inline constexpr const char* kFormingTitle = "Formiranje obrazaca M-Vz";

// Processes one payer. Every message, status text and question goes through
// the reporter of the tables' error reporter.
FormingResult formPayer(Tables& tables, const FormingRequest& request);

} // namespace mvz
