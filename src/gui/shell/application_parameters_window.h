#pragma once
// "Promjena aplikacijskih parametara": the authorised person (identifier,
// name, address, contact, telephone, e-mail, seat) and the working, input,
// output and MZ0 folders. Opened from "Servisi / 1. Aplikacijski parametri".
//
// While the window is open it holds APLPARAM with writing denied to other
// programs on the same data; a window opened while another program holds the
// file shows the parameters read-only. The identifier is checked when the
// user leaves its field and again on "&Spremi"; a valid one is shown in its
// stored form (an OIB right-aligned after two blanks). "&Spremi" adds record
// 1 when it is missing, ends the folders with a separator and rewrites
// TBIZLFOLDER.TXT; when anything cannot be written the window says so and
// stays open. "&Prekini" and the close box leave without saving and without
// asking. The ditto key (Ctrl+') recalls into the ten record fields what was
// saved the last time.

#include <memory>
#include <string>
#include <vector>

#include "ui/procedure_window.h"
#include "ui_model/application_parameters.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace mvz {

class ErrorReporter;
class Tables;

class ApplicationParametersWindow : public ProcedureWindow {
    Q_OBJECT
  public:
    // The window keeps its own table objects over `dataDir`. start() (or
    // run()) builds it and reads the parameters.
    ApplicationParametersWindow(const std::string& dataDir, ErrorReporter& errors,
                                QWidget* parent = nullptr);
    ~ApplicationParametersWindow() override;

    ApplicationParameters& parameters() { return *parameters_; }
    // The entry of a field by its name ("JMBG", "RADDIR", ...; "MZ0" for the
    // MZ0 folder), or nullptr.
    QLineEdit* entry(const QString& field) const;
    QComboBox* seatList() const { return seat_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* helpButton() const { return help_; }

    // Presses "&Spremi": true when everything was written and the window is
    // closing.
    bool save();
    // Leaving the identifier field: false (and the focus back in the field)
    // when it was refused.
    bool checkIdentifierField();

  protected:
    bool init() override;
    void kill() override;
    int takeCompleted() override;

  private:
    struct Field {
        QString name;
        QLineEdit* edit;
    };
    ApplicationParametersWindow(std::unique_ptr<Tables> tables, QWidget* parent);
    QLineEdit* addEntry(const QString& name, int width, const QString& tip);
    void buildControls();
    void showRecord();
    bool takeFields();
    bool saveParameters();
    void focusIdentifier();
    void chooseFolder(QLineEdit* edit, const QString& prompt);
    void focusChanged(QWidget* old, QWidget* now);

    std::unique_ptr<Tables> owned_;
    std::unique_ptr<ApplicationParameters> parameters_;
    std::vector<MunicipalityChoice> towns_;
    std::vector<Field> fields_;
    QComboBox* seat_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* help_ = nullptr;
    bool checking_ = false;
    bool saved_ = false;
};

// Builds and starts the window over the data directory `dataDir`, reading
// the parameters (reporting what could not be read). For the main frame's
// menu item "&1. Aplikacijski parametri"; the frame makes it a child window.
QWidget* createApplicationParametersWindow(const std::string& dataDir, ErrorReporter& errors,
                                           QWidget* parent = nullptr);

} // namespace mvz
