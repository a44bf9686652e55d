#pragma once
// Page A of a form printed into the fixed form "OBRAZAC M - Vz, Stranica A":
// A4 portrait, every value one character per box.
//
// - "1. IDENTIFIKATOR OBRASCA": characters 4 to 7 of the form identifier;
//   month (2), year (4) and calculation type (2) in their boxes;
// - "4. Broj osiguranika ...": the number of insured persons, "N05";
// - "5. Broj stranica B ...": the number of B pages, "N05", only in the print
//   without the control code (left for the clerk otherwise);
// - the payer's identifier rewritten for its 13 boxes (pageAPayerIdentifier),
//   name and address in 50 boxes each, the payer type in 2;
// - the five totals "N_12`2" in 12 boxes each, a negative one with its sign;
// - the year and month of the pay-out, all six boxes blank for year "0000";
// - the control code: characters 1-10, 12-21, 23-32 and 34-43 of A:KONZNAK
//   in four rows of ten boxes, all blank in the print without it;
// - the signature line of the payer and the registry's box "POPUNJAVA
//   ZOVAK", whose signature caption tells a form printed on its own
//   ("Pečat i potpis službene osobe") from the pages of a forming run
//   ("Potpis i ovjera službene osobe").

#include <string>
#include <string_view>

#include "print/report_result.h"

namespace mvz {

class Record;
class Reporter;
class Tables;

// "D": the control code is printed and the number of B pages is not; "N"
// (the print "A bez HASH"): the other way round.
enum class PageAMode { WithControlCode, WithoutControlCode };

// One form ("Stranica &A", "A bez HASH", the print of a checked file), or the
// pages A of a forming run ("&Ispis A stranica").
enum class PageARun { OneForm, FormingRun };

// The title of the page-A window, whose message boxes the prints show.
inline constexpr const char* kPageAWindowTitle = "Obrazac M-V (stranica A)";

// The payer's identifier (13 characters as stored, CP1250) as its 13 boxes
// take it: "MBROJ" and a business number give the 8 digits and 5 blanks, "J"
// and 12 characters those 12 and a blank, an OIB (11 characters once
// left-justified) the OIB left-justified and 2 blanks; anything else stays
// as stored.
std::string pageAPayerIdentifier(std::string_view stored);

// The page of a page-A record (TBOBRAZA).
Page pageAPage(const Record& pageA, PageAMode mode, PageARun run = PageARun::OneForm);

// The message when a form's page A is missing: "Nema obrasca " + sequence
// number (4 digits) + " za firmu " + payer number (3 digits), both from the
// link key.
std::string missingFormText(std::string_view linkKey);

// Page A of the form with this link key (A:KEYIDENTIKATOR). A missing form
// is told with missingFormText and fails the run.
ReportResult printPageA(Tables& tables, std::string_view linkKey, PageAMode mode,
                        Reporter& reporter);

// Page A of every form on the collective list (TBTMPDAT in the order of
// TBT:KEYIDENTIKATOR), one page each. A listed form without page A is told
// and left out; NoRecords when no page is left.
ReportResult printPagesAOfRun(Tables& tables, PageAMode mode, Reporter& reporter);

} // namespace mvz
