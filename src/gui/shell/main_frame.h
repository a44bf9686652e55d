#pragma once
// The main frame: the program's window with the menu bar, the toolbar, the
// status bar and the area in which every other window opens as a child.
//
// Menu items that start a window are enabled once a window is registered for
// them (registerWindow); until then they are shown disabled. Each choice
// opens a new child, so several windows, also the same one twice, can be open
// side by side.
//
// The frame is the windows' host (WindowHost): a toolbar click goes to the
// current child window, the frame calls the child's invokable method
// `toolbarAccepted(int control)` (queued), when the child has one. With no
// child the buttons that act on a window are disabled. A window sets what the
// buttons allow with setToolbarState(). When another child becomes current
// the frame puts the toolbar back to its own state (every button enabled, the
// frame's tooltips) and calls that child's invokable `refreshToolbar()`, when
// it has one.
//
// At start the frame reminds the user when the authorised person of the
// application parameters is still a placeholder, then shows the credit
// window; the first accepted control in the frame closes it.

#include <QMainWindow>
#include <QPointer>

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "shell/credit_window.h"
#include "ui/window_host.h"

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QStyle;

namespace mvz {

class ErrorReporter;
struct MenuEntry;

class MainFrame : public QMainWindow, public WindowHost, public WindowRegistry {
    Q_OBJECT
  public:
    static QString caption();
    // The tooltip and status text of a menu item whose window is not built.
    static QString notBuiltText();

    MainFrame(std::string dataDir, ErrorReporter& errors, QWidget* parent = nullptr);
    ~MainFrame() override;

    // Lets the menu item (its name in the menu table) start the window the
    // factory builds, and enables the item. False for a name that is not a
    // window item of the menu.
    bool registerWindow(std::string_view itemName, WindowFactory factory) override;
    bool registerNamedWindow(std::string_view name, WindowFactory factory) override;
    // A menu item's window or a named window.
    bool isRegistered(std::string_view itemName) const;
    // Opens the window registered under the name (a menu item's or a named
    // one) as a new child. False when none is or it did not open.
    bool openWindow(std::string_view name);

    // Chooses a menu item or toolbar button as the user would. False when the
    // item is unknown or disabled.
    bool choose(std::string_view itemName);
    bool clickToolbar(int control);

    // --- WindowHost ---
    void openChild(QWidget* window, ChildPlacement placement = ChildPlacement::Remembered) override;
    QWidget* currentChild() const override;
    bool closeOtherChildren(QWidget* keep) override;
    void setToolbarState(int control, bool enabled, const QString& tooltip = {}) override;
    QIcon icon(std::string_view name) const override;
    void openUserGuide() override;
    QString outputFolder() const override;
    void prepareSavedFile(const QString& path) override;

    QAction* menuAction(std::string_view itemName) const; // items and menus
    QAction* toolbarAction(int control) const;
    // The frame's own toolbar state: with a child that answers the toolbar
    // every button enabled, with the frame's tooltips; otherwise only the
    // guide's.
    void resetToolbar();
    QMdiArea* mdiArea() const { return mdi_; }
    CreditWindow* creditWindow() const { return credit_; }
    // How long the credit window stays (set before the frame is shown).
    void setCreditCloseAfterMs(int ms) { creditCloseAfterMs_ = ms; }

    const std::string& dataDir() const { return dataDir_; }
    ErrorReporter& errors() const { return errors_; }
    // The printer chosen in the printer set-up; reports print to it.
    QPrinter& printer();

    // The frame a widget lives in, or nullptr.
    static MainFrame* of(const QWidget* widget);

  signals:
    // The frame's window has opened: the reminder (if any) was answered and
    // the credit window is shown.
    void started();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildMenus();
    void buildToolbar();
    void windowOpened();
    // Every accepted control of the frame comes here.
    void accept(int control);
    void run(const MenuEntry& entry);
    void editAction(const char* slot);
    void arrangeIcons();
    void fillWindowList(QMenu* menu);
    void closeCredit();
    void currentChildChanged();

    std::string dataDir_;
    ErrorReporter& errors_;
    QMdiArea* mdi_ = nullptr;
    std::map<std::string, QAction*, std::less<>> actions_;
    std::map<int, QAction*> toolbarActions_;
    std::map<int, QString> toolbarTips_;
    QPointer<QWidget> toolbarChild_; // the child the toolbar state is for
    std::map<std::string, WindowFactory, std::less<>> factories_;
    QPointer<CreditWindow> credit_;
    int creditCloseAfterMs_;
    bool opened_ = false;
    std::unique_ptr<QPrinter> printer_;
    QStyle* menuStyle_ = nullptr;
};

} // namespace mvz
