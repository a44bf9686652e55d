#pragma once
// The window manager every window of the program stands on. A window
// declares itself in init(): its primary table (the record a form edits), the
// tables whose buffers it keeps, its browse lists, lookup lists, buttons with
// their completion codes, its OK, Cancel and help controls, its first field
// and its ditto fields. The framework then gives it the life cycle
//
//   init -> prime for the request -> events -> completed / cancelled -> kill
//
// with the request the caller handed over (PendingRequest: 0 view, 1 insert,
// 2 change, 3 delete, 4 select) and the completion code it hands back
// (LastResponse: 1 completed, 2 cancelled), the save and cancel questions,
// the insert-another loop, deleting on priming, the retry questions, the
// ditto key (Ctrl+') and the toolbar routing. Every message goes through the
// ErrorReporter of the window's tables.
//
//   class CodeForm : public ProcedureWindow {
//     bool init() override {
//       setPrimary("OPC");
//       auto* form = new RecordForm(primary(), errors(), this);  form->addFields({...});
//       setForm(form);
//       setOkControl(saveButton);  setCancelControl(cancelButton);  setHelpControl(help);
//       setFirstField(form->editors().front());
//       return true;
//     }
//   };
//   std::uint8_t r = CodeForm(tables).run();     // modal, from a list
//
// Steps a window overrides call the common behaviour first. Results of the
// take... handlers: handled::Continue (0) carry on with the default,
// handled::Consumed (5) the event is dealt with and the window stays open,
// handled::Leave (3) leave the event loop.

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/reporter.h"

#include "ui/requests.h"
#include "ui/toolbar_router.h"

class QAbstractButton;
class QAction;
class QEventLoop;
class QToolBar;

namespace mvz {

class BrowseList;
class ErrorReporter;
class LookupDropList;
class RecordForm;
class TableAccess;
class TableRelations;
class Tables;

namespace handled {
constexpr int Continue = 0;
constexpr int Leave = 3;
constexpr int Consumed = 5;
} // namespace handled

class ProcedureWindow : public QWidget {
    Q_OBJECT
  public:
    enum class WindowEvent { Opened, GainedFocus, DeferredRefresh, OnceOnly, Completed, Close };

    explicit ProcedureWindow(Tables& tables, QWidget* parent = nullptr);
    ~ProcedureWindow() override;

    // Runs the window modally: init (with PendingRequest), prime, the event
    // loop, kill. Returns the completion code (2 when none was set) and
    // stores it in LastResponse. A window whose request was carried out while
    // priming (delete) never shows.
    std::uint8_t run();
    // Starts the window for a parent that shows it (a child of the frame):
    // init and prime; kill runs when it closes, then finished() is emitted
    // and LastResponse set. False when it ended already (it was not shown and
    // deletes itself).
    bool start();

    // --- what the window is doing ---
    std::uint8_t request() const { return request_; }
    std::uint8_t originalRequest() const { return originalRequest_; }
    std::uint8_t response() const { return response_; }
    bool isDead() const { return dead_; }
    bool isOpened() const { return opened_; }
    // Position of the last record added through the insert-another loop (0 none).
    std::int64_t lastInsertedPosition() const { return lastInsertedPosition_; }

    // --- settings (defaults as the common init sets them) ---
    void setInsertAction(std::uint8_t a) { insertAction_ = a; } // 2 close, 3 another, 4 ask
    void setDeleteAction(std::uint8_t a) { deleteAction_ = a; } // 2 ask, 4 without asking
    void setCancelAction(std::uint8_t a) { cancelAction_ = a; } // bit 1 save, bit 2 ask
    void setChangeAction(std::uint8_t a) { changeAction_ = a; }
    void setAutoRefresh(bool on) { autoRefresh_ = on; }
    void setAutoToolbar(bool on) { autoToolbar_ = on; }
    void setResetOnGainFocus(bool on) { resetOnGainFocus_ = on; }
    std::uint8_t insertAction() const { return insertAction_; }
    std::uint8_t deleteAction() const { return deleteAction_; }
    std::uint8_t cancelAction() const { return cancelAction_; }

    // --- registration (in init) ---
    // The table the form edits, opened through its relation set.
    void setPrimary(std::string_view table);
    TableAccess& primary() const;
    bool hasPrimary() const { return primary_ != nullptr; }
    // A table whose buffer the window saves at the start and restores at the end.
    void addFile(std::string_view table);
    // A browse list, its buttons and help button go to the toolbar router; a
    // window opened to select puts its lists in selection mode.
    void addBrowse(BrowseList* list, QAbstractButton* helpButton = nullptr);
    void addFileDrop(LookupDropList* drop);
    // A button that ends the window with a fixed completion code.
    void addButton(QAbstractButton* button, std::uint8_t response);
    void setOkControl(QAbstractButton* button);
    void setCancelControl(QAbstractButton* button); // a button with the code 2
    void setHelpControl(QAbstractButton* button);
    void setFirstField(QWidget* control) { firstField_ = control; }
    QWidget* firstField() const { return firstField_; }
    void setForm(RecordForm* form);
    RecordForm* form() const { return form_; }
    // The window itself as the toolbar's form target (setForm does it for a
    // record form; a window with controls of its own calls it).
    void addFormTarget();
    // A control whose value at the last save the ditto key recalls: a field
    // of the record form, a line editor or an editable drop list. The values
    // outlive the window: one opened again recalls what was saved the last
    // time a window of its kind was open.
    void addHistory(QWidget* control);
    bool hasHistory() const { return !history_.empty(); }
    // Any other button: the handler runs after the common accepted handling
    // lets the event through.
    void onAccepted(QAbstractButton* button, std::function<void()> handler);
    // A toolbar in the window with the frame's buttons (forms run over their
    // list, while the frame's own toolbar waits).
    QToolBar* addFormToolbar();

