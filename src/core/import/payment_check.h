#pragma once
// The payment-data input check ("&Kontrola podataka" of the window "Kontrola
// ulaznih podataka"): a payment-data file from an employer's own payroll
// program is copied to TBUPLATE.DAT in the working folder and read line by
// line. Every line becomes a TBOSIGU3 row; the lines of the chosen payer,
// payment type, accounting year and month and period (the selection) are
// checked (see payment_line_checks.h), and each correct one becomes a
// TBOSIGU2 row with four-decimal amounts; every finding becomes a TBGRESKE
// row with a copy of the line's fields.
//
// Selection: characters 1-8 and 9-12 of the line's MB equal the payer's
// business number and unit, its MB2 equals the payer's identifier, its year
// and month equal the chosen ones and both period days lie within the chosen
// first and last day (all compared as numbers), and its payment type equals
// the chosen one written as two digits. A line whose payer identifier fails
// the lenient check gets the finding "ID broj obveznika nije korektan" and
// does not belong to the selection.
//
// The same person's remembered amounts (a zero amount passes a rule that
// wants more than zero when the same person's earlier line paid more) are
// kept over all lines read, selected or not, in file order.
//
// The run holds its work copy TBUPLATE.DAT from the copy to the last line (a
// second run meanwhile is refused with "Greška. Open TBUPLATE Access
// Denied"), and reads every line: only a Ctrl-Z that is the file's last byte
// ends it.
//
// The three result tables are emptied and refilled in one transaction: a run
// that stops (a precondition, a file that cannot be copied or read, a failed
// write) or is cancelled leaves them as the previous complete run left them.
// Status texts, progress (bytes of the copy read) and the cancel request go
// through the reporter of the tables' error reporter.

#include "import/finding.h"

#include <string>
#include <vector>

namespace mvz {

class Tables;

// The window's values.
struct PaymentCheckRequest {
    int payer = 0;               // POS:REDBROJ
    std::string calculationType; // "Vrsta uplate" (VOI); "1" is taken as "01"
    int year = 0;                // "Obračunska godina"
    int month = 0;               // "mjesec"
    int firstDay = 0;            // "Za razdoblje od"
    int lastDay = 0;             // " do "
    std::string file;            // "Ulazna datoteka " (UTF-8 path)
    int currentYear = 0;         // ends the control table's year rule (0: the clock's year)
};

// What the run was made for, as the summary shows it (UTF-8).
struct PaymentCheckSelection {
    std::string payerIdentifier; // "Identifikacijski broj firme"
    std::string payerName;
    std::string calculationType;
    std::string calculationTypeName;
    int year = 0;
    int month = 0;
    int firstDay = 0;
    int lastDay = 0;
};

struct PaymentCheckResult {
    bool done = false;          // the run went through every line and its tables were stored
    bool cancelled = false;     // the user stopped it; the tables are unchanged
    long linesRead = 0;         // "Ukupno obrađeno redaka"
    long selectedWrong = 0;     // "Podaci sa upozorenjima": selected lines marked wrong
    long selectedCorrect = 0;   // "Retci koji zadovoljavaju kontrolama"
    long findings = 0;          // rows meant for TBGRESKE (warnings included)
    long findingsNotStored = 0; // findings beyond the numbers TBGRESKE's running number holds
    bool anyFinding = false;
    PaymentCheckSelection selection;
};

// The title of the window's message boxes.
inline constexpr const char* kPaymentCheckTitle = "Kontrola ulaznih podataka";

// The field checks of the window, each returning the message it shows, or ""
// when the value passes.
std::string checkPaymentYear(const std::string& text);
std::string checkPaymentMonth(const std::string& text, const std::string& calculationType);
std::string checkPaymentDay(const std::string& text, int year, int month);

// Runs the check. `sink`, when given, receives every finding as it is made,
// also those TBGRESKE cannot hold (it sees them even when the run is later
// stopped or cancelled).
PaymentCheckResult checkPaymentData(Tables& tables, const PaymentCheckRequest& request,
                                    FindingSink* sink = nullptr);

// The summary window "Izvješće o obavljenoj obradi" as lines of text.
std::vector<std::string> paymentCheckSummary(const PaymentCheckResult& result);

} // namespace mvz
