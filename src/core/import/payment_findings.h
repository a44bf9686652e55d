#pragma once
// The findings of a run over a payment-data file: each finding becomes one
// TBGRESKE row (a running number, GRE:TIP 0, the message in GRE:OPIS and a
// copy of every field of the line it was found on) and, when a receiver is
// given, a Finding with the line's number, the field's code and columns and
// the text found there.
//
// TBGRESKE is written through its own table objects (a storage session of
// its own), in a transaction of its own: the findings of a run can be kept
// while the work the run did elsewhere is rolled back, and a run that stops
// before it reads a line leaves the previous findings as they were.

#include <memory>
#include <optional>
#include <string>

#include "import/finding.h"
#include "import/payment_line.h"

namespace mvz {

class ErrorReporter;
class Tables;

class PaymentFindings {
  public:
    // `dataDir` holds TBGRESKE; messages go through `errors`, in boxes
    // titled `title`.
    PaymentFindings(const std::string& dataDir, ErrorReporter& errors, std::string title,
                    FindingSink* sink);
    ~PaymentFindings(); // rolls back what was not kept
    PaymentFindings(const PaymentFindings&) = delete;
    PaymentFindings& operator=(const PaymentFindings&) = delete;

    // Opens TBGRESKE for this run alone and empties it, within the run's
    // transaction. A failure shows "Greška pri otvaranju TBGRESKE " or
    // "Greška pri pražnjenju TBGRESKE " with the error text; the run goes on
    // and its findings then reach the receiver only.
    void start();

    // One finding about `field` of the line (nullopt: about the whole line).
    // 'F' for a finding that refuses the line, 'U' for a warning.
    void add(long lineNumber, const PaymentLine& line, std::optional<PaymentField> field, char kind,
             const std::string& message);

    // Makes the run's findings permanent, respectively takes them back.
    void keep();
    void discard();

    long long count() const { return count_; }
    // Rows that could not be written (their findings reached the receiver).
    // Once every running number TBGRESKE holds is taken, keep() tells how
    // many: "Tablica grešaka TBGRESKE je puna: " + count + " grešaka nije
    // upisano."; another failure shows "Greška kod upisa TBGRESKE " and the
    // error text, once.
    long long unwritten() const { return unwritten_; }

  private:
    void show(const std::string& message);

    std::unique_ptr<Tables> tables_;
    std::string title_;
    FindingSink* sink_;
    bool open_ = false;
    bool inTransaction_ = false;
    bool failureShown_ = false;
    bool full_ = false;
    long long count_ = 0;
    long long unwritten_ = 0;
};

} // namespace mvz
