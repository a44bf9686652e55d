#pragma once
// The pages B of a form printed into the fixed form "OBRAZAC M-Vz, stranica
// B": A4 landscape, 12 rows a page, every value one character per box except
// the name.
//
// Every page carries the year, the 4 characters of the form identifier, the
// payer's identifier (pageBPayerIdentifier) and its page number ("N05"),
// the column captions, and at its foot "M.P." and the payer's signature
// line. A row shows the row number ("n4", only on the first of consecutive
// rows of one person; it counts persons across pages), the municipality,
// the identifier, surname and name (34 characters), basis and
// extended-service mark, the period from and to ("N02") and the five
// amounts ("N-12.`2"). Filler rows (identifiers beginning with ten 9s) print
// blank, and always after the real rows. No totals: those are on page A.

#include <functional>
#include <string>
#include <string_view>

#include "print/report_result.h"
#include "submission/page_b_rows.h"

namespace mvz {

class Record;
class Reporter;
class Tables;

// Rows of one page B.
inline constexpr int kPageBRows = 12;

// The payer's identifier as page B prints it: as page A does
// (pageAPayerIdentifier), except that an OIB stays as stored.
std::string pageBPayerIdentifierBoxes(std::string_view stored);

// What every page B of a form shows in its header (CP1250).
struct PageBHeading {
    std::string year;            // A:OBRGOD
    std::string formIdentifier;  // characters 4-7 of the form identifier
    std::string payerIdentifier; // 13 characters as stored; rewritten when printed
};

// The heading of the form whose page A this is.
PageBHeading pageBHeadingOf(const Record& pageA);

// Takes each page as soon as it is laid out (the preview can show the first
// page while the others are still being made).
using PageSink = std::function<void(Page&& page)>;

// The empty form and the places of its boxes (made once).
struct PageBForm;

// Lays out pages B from rows given in print order (TBOSIGUR or TBOSIGU1
// records, which share their layout).
class PageBPages {
  public:
    // Without a sink the pages are kept and finish() returns them.
    explicit PageBPages(const PageBHeading& heading, PageSink sink = {});
    ~PageBPages();
    PageBPages(const PageBPages&) = delete;
    PageBPages& operator=(const PageBPages&) = delete;

    void add(const Record& row);
    long long rows() const { return rows_; }
    long long pagesMade() const { return pagesMade_; }

    // Ends the last page (its rows left blank) and returns the pages kept:
    // all of them without a sink, none with one.
    PageModel finish();

  private:
    void startPage();
    void endPage();

    const PageBForm& layouts_;
    std::string heading_[3]; // year, identifier, payer identifier (UTF-8)
    PageSink sink_;
    PageModel model_;
    Page page_;
    bool pageOpen_ = false;
    int rowOnPage_ = 0;
    long long rows_ = 0;
    long long pagesMade_ = 0;
    long long person_ = 0;
    std::string lastIdentifier_;
    bool first_ = true;
    std::string line_; // the boxed characters of one row (CP1250)
};

// The title of page-B prints: "OBRAZAC M-Vz stranica B" and the link key.
std::string pageBTitle(std::string_view linkKey, PageBOrder order);

// Pages B of the form with this link key ("Stranica &B": PageBOrder::Rows,
// in the order of the form's records in its submission file, so that the row
// numbers are those of the file; "Stranica B-2": PageBOrder::Names, by
// surname and name), read from its page-B rows (TBOSIGUR) with the last page
// filled up with blank rows. A form without page A is told with
// missingFormText and fails; one without rows gives NoRecords. Progress
// counts rows against the rows page A counted; a cancel drops the pages.
ReportResult printPageB(Tables& tables, std::string_view linkKey, PageBOrder order,
                        Reporter& reporter, const PageSink& sink = {});

// Pages B of rows already prepared in the print work table TBOSIGU1 (the
// print of a checked file, preparePageBFromFile), with the heading given.
ReportResult printPreparedPageB(Tables& tables, std::string_view linkKey, PageBOrder order,
                                const PageBHeading& heading, Reporter& reporter,
                                const PageSink& sink = {});

} // namespace mvz
