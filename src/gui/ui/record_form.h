#pragma once
// A record form built from its field table: one row per field with its
// prompt, an editor showing the field through its picture, and its tip. The
// form shows the table's record buffer (display), copies the editors back
// into it (store) and checks a field when the user leaves it.
//
//   form->addField({"OPC:SIFRA", "Šifra općine/grada", "@s4", "Šifra s kontrolnim brojem",
//                   FormField::Kind::Line, {}, false, checkCode});
//
// A field's check sees the record with the field stored and returns the
// refusal to show; the focus then stays on the field.
//
// An entry takes at most what the field can hold (the picture's width and
// the field's length), so nothing typed is cut silently; number and date
// pictures and digit codes take only the characters they can read.

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/picture.h"
#include "base/reporter.h"

class QFormLayout;
class QHBoxLayout;

namespace mvz {

class ErrorReporter;
class Record;
class TableAccess;
class Tables;

struct FieldRefusal {
    std::string text;  // UTF-8, "|" breaks the line
    std::string title; // empty: the program's name
    bool errorSound = false;
};

// A field chosen from a drop list of another table (a code table): the
// entries show `display`, choosing one stores its `value` field.
struct FieldLookup {
    std::string table;   // "VUP"
    std::string key;     // the order of the entries ("KEYSIFRA"; empty: stored order)
    std::string display; // "VUP:OPIS"
    std::string value;   // "VUP:SIFRA"
};

struct FormField {
    enum class Kind { Line, Text, Choice, Lookup };
    std::string field; // "OPC:NAZIV"
    QString prompt;
    std::string picture; // "@s40", "@N4_"; empty: as the field displays
    QString tip;
    Kind kind = Kind::Line;
    QStringList choices{}; // a drop list offering fixed values (Kind::Choice)
    bool readOnly = false;
    std::function<std::optional<FieldRefusal>(const Record&)> check{};
    // A code that holds digits only (a text field such as a municipality code).
    bool digitsOnly = false;
    FieldLookup lookup{}; // Kind::Lookup
};

// A line entry for a field (prompt, picture and tip in UTF-8).
FormField lineField(const char* field, const char* prompt, const char* picture,
                    const char* tip = "");

class RecordForm : public QWidget {
    Q_OBJECT
  public:
    // `lookups` gives the tables of lookup fields (none: the form has none).
    RecordForm(TableAccess& table, ErrorReporter& errors, QWidget* parent = nullptr,
               Tables* lookups = nullptr);

    // Adds a field row; returns its editor.
    QWidget* addField(const FormField& field);
    void addFields(const std::vector<FormField>& fields);
    // A row with a control of the window's own (a lookup list).
    void addRow(const QString& prompt, QWidget* control);
    // Puts a control of the window's own (a description, a drop list) on the
    // row of a field's editor, after it.
    void addBeside(QWidget* editor, QWidget* control);
    // A caption over the rows that follow (a group of fields).
    void addCaption(const QString& caption);
    // Starts a new column of rows to the right of the last one (the fields
    // keep their order for the focus and the checks).
    void newColumn();

    QWidget* editor(std::string_view field) const;
    const std::vector<QWidget*>& editors() const { return editors_; }
    bool isField(const QWidget* control) const;
    QString editorText(const QWidget* editor) const;
    void setEditorText(QWidget* editor, const QString& text);

    // Record buffer -> editors.
    void display();
    // Record buffer -> the editor of one field (a value a window set).
    void displayField(std::string_view field);
    // One editor -> its field; false (and `why`) when the value is refused.
    bool store(QWidget* editor, QString* why = nullptr);
    // Every editor -> its field; false when a value was refused.
    bool storeAll();
    // Stores and checks one field, showing the refusal; false keeps the focus there.
    bool validate(QWidget* editor);
    // Every field in order; the focus goes to the first that fails.
    bool validateAll();

    TableAccess& table() const { return table_; }

  signals:
    // The user left a field whose value was refused (take rejected).
    void rejected(QWidget* editor);
    // A field passed its check (take accepted of a field): when the user
    // left it, and for every field when the form is checked before saving.
    void accepted(QWidget* editor);
    // The user left a field he changed, and it passed: the moment a window
    // reacts to what was typed (the checks before saving do not emit it).
    void left(QWidget* editor);

  private:
    struct Entry {
        FormField decl;
        int field = -1;
        std::optional<Picture> picture;
        QWidget* editor = nullptr;
    };
    const Entry* entryOf(const QWidget* editor) const;
    void displayEntry(Entry& e);
    void leave(QWidget* editor);

    TableAccess& table_;
    ErrorReporter& errors_;
    Tables* lookups_;
    QHBoxLayout* columns_;
    QFormLayout* layout_;
    std::vector<Entry> entries_;
    std::vector<QWidget*> editors_;
    bool checking_ = false;
};

} // namespace mvz
