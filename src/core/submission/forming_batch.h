#pragma once
// A bureau forms many payers at once: each payer's form for the same month
// and calculation type, one after another, into one collective list. Each
// payer is formed all or nothing on its own (formPayer); one refused payer
// leaves the others formed. The result names every payer with what became
// of it, for the command line's summary and the desktop's table of the
// processed payers.
//
// The list starts as the request says (a new list, or added to); once one
// payer has been formed, the next ones are added to the same list, as the
// forming window switches to "Dodaj u file" after its first payer. A payer
// refused before anything was formed leaves the list as it was.

#include <string>
#include <vector>

#include "submission/forming.h"

namespace mvz {

class Tables;

enum class PayerOutcome {
    Formed,  // the payer file is written and on the list
    NoRows,  // the payer has no employee rows for the month, period and type
    Refused, // a check or a failure stopped it; the message says which
};

// The outcome as the table of processed payers shows it.
const char* payerOutcomeText(PayerOutcome outcome);

struct PayerFormingResult {
    int payer = 0;
    std::string payerName; // POS:NAZIV (UTF-8), blank when there is no such payer
    PayerOutcome outcome = PayerOutcome::Refused;
    // Formed: the status "OBVEZNIK JE USPJEŠNO OBRAĐEN-" + payer file; else
    // the message that stopped the payer (UTF-8).
    std::string message;
    FormingResult forming; // the file, control mark and totals when formed
};

struct BatchFormingRequest {
    // The window's values; payer and sequence number are set for each payer.
    FormingRequest form;
    // The payers in the order to form them; empty: every payer of TBPOSLOD in
    // number order.
    std::vector<int> payers;
    // Use form.sequence for every payer; otherwise each payer's last
    // sequence number + 1 (POS:IDENTIFIKATOR), as the window proposes.
    bool sequenceGiven = false;
};

struct BatchFormingResult {
    std::vector<PayerFormingResult> payers;
    bool allFormed() const;
    // Whether any payer was refused (a payer without rows is not refused).
    bool anyRefused() const;
};

// "Poslodavac rednog broja N ne postoji".
std::string missingPayerText(int payer);

// Forms the payers one by one. Messages, status texts and questions go to the
// reporter of the tables' error reporter, as for one payer; each payer runs
// on table objects of its own over the same data directory.
BatchFormingResult formPayers(Tables& tables, const BatchFormingRequest& request);

} // namespace mvz
