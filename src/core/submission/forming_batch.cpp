#include "submission/forming_batch.h"

#include <algorithm>
#include <optional>

#include "base/cp1250.h"
#include "base/fixed_text.h"
#include "base/reporter.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"

namespace mvz {

namespace {

// Passes everything on to the run's reporter and keeps the last message box
// and status text of the payer being formed.
class PayerReporter : public Reporter {
  public:
    explicit PayerReporter(Reporter& inner) : inner_(inner) {}

    Button show(const MessageBox& box) override {
        lastBox_ = box.text;
        return inner_.show(box);
    }
    void status(const std::string& text) override {
        lastStatus_ = text;
        inner_.status(text);
    }
    void progress(std::uint64_t done, std::uint64_t total) override {
        inner_.progress(done, total);
    }
    bool cancelRequested() override { return inner_.cancelRequested(); }
    void endProgram() override { inner_.endProgram(); }

    const std::string& lastBox() const { return lastBox_; }
    const std::string& lastStatus() const { return lastStatus_; }

  private:
    Reporter& inner_;
    std::string lastBox_;
    std::string lastStatus_;
};

struct Payer {
    int number = 0;
    std::string name; // UTF-8
    long long lastSequence = 0;
};

// Every payer in number order.
std::vector<int> allPayers(Tables& tables) {
    std::vector<int> out;
    TableAccess& pos = tables.access("POS");
    if (pos.open() != result::Ok) return out;
    pos.setOrder(pos.def().keyIndex("KEYREDBROJ"));
    pos.setStart();
    const int number = pos.def().fieldIndex("REDBROJ");
    while (pos.next() == result::Ok)
        out.push_back(static_cast<int>(pos.record().integer(number)));
    pos.close();
    return out;
}

// The payer, or nothing when it is not in TBPOSLOD.
std::optional<Payer> readPayer(Tables& tables, int number) {
    TableAccess& pos = tables.access("POS");
    if (pos.open() != result::Ok) return std::nullopt;
    const TableDef& d = pos.def();
    pos.record().clear();
    std::optional<Payer> out;
    if (pos.record().setInteger(d.fieldIndex("REDBROJ"), number) &&
        pos.fetch(d.keyIndex("KEYREDBROJ")) == result::Ok) {
        out = Payer{number, cp1250ToUtf8(clipRight(pos.record().text(d.fieldIndex("NAZIV")))),
                    pos.record().integer(d.fieldIndex("IDENTIFIKATOR"))};
    }
    pos.close();
    return out;
}

} // namespace

const char* payerOutcomeText(PayerOutcome outcome) {
    switch (outcome) {
    case PayerOutcome::Formed:
        return "obrađen";
    case PayerOutcome::NoRows:
        return "nema podataka";
    case PayerOutcome::Refused:
        break;
    }
    return "nije obrađen";
}

bool BatchFormingResult::allFormed() const {
    return std::all_of(payers.begin(), payers.end(),
                       [](const auto& p) { return p.outcome == PayerOutcome::Formed; });
}

bool BatchFormingResult::anyRefused() const {
    return std::any_of(payers.begin(), payers.end(),
                       [](const auto& p) { return p.outcome == PayerOutcome::Refused; });
}

std::string missingPayerText(int payer) {
    return "Poslodavac rednog broja " + std::to_string(payer) + " ne postoji";
}

BatchFormingResult formPayers(Tables& tables, const BatchFormingRequest& request) {
    BatchFormingResult out;
    Reporter& reporter = tables.errors().reporter();
    const std::vector<int> numbers = request.payers.empty() ? allPayers(tables) : request.payers;
    FormingRequest rq = request.form;
    for (const int number : numbers) {
        PayerFormingResult& r = out.payers.emplace_back();
        r.payer = number;
        const std::optional<Payer> payer = readPayer(tables, number);
        if (!payer) {
            r.message = missingPayerText(number);
            MessageBox box;
            box.title = kFormingTitle;
            box.text = r.message;
            box.icon = MessageIcon::Exclamation;
            reporter.show(box);
            continue;
        }
        r.payerName = payer->name;
        rq.payer = number;
        rq.sequence = request.sequenceGiven ? request.form.sequence
                                            : static_cast<int>(payer->lastSequence + 1);

        PayerReporter own(reporter);
        ErrorReporter errors(own);
        errors.addMessages(standardMessages());
        Tables payerTables(tables.storage().dataDir(), errors, tables.relationTable());
        r.forming = formPayer(payerTables, rq);
        if (r.forming.done) {
            r.outcome = PayerOutcome::Formed;
            r.message = own.lastStatus();
            // The next payers go onto the same list.
            rq.job = CollectiveJob::AddToFile;
        } else if (own.lastBox().empty() && own.lastStatus().rfind("Obrada prekinuta", 0) == 0) {
            r.outcome = PayerOutcome::NoRows;
            r.message = own.lastStatus();
        } else {
            r.outcome = PayerOutcome::Refused;
            r.message = own.lastBox().empty() ? own.lastStatus() : own.lastBox();
        }
    }
    return out;
}

} // namespace mvz
