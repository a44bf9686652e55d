#pragma once
// The insured-person window "PODACI O OSIGURANIKU I ZADNJOJ UPLATI": one
// employee row (a person's payment for one calculation month) of the
// employer it was opened for. Codes show their descriptions beside them,
// leaving a field runs its reaction (identifier, year, month, days, pillar
// II), entering a contribution field proposes the contribution from the
// rates, and saving runs the ordered checks; a refusal shows its messages
// and puts the focus on the field named. Below, "RANIJE UPLATE" lists the
// person's rows on formed forms. "Kontrola" shows the control table.

#include <optional>

#include "rules/employee_defaults.h"
#include "rules/insured_person_checks.h"
#include "ui/procedure_window.h"

class QLabel;
class QPushButton;

namespace mvz {

class EarlierPaymentsList;
class LookupDropList;
class Record;

class InsuredPersonWindow : public ProcedureWindow {
    Q_OBJECT
  public:
    // `employer` is the employer window's record (a new row takes its number
    // and payer type); `copy` the person a new row starts from.
    InsuredPersonWindow(Tables& tables, const Record& employer, std::optional<CopiedPerson> copy,
                        QWidget* parent = nullptr);
    ~InsuredPersonWindow() override;

    QPushButton* saveButton() const { return save_; }
    QPushButton* controlButton() const { return control_; }
    QWidget* fieldEditor(PersonField field) const;
    // The description shown beside a code field ("RAD:VRSTAUPLA").
    QString description(const char* field) const;
    EarlierPaymentsList* earlierPayments() const { return earlier_; }

  protected:
    bool init() override;
    void kill() override;
    int primeFields() override;
    void display() override;
    int takeCompleted() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildForm(QWidget* parent);
    void fieldLeft(QWidget* editor);
    // Shows the messages of a reaction or check; the focus goes to the field named.
    void show(const EntryOutcome& outcome);
    void showDescriptions();
    void proposeContribution(Pillar pillar);
    void openControlTable();

    const Record& employer_;
    std::optional<CopiedPerson> copy_;
    QPushButton *control_ = nullptr, *save_ = nullptr, *cancel_ = nullptr, *help_ = nullptr;
    LookupDropList* municipalities_ = nullptr;
    struct Described {
        const char* field;    // "RAD:VRSTAUPLA"
        const char* table;    // "VUP"
        QLabel* label;        // a code shown only: its description
        LookupDropList* drop; // a code chosen from a list showing the descriptions
    };
    std::vector<Described> described_;
    QLabel* employerName_ = nullptr;
    EarlierPaymentsList* earlier_ = nullptr;
    bool tablesOpen_ = false;
};

} // namespace mvz
