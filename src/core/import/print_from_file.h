#pragma once
// Page A and the page-B rows of a form printed straight from a checked
// submission file ("Ispis A stranice", "Ispis B stranica"). Both read the
// work copy TBSLOG3.TXT of the file and write print work rows only:
//
// - page A: one TBOBRAZA row with the identifier "888" + MV3IDOB, built from
//   the first type-3 line, replacing the earlier print row of that form;
// - page B: TBOSIGU1 emptied and filled with one row per type-5 line of the
//   first form (up to its type-7 line), identifier "999" + MV3IDOB, padded
//   to whole sheets of 12 rows with filler rows.
//
// The report runs that print them take the link key (A:KONVEZA, OSI2:KONVEZA)
// from the result. A failed copy of the file stops the print. Amounts keep
// their sign: a negative total of the file prints as negative.

#include <string>
#include <string_view>

namespace mvz {

class Record;
class Reporter;
class Tables;

// Form identifier prefixes of the print work rows.
inline constexpr std::string_view kPageAPrintPrefix = "888";
inline constexpr std::string_view kPageBPrintPrefix = "999";

enum class PrintPreparation {
    Ready,      // the rows are written; the report may print them
    NotChecked, // no file chosen yet ("Ispis A-Strane se ispisuje nakon izvršene kontrole")
    CopyFailed, // the file could not be read or copied ("Greška kod preuzimanja " + path)
    NoForm,     // the file has no type-3 line: nothing to print
    Refused,    // the print identifier belongs to a form of the user's data (page A)
    Failed,     // writing the rows failed; the message has been shown
};

struct PageAPrintJob {
    PrintPreparation outcome = PrintPreparation::Failed;
    std::string linkKey; // A:KONVEZA of the print row: identifier + calculation type
    char mode = 'D';     // the page-A report prints the control mark
    std::string mark;    // the file's digest, four groups of ten joined by "-"
};

// "Ispis A stranice". `entry` is the path entry of the window (UTF-8): while
// it holds only the output folder (APL:IZLAZDIR) or nothing, no file has been
// chosen and nothing is printed. An earlier print row of the same identifier
// and calculation type is deleted first (silently when there is none). A row
// under that key that is not a print row (a form of payer 888 of the user's
// data) is never touched: the print is refused with a message.
PageAPrintJob preparePageAFromFile(Tables& tables, Reporter& reporter, const std::string& entry);

struct PageBPrintJob {
    PrintPreparation outcome = PrintPreparation::Failed;
    std::string linkKey;         // OSI2:KONVEZA of the rows
    std::string formIdentifier;  // MV3IDOB, the 4 characters of the page header
    std::string year;            // calculation year (A:OBRGOD) for the page header
    std::string payerIdentifier; // for the page header (pageBPayerIdentifier)
    long long rows = 0;          // rows of type-5 lines
    long long fillers = 0;       // filler rows (0..11)
};

// "Ispis B stranica": status texts "Malo strpljenja. Pripremam B stranice
// ...." and, when ready, "Gotova priprema. Ispis...". TBOSIGU1 is replaced in
// one transaction: when writing fails it keeps its earlier rows.
PageBPrintJob preparePageBFromFile(Tables& tables, Reporter& reporter, const std::string& path);

// The page-A values of a type-3 line (CP1250) in a TBOBRAZA record: the
// identifier "888" + MV3IDOB and the fields of the line, A:KONTAKT "KONTAKT",
// A:KONZNAK `mark`, A:KONVEZA identifier + calculation type. Returns "" or,
// when an amount does not fit page A, the message naming it (UTF-8).
std::string fillPageAFromLine(Record& pageA, std::string_view line, std::string_view mark,
                              std::string_view prefix = kPageAPrintPrefix);

// The payer's identifier for the page-B header: A:JMBG unless it is
// "0000000000000"; then A:MB01 followed by A:MB02, or by a blank when A:MB02
// is "0000". CP1250.
std::string pageBPayerIdentifier(const Record& pageA);

} // namespace mvz
