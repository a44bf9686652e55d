#pragma once
// Routing of the frame's toolbar (controls 2000-2012) inside one window: the
// router keeps the window's targets (its browse lists and, for a form, the
// form itself) and passes a toolbar control to the target that has the
// focus. It also says which controls that target allows, with its tooltips,
// so that the window can keep the toolbar in step.
//
// A browse target: first/last row, page up/down, previous/next row move the
// list; insert, change, delete and select press the window's buttons; help
// presses the help button; locate puts the focus in the list's locator.
// A form target: the navigation controls (and insert) save the form first and
// hand the move to the list that opened it (PendingNavigation); ditto recalls
// the previous value of the focused field; help opens the guide.

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <vector>

class QAbstractButton;
class QWidget;

namespace mvz {

class BrowseList;
class ProcedureWindow;

class ToolbarRouter : public QObject {
    Q_OBJECT
  public:
    struct Buttons {
        QPointer<QAbstractButton> help, insert, change, remove, select;
    };

    explicit ToolbarRouter(QObject* parent = nullptr);

    void addBrowseTarget(BrowseList* list, const Buttons& buttons);
    void addFormTarget(ProcedureWindow* form, const Buttons& buttons, std::uint8_t request,
                       bool history);
    void clear();

    // Acts on a toolbar control; false when the current target does not
    // allow it (nothing happens then).
    bool take(int control);
    bool isEnabled(int control) const;
    // The tooltip the control has for the current target ("" for the
    // frame's own).
    QString tooltip(int control) const;

    // The browse list the toolbar acts on (nullptr when the form or nothing).
    BrowseList* currentList() const;

    // Tells the router where the focus went (the window calls it on every
    // focus change); emits stateChanged.
    void focusChanged(QWidget* focus);
    // Emits stateChanged (after the lists changed what they allow).
    void update();

  signals:
    void stateChanged();

  private:
    struct Target {
        QPointer<BrowseList> list;      // a browse target
        QPointer<ProcedureWindow> form; // a form target
        Buttons buttons;
        std::uint8_t request = 0;
        bool history = false;
    };
    const Target* current() const;
    static bool pressable(const QPointer<QAbstractButton>& button);

    std::vector<Target> targets_;
    int current_ = -1;
};

// Tooltips the toolbar shows for a list and for a form.
QString listToolbarTip(int control);
QString formToolbarTip(int control, std::uint8_t request);

} // namespace mvz
