#pragma once
// The shape of the windows that move data: a note, a folder entry with its
// prompt and "..." chooser, the run's button and "&Odustani"; the run goes on
// a worker thread under the progress window and its outcome is shown in a
// message box or in a result line of the window. Declared by data:
//
//   FolderRunSpec decl;
//   decl.title = "Export datoteka";
//   decl.prompt = "Odredite lokaciju";  decl.width = 128;  decl.preset = ...;
//   decl.runCaption = "&Export";
//   decl.run = [](const std::string& folder, Reporter& r) { return exportDatabase(...); };
//   auto* w = new FolderRunWindow(std::move(tables), decl);
//
// `before` runs first in the GUI thread (checks and the confirmation); false
// stops the run. With `alone`, every other window of the host is closed
// before the run, so that none holds the tables it replaces.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

#include "exchange/exchange.h"
#include "ui/procedure_window.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace mvz {

class Reporter;

class FolderRunWindow;

struct FolderRunSpec {
    QString title;
    QString noteTitle; // the heading of the note (none: the lines stand alone)
    QStringList notes; // lines above the entry
    QString prompt;    // the entry's prompt
    int width = 128;   // characters the entry takes
    QString preset;    // the folder when the window opens
    QString chooserTitle = QStringLiteral("Popis datoteka");
    QStringList warning; // lines below the entry, in bold
    QString runCaption;
    QString cancelCaption = QStringLiteral("&Odustani");
    bool resultLine = false; // the outcome in a line of the window instead of a box
    bool alone = false;      // the other windows close first
    std::function<bool(FolderRunWindow& window, const std::string& folder)> before;
    std::function<ExchangeResult(const std::string& folder, Reporter& reporter)> run;
};

class FolderRunWindow : public ProcedureWindow {
    Q_OBJECT
  public:
    FolderRunWindow(std::unique_ptr<Tables> tables, FolderRunSpec decl, QWidget* parent = nullptr);
    ~FolderRunWindow() override;

    QLineEdit* folderEntry() const { return folder_; }
    QPushButton* chooseButton() const { return choose_; }
    QPushButton* runButton() const { return run_; }
    QPushButton* cancelButton() const { return cancel_; }
    QLabel* resultLine() const { return result_; }
    // What the last run gave.
    const ExchangeResult& lastResult() const { return last_; }

    // Runs as the run button does; false when it did not run or failed.
    bool runNow();
    // A message box of this window ("|" starts a new line).
    void say(const std::string& text, bool failed);

  protected:
    bool init() override;

  private:
    void chooseFolder();

    std::unique_ptr<Tables> owned_;
    FolderRunSpec spec_;
    QLineEdit* folder_ = nullptr;
    QPushButton *choose_ = nullptr, *run_ = nullptr, *cancel_ = nullptr;
    QLabel* result_ = nullptr;
    ExchangeResult last_;
};

} // namespace mvz
