#pragma once
// The page-B rows of the formed forms (TBOSIGUR): the row window "Pregled
// podataka" and the list of one form's rows "IV. PODACI PO OSIGURANICIMA
// (obrazac M Vz - strana B)".
//
// The row window ("PODACI O OSIGURANIKU; PRIHODU I UPLATI") shows one stored
// row: the codes with their names and descriptions beside them and the form's
// sequence number (characters 4 to 7 of the form identifier, shown only). It
// changes the row through the table layer, with no checks of its own; asked to
// insert or delete a row it refuses with the table layer's message and
// changes nothing. It works on the row in the OSI buffer of its tables.
//
// The list shows the rows whose OSI:KONVEZA equals A:KONVEZA in the page-A
// buffer of the tables it runs over, by identifier (OSI:KEYOBRGODMJE, limited
// to the form) or by name (OSI:KEYPREZIME, filtered to the form). "&Otvori"
// opens the row window; "&Dodaj" and "&Obriši" reach it and are refused.
//
// The page-A window, whose buffer holds the form, runs the list over its own
// tables ("&Pregled"):
//
//   runPageBList(tables());                       // modal, returns when closed
//
// A window that knows only the form's link key makes it a child of the host:
//
//   if (QWidget* list = createPageBList(context, "001000301"))
//       context.host.openChild(list);
//
// registerPageBWindows registers the named window "pageBList" (no menu item
// starts it): the list of the form whose page-B rows were written last, or a
// message when no form has any.

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/list_window.h"
#include "ui/record_window.h"
#include "ui/window_host.h"

class QLabel;
class QLineEdit;

namespace mvz {

class TableAccess;
class Tables;

// The name the page-B list is registered under.
inline constexpr std::string_view kPageBListWindow = "pageBList";

// The row window's declaration: its fields, titles and buttons; it allows
// only changes.
RecordWindowSpec pageBRowSpec();

class PageBRowWindow : public RecordWindow {
    Q_OBJECT
  public:
    explicit PageBRowWindow(Tables& tables, QWidget* parent = nullptr);

    // The name or description shown beside a code ("OSI:OPCINA",
    // "OSI:OSNOVA1", "OSI:OSNOVA3"); nullptr for another field.
    QLabel* description(std::string_view field) const;
    // The form's sequence number (characters 4 to 7 of OSI:IDENTIFIKATOR).
    QLineEdit* formSequence() const { return sequence_; }

  protected:
    bool init() override;
    void kill() override;
    void display() override;

  private:
    void showDescriptions();

    QLabel *municipality_ = nullptr, *basis_ = nullptr, *service_ = nullptr;
    QLineEdit* sequence_ = nullptr;
    std::vector<TableAccess*> openCodes_; // the code tables it opened
};

// The row window for the request in PendingRequest on the row in the OSI
// buffer; returns the completion code.
std::uint8_t runPageBRow(Tables& tables);

// The list's declaration, over the form named by A:KONVEZA of its tables.
ListWindowSpec pageBListSpec();
// Runs the list modally over `tables`, whose page-A buffer names the form;
// returns the completion code.
std::uint8_t runPageBList(Tables& tables);
// The list of the form with the link key (A:KONVEZA, 9 characters) over table
// objects of its own, started and not yet shown: the caller opens it as a
// child of its host. nullptr when it did not open (it has said why).
QWidget* createPageBList(const WindowContext& context, const std::string& formLink);

// The link key of the form whose page-B rows were written last (the last
// TBOSIGUR row stored); empty when there is none.
std::string lastFormedLink(Tables& tables);

void registerPageBWindows(WindowRegistry& registry);

} // namespace mvz
