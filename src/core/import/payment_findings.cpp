#include "import/payment_findings.h"

#include "base/cp1250.h"
#include "base/reporter.h"
#include "data/error_reporter.h"
#include "data/tables.h"

namespace mvz {

PaymentFindings::PaymentFindings(const std::string& dataDir, ErrorReporter& errors,
                                 std::string title, FindingSink* sink)
    : tables_(std::make_unique<Tables>(dataDir, errors)), title_(std::move(title)), sink_(sink) {}

PaymentFindings::~PaymentFindings() {
    discard();
}

void PaymentFindings::show(const std::string& message) {
    MessageBox box;
    box.title = title_;
    box.text = message;
    box.icon = MessageIcon::Exclamation;
    tables_->errors().reporter().show(box);
}

void PaymentFindings::start() {
    TableAccess& gre = tables_->access("GRE");
    gre.setShareMode(ShareMode::Exclusive);
    if (gre.open(true) != result::Ok) {
        gre.setShareMode(ShareMode::Shared);
        show("Greška pri otvaranju TBGRESKE " + gre.lastError().text);
        return;
    }
    open_ = true;
    if (StorageError e = tables_->storage().begin({gre.file()})) {
        show("Greška pri otvaranju TBGRESKE " + e.text);
        return;
    }
    inTransaction_ = true;
    if (gre.removeAll() != result::Ok)
        show("Greška pri pražnjenju TBGRESKE " + gre.lastError().text);
}

void PaymentFindings::add(long lineNumber, const PaymentLine& line,
                          std::optional<PaymentField> field, char kind,
                          const std::string& message) {
    ++count_;
    if (sink_) {
        Finding f;
        f.line = lineNumber;
        f.kind = kind;
        f.name = cp1250ToUtf8(line.text(PaymentField::PREZIME));
        f.message = message;
        if (field) {
            const PaymentFieldSpan& span = paymentFieldSpan(*field);
            f.field = std::string(paymentFieldName(*field));
            f.start = span.start();
            f.end = span.end();
            f.value = cp1250ToUtf8(line.text(*field));
        }
        sink_->add(f);
    }
    if (!open_ || full_) {
        ++unwritten_;
        return;
    }
    TableAccess& gre = tables_->access("GRE");
    Record& r = gre.record();
    const TableDef& d = gre.def();
    r.clear();
    r.setInteger(d.fieldIndex("TIP"), 0);
    r.setText(d.fieldIndex("OPIS"), utf8ToCp1250Lossy(message));
    for (int i = static_cast<int>(PaymentField::MB); i < kPaymentFieldCount; ++i) {
        const auto f = static_cast<PaymentField>(i);
        r.setText(d.fieldIndex(std::string(paymentFieldName(f))), line.field(f));
    }
    if (gre.add(true) == result::Ok) return;
    ++unwritten_;
    // Every running number the table can hold is taken: the rest go to the
    // receiver only, and the count is told at the end.
    if (gre.lastError().code == err::InvalidKeyLength) {
        full_ = true;
        return;
    }
    if (!failureShown_) show("Greška kod upisa TBGRESKE " + gre.lastError().text);
    failureShown_ = true;
}

void PaymentFindings::keep() {
    if (full_)
        show("Tablica grešaka TBGRESKE je puna: " + std::to_string(unwritten_) +
             " grešaka nije upisano.");
    if (inTransaction_) {
        inTransaction_ = false;
        if (StorageError e = tables_->storage().commit())
            show("Greška kod upisa TBGRESKE " + e.text);
    }
    if (open_) {
        TableAccess& gre = tables_->access("GRE");
        gre.close();
        gre.setShareMode(ShareMode::Shared);
        open_ = false;
    }
}

void PaymentFindings::discard() {
    if (inTransaction_) {
        inTransaction_ = false;
        tables_->storage().rollback();
    }
    if (open_) {
        TableAccess& gre = tables_->access("GRE");
        gre.close();
        gre.setShareMode(ShareMode::Shared);
        open_ = false;
    }
}

} // namespace mvz
