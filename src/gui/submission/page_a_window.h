#pragma once
// Page A of one form ("Obrazac M-V (stranica A)"): the header of the form
// with its counts and control totals, changed and saved with "&U redu", and
// the prints of the form: page A with or without the control mark, page B
// in row order and in name order, and the list of its page-B rows.
//
// The window works on the form it is given (its link key); opened on a form
// that is missing it says so ("Nema obrasca 0012 za firmu 007") and shows an
// empty record.

#include <string>

#include "ui/procedure_window.h"

class QPushButton;

namespace mvz {

class PageAWindow : public ProcedureWindow {
    Q_OBJECT
  public:
    // `linkKey` names the form (A:KONVEZA: identifier + calculation type).
    PageAWindow(Tables& tables, std::string linkKey, QWidget* parent = nullptr);

    bool formFound() const { return found_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* pageAButton() const { return pageA_; }
    QPushButton* pageAWithoutMarkButton() const { return pageAPlain_; }
    QPushButton* pageBButton() const { return pageB_; }
    QPushButton* pageB2Button() const { return pageB2_; }
    QPushButton* rowsButton() const { return rows_; }

  protected:
    bool init() override;
    int primeForRequest() override;

  private:
    // Reads the form again (its message when it is gone); false when missing.
    bool readForm(bool quiet = false);
    void printPageA(bool withMark);
    void printPageB(bool byName);
    void showRows();

    std::string linkKey_;
    bool found_ = false;
    QPushButton *ok_ = nullptr, *close_ = nullptr, *pageA_ = nullptr, *pageAPlain_ = nullptr,
                *pageB_ = nullptr, *pageB2_ = nullptr, *rows_ = nullptr;
};

// Runs the page-A window modally on the form; `request` as a list asks
// (change; delete asks message 9 and deletes the form with its page-B rows).
std::uint8_t runPageAWindow(Tables& tables, const std::string& linkKey);

} // namespace mvz
