#pragma once
// The forming window "Formiranje obrazaca M-Vz": the payer, the form's
// sequence number and calculation type, the calculation month and period,
// the pay-out month, the sending date and the way of sending; "&Obrada
// obveznika" forms the payer's file for the month (with progress; a cancelled
// or failed run leaves the form as it was) and offers to copy it to the
// diskette. The other buttons look at page A of the form, copy the payer
// file again, merge the collective list into ZOVAK.MZ0, show that list,
// print the pages A of the list and open the user guide.

#include <memory>
#include <string>

#include "submission/forming.h"
#include "submission/forming_fields.h"
#include "ui/procedure_window.h"
#include "ui/window_host.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace mvz {

class LookupDropList;

class FormingWindow : public ProcedureWindow {
    Q_OBJECT
  public:
    explicit FormingWindow(std::unique_ptr<Tables> tables, QWidget* parent = nullptr);
    ~FormingWindow() override;

    LookupDropList* payers() const { return payers_; }
    QLineEdit* entry(FormingField field) const;
    QLineEdit* sendingDate() const { return date_; }
    QLineEdit* printFlag() const { return printFlag_; }
    QRadioButton* singleButton() const { return single_; }
    QRadioButton* collectiveButton() const { return collective_; }
    QRadioButton* newFileButton() const { return newFile_; }
    QRadioButton* addToFileButton() const { return addToFile_; }
    QLabel* statusLine() const { return status_; }
    QPushButton* processButton() const { return process_; }
    QPushButton* checkButton() const { return check_; }
    QPushButton* copyButton() const { return copy_; }
    QPushButton* hashButton() const { return hash_; }
    QPushButton* listButton() const { return list_; }
    QPushButton* printButton() const { return print_; }
    const FormingResult& lastResult() const { return last_; }
    // The values as the fields show them.
    FormingFields fields() const;

  protected:
    bool init() override;

  private:
    QWidget* buildPreparation();
    QWidget* buildSending();
    void setDefaults();
    void choosePayer(int index);
    void typeLeft();
    void fieldLeft(QLineEdit* editor);
    void pickDate();
    void sendingModeChanged();
    void process();
    void checkForm();
    void copyPayerFile();
    void collectiveHash();
    void showCollectiveList();
    void printPagesA();
    void say(const std::string& text, QWidget* focus = nullptr);
    std::string linkKey() const;

    std::unique_ptr<Tables> owned_;
    LookupDropList* payers_ = nullptr;
    LookupDropList* types_ = nullptr;
    QLabel *payerNumber_ = nullptr, *typeText_ = nullptr, *status_ = nullptr;
    QLineEdit *sequence_ = nullptr, *type_ = nullptr, *year_ = nullptr, *month_ = nullptr,
              *firstDay_ = nullptr, *lastDay_ = nullptr, *payYear_ = nullptr, *payMonth_ = nullptr,
              *date_ = nullptr, *printFlag_ = nullptr;
    QRadioButton *single_ = nullptr, *collective_ = nullptr, *newFile_ = nullptr,
                 *addToFile_ = nullptr;
    QButtonGroup *modes_ = nullptr, *jobs_ = nullptr;
    QWidget* jobBox_ = nullptr;
    QPushButton *process_ = nullptr, *check_ = nullptr, *copy_ = nullptr, *hash_ = nullptr,
                *list_ = nullptr, *print_ = nullptr, *guide_ = nullptr, *close_ = nullptr;
    int payer_ = 0;
    FormingResult last_;
};

QWidget* createFormingWindow(const WindowContext& context);

} // namespace mvz
