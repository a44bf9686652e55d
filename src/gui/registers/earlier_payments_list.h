#pragma once
// "RANIJE UPLATE": a person's earlier payments, the page-B rows of the formed
// forms (TBOSIGUR) whose identifier is the person's, in the order of
// OSI:KEYJMBG, with "&Otvori" and "&Delete", which open the page-B row window
// ("Pregled podataka") on the highlighted row to change it or to delete it
// (the row window refuses to delete).
//
// A widget for the window that shows the person (the insured-person window),
// built over that window's table objects. The host
//   - makes it in its init(), giving its tables and a getter of the person's
//     identifier as stored (RAD:JMBG, UTF-8),
//   - registers the list with itself: addBrowse(earlier->list(), helpButton),
//     which fills it when the window opens and routes the toolbar to it,
//   - calls showPerson() whenever the identifier changes (after it was typed),
//     so that the list reads the new person's rows.
// The tables must outlive the widget (the list holds TBOSIGUR open until it
// goes); a host of its own tables deletes its controls first (endBeforeTables).
//
//   auto* earlier = new EarlierPaymentsList(tables(), [this] {
//       const Record& r = primary().record();
//       return r.display(r.def().fieldIndex("JMBG"));
//   }, group);
//   addBrowse(earlier->list(), help);
//   ... on leaving the identifier: earlier->showPerson();

#include <QWidget>

#include <functional>
#include <string>

class QPushButton;

namespace mvz {

class BrowseList;
class Tables;

class EarlierPaymentsList : public QWidget {
    Q_OBJECT
  public:
    EarlierPaymentsList(Tables& tables, std::function<std::string()> identifier,
                        QWidget* parent = nullptr);

    BrowseList* list() const { return list_; }
    QPushButton* openButton() const { return open_; }
    QPushButton* deleteButton() const { return delete_; }

    // Reads the rows of the person the identifier getter names now.
    void showPerson();

  private:
    Tables& tables_;
    BrowseList* list_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* delete_ = nullptr;
};

} // namespace mvz
