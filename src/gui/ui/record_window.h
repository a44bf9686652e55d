#pragma once
// A row window (form) declared by its field table: the table it edits, its
// titles per request, the caption of its field group and its fields (prompt,
// picture, tip, check). It brings the save ("Spremi"), cancel ("Odustani")
// and help controls, the form toolbar and the ditto key for every field.
//
//   RecordWindowSpec decl;
//   decl.table = "OPC";
//   decl.insertTitle = "Općine/gradovi - Upis nove općien/grada";
//   decl.changeTitle = "Općine/gradovi - Promjena podataka";
//   decl.groupCaption = "Osnovni podaci";
//   decl.fields = {{"OPC:REDBROJ", "Redni broj :", "@N4_", "", FormField::Kind::Line, {}, true},
//                  ...};
//   PendingRequest = request::Insert;
//   std::uint8_t r = RecordWindow(tables, decl).run();

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/procedure_window.h"
#include "ui/record_form.h"

class QPushButton;

namespace mvz {

// A refusal of the save checks: the text to show and the field that gets the
// focus ("VUP:OPIS"; empty: the first field).
struct SaveRefusal {
    std::string text; // UTF-8, "|" breaks the line
    std::string field;
};

struct RecordWindowSpec {
    std::string table;
    QString insertTitle, changeTitle, deleteTitle, viewTitle;
    QString groupCaption;
    std::vector<FormField> fields;
    QString okCaption = QStringLiteral("Spremi");
    QString cancelCaption = QStringLiteral("Odustani");
    QString helpCaption = QStringLiteral("Upu&te");
    // What the window may be asked for. A request it does not allow is
    // refused with the table layer's message ("This form cannot be used to
    // insert a record", 20; change 38; delete 12): the window ends without
    // showing, cancelled, having changed nothing.
    bool allowsInsert = true;
    bool allowsChange = true;
    bool allowsDelete = true;
    // Presets a new record (after the list set the range fields); non-zero
    // fails the insert.
    std::function<int(Record&)> primeFields;
    // Checks on saving, after every field passed its own and before anything
    // is written (the record buffer holds the form's values); a refusal keeps
    // the window open.
    std::function<std::optional<SaveRefusal>(TableAccess& table, std::uint8_t request)> saveCheck;
};

class RecordWindow : public ProcedureWindow {
    Q_OBJECT
  public:
    RecordWindow(Tables& tables, RecordWindowSpec decl, QWidget* parent = nullptr);

    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* helpButton() const { return help_; }
    const RecordWindowSpec& decl() const { return spec_; }

  protected:
    bool init() override;
    int primeFields() override;
    int takeCompleted() override;

  private:
    RecordWindowSpec spec_;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* help_ = nullptr;
};

} // namespace mvz