    Tables& tables() const { return tables_; }
    ErrorReporter& errors() const;
    ToolbarRouter& toolbarRouter() { return router_; }
    const std::vector<BrowseList*>& browses() const { return browses_; }

    // --- toolbar (the frame calls toolbarAccepted for the current child) ---
    Q_INVOKABLE void toolbarAccepted(int control);
    // Puts the frame's toolbar (and the form toolbar) in step with the
    // target that has the focus.
    Q_INVOKABLE void refreshToolbar();
    bool toolbarEnabled(int control) const;
    QString toolbarTip(int control) const;
    // Saves the form and hands the move to the list that opened it.
    void navigate(int control);
    // True when the form was opened by a list that can carry a move.
    bool navigationAllowed() const { return navigationAllowed_; }
    void recallPreviousValue(QWidget* control);
    void help();

    // Presses the OK control (as the close question's Yes does).
    void pressOk();
    // The window's cancel (Escape): presses the cancel control, or closes
    // as the close box does when the window has none.
    void cancel();
    // The control Enter presses from a field (none: Enter moves on).
    void setDefaultControl(QAbstractButton* button);
    QAbstractButton* defaultControl() const;
    // Closes the window as its close box does (with the close questions).
    void requestClose();
    // Closes the window without the close questions.
    void endWindow();
    // Whether the form's record differs from the reference copy.
    bool recordChanged();

  signals:
    void finished(int response);
    void toolbarStateChanged();

  protected:
    // For the destructor of a window that owns its table objects: ends the
    // window (kill) and deletes its controls, so that lists and forms close
    // their tables before the table objects go.
    void endBeforeTables();

    // A window that changes its request once it is open (a change window
    // opened without a request).
    void setRequest(std::uint8_t request) { request_ = request; }
    // Stores the current value of every history control (take completed does
    // it before saving).
    void storeHistory();

    // --- the overridable steps ---
    // Builds and registers; false when the window cannot open.
    virtual bool init();
    virtual void kill();
    virtual void firstRefresh();
    // Presets the fields of a new record; non-zero fails the insert.
    virtual int primeFields();
    virtual int primeForRequest();
    virtual void refresh();
    // Record -> controls.
    virtual void display();
    virtual std::uint8_t runProcedure(int number, std::uint8_t request);
    virtual void setAlerts();
    virtual void setResponse(std::uint8_t response);
    virtual int takeAccepted(QObject* control);
    virtual int takeCompleted();
    virtual int takeCloseEvent();
    virtual int takeFieldEvent(QWidget* control);
    virtual int takeNewSelection(QWidget* control);
    virtual int takeRejected(QWidget* control);
    virtual int takeSelected(QWidget* control);
    virtual int takeWindowEvent(WindowEvent event);
    // Controls -> the browse lists' fields (the highlighted records).
    virtual void update();

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    bool begin();
    void finish();
    void accepted(QObject* control);
    int insertCompleted();
    int changeCompleted();
    int deleteCompleted();
    int retryDeclined(mvz::Button answer);
    void focusFirstField();
    void syncToolbar();
    void saveBuffers();
    void restoreBuffers();
    QString historyKey(const QWidget* control) const;
    QString controlText(const QWidget* control) const;
    void setControlText(QWidget* control, const QString& text);

    Tables& tables_;
    std::uint8_t request_ = 0;
    std::uint8_t originalRequest_ = 0;
    std::uint8_t response_ = 0;
    std::uint8_t insertAction_ = 2, deleteAction_ = 2, changeAction_ = 1, cancelAction_ = 3;
    bool autoRefresh_ = true, autoToolbar_ = true, resetOnGainFocus_ = false;
    bool dead_ = false, opened_ = false, ended_ = false, closing_ = false, modal_ = false;
    bool closePending_ = false; // a response was set, the close is on its way
    int inited_ = 0;            // bit 1 first refresh done, bit 2 a refresh pending
    std::int64_t lastInsertedPosition_ = 0;
    bool navigationAllowed_ = false;

    TableAccess* primary_ = nullptr;
    TableRelations* primaryRelations_ = nullptr;
    bool primaryOpened_ = false;
    std::vector<TableAccess*> files_;
    std::string startImage_, startMemo_;    // the primary buffer when primed
    std::string reference_, referenceMemo_; // what "changed" is measured against

    std::vector<BrowseList*> browses_;
    std::vector<QPointer<LookupDropList>> drops_;
    std::map<QObject*, std::uint8_t> buttons_;
    std::map<QObject*, std::function<void()>> handlers_;
    QPointer<QAbstractButton> ok_, cancel_, help_, default_;
    QPointer<QWidget> firstField_;
    RecordForm* form_ = nullptr;
    std::vector<QPointer<QWidget>> history_;
    ToolbarRouter router_;
    QToolBar* formToolbar_ = nullptr;
    std::map<int, QAction*> formActions_;
    QEventLoop* loop_ = nullptr;
};

} // namespace mvz
