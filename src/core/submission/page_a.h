#pragma once
// Page A of a form (TBOBRAZA): built from the payer (TBPOSLOD) and the form's
// page-B rows (TBOSIGUR with the form's link key), with the number of insured
// persons, the number of page-B sheets, the five control totals and the
// control mark; and, once the submission file's digest is known, the control
// mark stored in it.
//
// Status texts go to the reporter of the tables' error reporter, the status
// line of the forming window.

#include <optional>
#include <string>
#include <string_view>

#include "data/record.h"
#include "submission/form_id.h"
#include "submission/record_format.h"

namespace mvz {

class Tables;

// A:KONZNAK before the file's digest is known.
inline constexpr std::string_view kControlMarkPlaceholder =
    "1234567890-1234567890-1234567890-1234567890";

// Rows of one page-B sheet.
inline constexpr int kRowsPerSheet = 12;

// Sheets for a number of page-B rows: rows / 12 rounded up, at least 1.
long long sheetCount(long long rows);

// The values of the forming window that page A takes.
struct PageAInput {
    FormId form;
    int year = 0;     // calculation year
    int month = 0;    // calculation month (0 for the types without a month)
    int payYear = 0;  // pay-out year
    int payMonth = 0; // pay-out month
};

struct PageAResult {
    // False when the processing must stop: no page-B row was found ("Obrada
    // prekinuta. Preuzeto 0 redaka") or a total does not fit page A (a
    // message names it). Nothing is written then.
    bool built = false;
    long long rowsRead = 0;      // page-B rows of the form (MV7BRSL)
    std::optional<Record> pageA; // the page-A values as built, whenever built
    // False (with built) when adding or changing page A failed: "Greška " and
    // the error code were shown, and the values above stand in memory only.
    bool pageAWritten = false;
    // False when raising the payer's POS:IDENTIFIKATOR failed ("Greška " and
    // the error code were shown).
    bool payerWritten = true;
};

// Builds page A of a form and adds or changes its TBOBRAZA record:
// - persons: rows in OSI:KEYOBRGODMJE order, a new person at every change
//   of the identifier (PersonCounter);
// - sheets: sheetCount(rows);
// - totals: the sums of OSI:IZNOS7..11; a sum below zero is stored as 0;
// - A:KONZNAK: kControlMarkPlaceholder; A:MB01 and A:MB02 of an existing
//   record keep their values;
// - when the form's sequence number is above the payer's POS:IDENTIFIKATOR,
//   the payer record is changed to hold it.
// `payer` holds the payer's TBPOSLOD record. The tables OSI, A and POS are
// opened (and closed again) through `tables`; a caller that runs this inside
// a transaction opens them before the transaction begins.
PageAResult buildPageA(Tables& tables, const Record& payer, const PageAInput& input);

// The type-3 record of a form from its page A. nullopt, with *error set when
// given, when a code or a number of page A is not numeric.
std::optional<FormHeaderRecord> formHeaderOf(const Record& pageA, std::string* error = nullptr);

enum class ControlMarkResult {
    Stored,
    // No page A for the link key: the message "Greška kod ažuriranja SHA
    // broja (1)=" followed by the form identifier was shown.
    FormMissing,
    // Changing page A failed: the message "Greška kod ažuriranja SHA broja
    // (2)" was shown.
    ChangeFailed,
};

// Stores the digest of the form's submission file (40 characters) as the
// control mark of its page A, in four groups of ten joined by "-". Throws
// std::invalid_argument for a digest that is not 40 hexadecimal digits.
ControlMarkResult storeControlMark(Tables& tables, std::string_view linkKey,
                                   std::string_view digest);

} // namespace mvz
