#pragma once
// The page-B rows of a form prepared for printing: the print work table
// TBOSIGU1 is emptied, every page-B row of the form (TBOSIGUR rows with the
// form's link key) is copied into it, and the last sheet is filled up to 12
// rows with filler rows. A filler row carries the form identifier and link
// key, the identifier "99999999999" followed by its number as two digits
// (01, 02, ...), the form's calculation year and month (the page-B tables
// take no row without a year), and blanks or zeros elsewhere; for the
// surname-order print it also carries the name "ŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠŠ".
//
// Filler rows always print after the real rows, in both orders: neither key
// order puts them last by itself (an identifier beginning with a letter sorts
// after nine, a surname such as "Tomić" after "Š"), so the rows are read back
// through forEachPreparedRow, which gives the real rows in key order and then
// the fillers.

#include <functional>
#include <string_view>

namespace mvz {

class Record;
class Tables;

// "Stranica &B" (row order, OSI2:KEYOBRGODMJE) and "Stranica B-2" (surname
// order, OSI2:KEYPREZIME).
enum class PageBOrder { Rows, Names };

struct PageBPreparation {
    bool ok = false;       // false: the work table could not be emptied or written
    long long rows = 0;    // page-B rows of the form copied
    long long fillers = 0; // filler rows added (0..11)
};

// Prepares TBOSIGU1 for the page-B print of the form with this link key, as
// one transaction: a failure leaves the work table as it was.
PageBPreparation preparePageB(Tables& tables, std::string_view linkKey, PageBOrder order);

// True for the identifier of a filler row (it begins with ten 9s); such a row
// prints blank.
bool isFillerIdentifier(std::string_view identifier);

// Calls visit with every prepared row of the form in print order: the real
// rows in the order's key, then the filler rows. visit returns false to stop.
// Returns the number of rows visited, or -1 when TBOSIGU1 cannot be opened.
long long forEachPreparedRow(Tables& tables, std::string_view linkKey, PageBOrder order,
                             const std::function<bool(const Record&)>& visit);

} // namespace mvz
