#pragma once
// The copy window that offers to copy a formed file onto the diskette (the
// MZ0 folder): after a payer was processed ("Upozorenje 2"), after the
// collective file was made ("Upozorenje 3"), and from "Prijepis file-a"
// ("Upozorenje"). The entry starts at the MZ0 folder + "ZOVAK.MZ0";
// "Kopiraj datoteku" replaces that file by a copy of the source (a copy onto
// the source itself deletes nothing and says so), "Odustani" closes.

#include <string>

#include "ui/procedure_window.h"

class QLineEdit;
class QPushButton;

namespace mvz {

enum class CopyOffer {
    PayerFormed,      // "Upozorenje 2"
    CollectiveFormed, // "Upozorenje 3"
    PayerFile,        // "Upozorenje"
};

class CopyFileWindow : public ProcedureWindow {
    Q_OBJECT
  public:
    // `source` and `target` (the proposed destination) are UTF-8 paths.
    CopyFileWindow(Tables& tables, CopyOffer offer, std::string source, std::string target,
                   QWidget* parent = nullptr);

    QLineEdit* destination() const { return destination_; }
    QPushButton* copyButton() const { return copy_; }
    QPushButton* cancelButton() const { return cancel_; }

  protected:
    bool init() override;
    int takeCompleted() override;

  private:
    CopyOffer offer_;
    std::string source_, target_;
    QLineEdit* destination_ = nullptr;
    QPushButton *copy_ = nullptr, *cancel_ = nullptr;
};

// Opens the copy window modally over `parent`.
void offerCopy(Tables& tables, CopyOffer offer, const std::string& source,
               const std::string& target, QWidget* parent);

} // namespace mvz
