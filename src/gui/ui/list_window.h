#pragma once
// A list window declared by data: its title, the table, the column format
// and the fields of its columns, the sort tabs with their locators and
// ranges, the buttons with their captions and tooltips, the row window that
// inserts, changes and deletes, and the print procedure.
//
//   ListWindowSpec decl;
//   decl.title = "Šifarnik - Općine i gradovi";
//   decl.table = "OPC";
//   decl.format = "30R(2)|M~Rbr~R(10)@N4_@...";
//   decl.fields = {"OPC:REDBROJ", "OPC:SIFRA", "OPC:NAZIV"};
//   decl.tabs = {{"KEYREDB", "REDOSLJED: Redni broj", LocatorKind::Incremental,
//                 "Traži se redni broj"}, ...};
//   decl.update = [](Tables& t) { return municipalityRowWindow(t).run(); };
//   auto* w = new ListWindow(std::make_unique<Tables>(dir, errors), decl);
//   if (w->start()) frame.openChild(w);      // or w->run() to select a record
//
// Opened with the select request (4), the window shows its select button and
// ends with the completed code and the chosen record in the table's buffer.

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/browse_list.h"
#include "ui/procedure_window.h"

class QPushButton;
class QStatusBar;

namespace mvz {

struct ListWindowSpec {
    struct Tab {
        std::string key;
        QString text;
        LocatorKind locator = LocatorKind::None;
        QString locatorPrompt;
        std::string filter; // range and filter expression (may be empty)
    };
    struct ButtonText {
        QString caption, tip;
    };

    QString title;
    std::string table;
    std::string format;
    std::vector<std::string> fields;
    std::vector<Tab> tabs;
    ButtonText selectButton{QStringLiteral("Odaberi"), QStringLiteral("Odaberi označenu šifru")};
    ButtonText insertButton{QStringLiteral("Dodaj"), QString()};
    ButtonText changeButton{QStringLiteral("Promijeni"), QStringLiteral("Promjena podataka")};
    ButtonText removeButton{QStringLiteral("Obriši"), QStringLiteral("Obriši označeni redak")};
    ButtonText printButton{QStringLiteral("Ispiši"), QStringLiteral("Ispiši šifarnik na pisač")};
    ButtonText closeButton{QStringLiteral("Zatvori"), QStringLiteral("Zatvori prozor")};
    ButtonText helpButton{QStringLiteral("Upu&te"), QStringLiteral("Upute za rad")};
    // The row window: reads PendingRequest, returns the completion code.
    std::function<std::uint8_t(Tables&)> update;
    // Prints the list in the order of the tab (none: no print button).
    std::function<void(Tables&, int order, QWidget* window)> print;
};

class ListWindow : public ProcedureWindow {
    Q_OBJECT
  public:
    ListWindow(Tables& tables, ListWindowSpec decl, QWidget* parent = nullptr);
    // The window keeps its own table objects (a window started from the menu).
    ListWindow(std::unique_ptr<Tables> tables, ListWindowSpec decl, QWidget* parent = nullptr);
    ~ListWindow() override;

    BrowseList* list() const { return list_; }
    QPushButton* selectButton() const { return select_; }
    QPushButton* insertButton() const { return insert_; }
    QPushButton* changeButton() const { return change_; }
    QPushButton* deleteButton() const { return remove_; }
    QPushButton* printButton() const { return print_; }
    QPushButton* closeButton() const { return close_; }
    QPushButton* helpButton() const { return help_; }
    // The status line with the key hint.
    QStatusBar* statusLine() const { return status_; }

  protected:
    bool init() override;
    void kill() override;

  private:
    std::unique_ptr<Tables> owned_;
    ListWindowSpec spec_;
    BrowseList* list_ = nullptr;
    QPushButton *select_ = nullptr, *insert_ = nullptr, *change_ = nullptr, *remove_ = nullptr,
                *print_ = nullptr, *close_ = nullptr, *help_ = nullptr;
    QStatusBar* status_ = nullptr;
};

} // namespace mvz
