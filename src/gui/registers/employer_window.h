#pragma once
// The employer window "Poslodavac i zaposlenici": the employer's data above
// and the list of its employees below. Opened from the employer list with its
// request: insert (a new employer: the number is typed once and stays),
// change (the number is shown, not changed), or delete (message 9, then the
// employer goes with its employees, without the window showing).
//
// The employee list adds, opens, deletes and copies persons through the
// insured-person window; "&Ispiši" prints the employer's insured persons.
// A new employer is saved before its employees are entered.

#include <optional>

#include "rules/employee_defaults.h"
#include "ui/procedure_window.h"

class QPushButton;

namespace mvz {

class BrowseList;
class LookupDropList;

class EmployerWindow : public ProcedureWindow {
    Q_OBJECT
  public:
    explicit EmployerWindow(Tables& tables, QWidget* parent = nullptr);

    BrowseList* employees() const { return employees_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* copyButton() const { return copy_; }
    QPushButton* printButton() const { return print_; }
    LookupDropList* payerTypeList() const { return payerTypes_; }

  protected:
    bool init() override;
    int primeFields() override;
    void display() override;
    int takeCompleted() override;

  private:
    QWidget* buildEmployerGroup();
    QWidget* buildEmployeeGroup();
    std::uint8_t runPerson();
    void copyPerson();
    void printPersons();

    BrowseList* employees_ = nullptr;
    LookupDropList* payerTypes_ = nullptr;
    QPushButton *save_ = nullptr, *cancel_ = nullptr, *help_ = nullptr;
    QPushButton *add_ = nullptr, *open_ = nullptr, *remove_ = nullptr, *copy_ = nullptr,
                *print_ = nullptr;
    // The person "&Kopiraj" took, for the insured-person window it opens.
    std::optional<CopiedPerson> copied_;
};

} // namespace mvz
