#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolBar>
#include <QtTest>

#include <memory>
#include <vector>

#include "data/error_reporter.h"
#include "data/installation_mode.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "print/zoom_table.h"
#include "setup/initialize.h"
#include "setup/installation_probe.h"
#include "shell/about_window.h"
#include "shell/credit_window.h"
#include "shell/help_document.h"
#include "shell/main_frame.h"
#include "shell/new_installation_offer.h"
#include "shell/shell_windows.h"
#include "shell/start_requests.h"
#include "support/temp_dir.h"
#include "ui/list_window.h"
#include "ui/report_preview.h"

using namespace mvz;

namespace {

// Records the message boxes and answers each with its default button.
class BoxRecorder : public Reporter {
  public:
    std::vector<MessageBox> boxes;
    Button show(const MessageBox& box) override {
        boxes.push_back(box);
        return box.defaultButton;
    }
};

// A window that notes the toolbar buttons handed to it.
class ToolbarProbe : public QLabel {
    Q_OBJECT
  public:
    ToolbarProbe() : QLabel(QStringLiteral("probe")) { setWindowTitle(QStringLiteral("Probe")); }
    std::vector<int> received;
    bool noDelete = false; // what it allows: everything, or no delete
    Q_INVOKABLE void toolbarAccepted(int control) { received.push_back(control); }
    Q_INVOKABLE void refreshToolbar() {
        if (!noDelete) return;
        MainFrame::of(this)->setToolbarState(2002, false);
        MainFrame::of(this)->setToolbarState(2000, true, QStringLiteral("Upis zaposlenika"));
    }
};

struct ExpectedEntry {
    int control; // 0: separator
    const char* text;
    const char* status;
    QChar hotLetter;
};

// The menu tree of the frame: top-level menus start a group.
const std::vector<std::pair<ExpectedEntry, std::vector<ExpectedEntry>>> kExpectedMenus = {
    {{-1, "&Evidencije  ", "", 'E'},
     {{-2, "&1. Poslodavac i zaposlenici", "", '1'},
      {-3, "&2. Formiranje obrazaca", "", '2'},
      {0, "", "", {}},
      {-4, "&3. Preuzimanje podataka", "", '3'},
      {0, "", "", {}},
      {-5, "&3. Vrste obveznika", "Upis, promjena i brisanje vrste obveznika", '3'},
      {-6, "&4. Vrste obračuna/ispravka",
       "Upis, promjena i brisanje pojmova u šifarniku Vrste obračuna/ispravkaa", '4'},
      {-7, "&5. Osnov obračuna", "", '5'},
      {-8, "&6. Staž s uvećanim trajanjem",
       "Upis, promjena i brisanje oznaka s povečanim trajanjem  ", '6'},
      {-9, "&7. Stope doprinosa", "Pregled, upis, ažiriranje i brisanje obračunskih stopa", '7'},
      {-10, "&8. Gradovi i općine",
       "Upis, promjena i brisanje podataka iz šifarnika općina i gradova u RH ", '8'},
      {0, "", "", {}},
      {-11, "&9. Vezne kontrole", "", '9'},
      {0, "", "", {}},
      {-12, "&X. IZLAZ IZ PROGRAMA", "Exit this application", 'X'}}},
    {{-13, "&Servisi  ", "", 'S'},
     {{-14, "&1. Aplikacijski parametri", "", '1'},
      {-15, "&2. Pregled formiranja obrazaca", "", '2'},
      {0, "", "", {}},
      {-16, "&3. Kontrola ulazne datoteke", "", '3'},
      {-17, "&4. Pregled grešaka i upozorenja", "", '4'},
      {0, "", "", {}},
      {-18, "&5. Formalna kontrola sloga za ZOVAK", "", '5'},
      {0, "", "", {}},
      {-19, "&6. Export podataka", "", '6'},
      {-20, "&7. Import podataka", "", '7'},
      {-21, "&8. Preuzimanje podataka iz M-Vz 2005", "", '8'},
      {0, "", "", {}},
      {-22, "&9. Izbor i podešavanje pisača ...", "Setup printer", '9'}}},
    {{-23, "&Edit  ", "", 'E'},
     {{-24, "Cu&t", "Remove item to Windows Clipboard", 'T'},
      {-25, "&Copy", "Copy item to Windows Clipboard", 'C'},
      {-26, "&Paste", "Paste contents of Windows Clipboard", 'P'}}},
    {{-27, "&Window  ", "Create and Arrange windows", 'W'},
     {{-28, "T&ile", "Make all open windows visible", 'I'},
      {-29, "&Cascade", "Stack all open windows", 'C'},
      {-30, "&Arrange Icons", "Align all window icons", 'A'}}},
    {{-31, "&Upute  ", "Windows Help", 'U'},
     {{-32, "&O programu", "", 'O'}, {-33, "&Upute za rad - pdf", "", 'U'}}},
};

// The items that start a window of their own (disabled until it is built).
const char* const kWindowItems[] = {"employers",
                                    "forming",
                                    "paymentForms",
                                    "payerTypes",
                                    "calculationTypes",
                                    "insuranceBases",
                                    "extendedService",
                                    "rates",
                                    "municipalities",
                                    "controlTable",
                                    "applicationParameters",
                                    "formedForms",
                                    "paymentCheck",
                                    "paymentFindings",
                                    "formalControl",
                                    "export",
                                    "import",
                                    "takeover",
                                    "about"};

void compareEntry(QAction* action, const ExpectedEntry& e) {
    const QString where = QString::fromUtf8(e.text);
    QVERIFY2(!action->isSeparator(), qPrintable(where));
    QCOMPARE(action->text(), QString::fromUtf8(e.text));
    // An item whose window is not built says so instead of its own text.
    QCOMPARE(action->statusTip(),
             action->isEnabled() ? QString::fromUtf8(e.status) : MainFrame::notBuiltText());
    QCOMPARE(action->property("control").toInt(), e.control);
    QVERIFY2(action->isVisible(), qPrintable(where));
    // The hot letter as the menu reads it from the text.
    QCOMPARE(QKeySequence::mnemonic(action->text()),
             QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(e.hotLetter.unicode()))));
}

// Sets APL:JMBG of the one parameters record; an empty value deletes it.
void setAuthorisedPerson(const std::string& dir, ErrorReporter& errors, const char* identifier) {
    Tables tables(dir, errors);
    TableAccess& apl = tables.access("APLPARAM");
    QCOMPARE(apl.open(), result::Ok);
    apl.setStart();
    QCOMPARE(apl.next(), result::Ok);
    if (*identifier) {
        apl.record().setText(apl.def().fieldIndex("JMBG"), identifier);
        QCOMPARE(apl.change(), result::Ok);
    } else {
        QCOMPARE(apl.remove(), result::Ok);
    }
    apl.close();
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> dir_;
    BoxRecorder boxes_;
    std::unique_ptr<ErrorReporter> errors_;

    // A frame over a fresh installation (its authorised person the placeholder).
    std::unique_ptr<MainFrame> makeFrame(int creditMs = CreditWindow::kCloseAfterMs) {
        auto frame = std::make_unique<MainFrame>(dir_->str(), *errors_);
        frame->setCreditCloseAfterMs(creditMs);
        registerShellWindows(*frame);
        return frame;
    }
    static void start(MainFrame& frame) {
        QSignalSpy started(&frame, &MainFrame::started);
        frame.show();
        QVERIFY(started.wait(5000) || started.count() == 1);
    }

  private slots:
    void init() {
        dir_ = std::make_unique<test::TempDir>();
        boxes_.boxes.clear();
        errors_ = std::make_unique<ErrorReporter>(boxes_);
        errors_->addMessages(standardMessages());
        QVERIFY(initializeDataDirectory(dir_->str(), *errors_).ok);
    }
    void cleanup() {
        errors_.reset();
        dir_.reset();
    }

    void anEmptyFolderIsOfferedANewInstallation() {
        // Answers the offer with the button of that name once it shows.
        auto answer = [](const char* button, bool shared) {
            auto poll = std::make_shared<std::function<void()>>();
            *poll = [poll, button, shared] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return QTimer::singleShot(5, *poll);
                box->findChild<QCheckBox*>(QStringLiteral("sharedInstallation"))
                    ->setChecked(shared);
                for (QAbstractButton* b : box->buttons())
                    if (b->objectName() == button || b->text() == QString::fromUtf8(button))
                        b->click();
            };
            QTimer::singleShot(0, *poll);
        };
        test::TempDir empty;
        const QString folder = QString::fromStdString(empty.str());
        answer("&Izlaz", false);
        QCOMPARE(offerNewInstallation(folder, *errors_), OfferOutcome::Declined);
        QVERIFY(!holdsDataFiles(empty.str()));

        answer("demoInstallation", false);
        QCOMPARE(offerNewInstallation(folder, *errors_), OfferOutcome::Created);
        QVERIFY(QFile::exists(QString::fromStdString(empty.file("TBPOSLOD.DAT"))));
        QCOMPARE(installationMode(empty.str()), InstallationMode::Private);
        // An installation is not offered again.
        QCOMPARE(offerNewInstallation(folder, *errors_), OfferOutcome::NotNeeded);

        test::TempDir bureau;
        answer("emptyInstallation", true);
        QCOMPARE(offerNewInstallation(QString::fromStdString(bureau.str()), *errors_),
                 OfferOutcome::Created);
        QVERIFY(!QFile::exists(QString::fromStdString(bureau.file("TBPOSLOD.DAT"))));
        QVERIFY(holdsDataFiles(bureau.str()));
        QCOMPARE(installationMode(bureau.str()), InstallationMode::Shared);
    }

    void captionAndMenuTree() {
        auto frame = makeFrame();
        QCOMPARE(frame->windowTitle(),
                 QStringLiteral("TARVELIN - OBRAZAC M-Vz  - 2010 - Verzija-0.3"));
        const QList<QAction*> menus = frame->menuBar()->actions();
        QCOMPARE(menus.size(), qsizetype(kExpectedMenus.size()));
        for (std::size_t m = 0; m < kExpectedMenus.size(); ++m) {
            const auto& [menuEntry, items] = kExpectedMenus[m];
            compareEntry(menus[m], menuEntry);
            QMenu* menu = menus[m]->menu();
            QVERIFY(menu);
            const QList<QAction*> actions = menu->actions();
            QCOMPARE(actions.size(), qsizetype(items.size()));
            for (std::size_t i = 0; i < items.size(); ++i) {
                if (items[i].control == 0)
                    QVERIFY2(actions[i]->isSeparator(), qPrintable(menu->title()));
                else
                    compareEntry(actions[i], items[i]);
            }
        }
    }

    void windowItemsStayDisabledUntilRegistered() {
        auto frame = makeFrame();
        for (const char* name : kWindowItems) {
            QAction* action = frame->menuAction(name);
            QVERIFY2(action, name);
            QVERIFY2(action->isVisible(), name);
            QCOMPARE(action->isEnabled(), frame->isRegistered(name));
            if (!action->isEnabled()) {
                QCOMPARE(action->toolTip(), MainFrame::notBuiltText());
                QCOMPARE(action->statusTip(), MainFrame::notBuiltText());
            }
        }
        // Registering a window gives the item its own status text back.
        QVERIFY(frame->registerWindow("rates", [](const WindowContext&) { return new QLabel; }));
        QCOMPARE(frame->menuAction("rates")->statusTip(),
                 QStringLiteral("Pregled, upis, ažiriranje i brisanje obračunskih stopa"));
        QVERIFY(frame->menuAction("rates")->toolTip() != MainFrame::notBuiltText());
        QVERIFY(frame->isRegistered("about"));
        QVERIFY(!frame->choose("paymentCheck"));
        QVERIFY(frame->mdiArea()->subWindowList().isEmpty());
        for (const char* name : {"exit", "printerSetup", "cut", "copy", "paste", "tile", "cascade",
                                 "arrangeIcons", "userGuide"})
            QVERIFY2(frame->menuAction(name)->isEnabled(), name);
        // Only window items take a window.
        QVERIFY(!frame->registerWindow("exit", [](const WindowContext&) { return new QLabel; }));
        QVERIFY(!frame->registerWindow("nothing", [](const WindowContext&) { return new QLabel; }));
        QVERIFY(frame->registerWindow("rates", [](const WindowContext&) { return new QLabel; }));
        QVERIFY(frame->menuAction("rates")->isEnabled());
    }

    void toolbarButtons() {
        auto frame = makeFrame();
        const std::vector<std::pair<int, QString>> expected = {
            {2005, QStringLiteral("Skok na prvu stranicu")},
            {2007, QStringLiteral("Povratak na prethodnu stranicu")},
            {2009, QStringLiteral("Prethodni redak")},
            {2010, QStringLiteral("Traži podatak")},
            {2008, QStringLiteral("Slijedeći redak ")},
            {2006, QStringLiteral("Skon na slijedeću stranicu")},
            {2004, QStringLiteral("Skok na kraj ispisa")},
            {2003, QStringLiteral("Select This Record")},
            {2000, QStringLiteral("Upis novog podatka")},
            {2001, QStringLiteral("Promjena postojećih podataka")},
            {2002, QStringLiteral("Brisanje podatka")},
            {2011, QStringLiteral("Prethodna vrijednost")},
            {2012, QStringLiteral("Upute za rad")}};
        auto* bar = frame->findChild<QToolBar*>(QStringLiteral("frameToolbar"));
        QVERIFY(bar);
        const QList<QAction*> buttons = bar->actions();
        QCOMPARE(buttons.size(), qsizetype(13));
        for (std::size_t i = 0; i < expected.size(); ++i) {
            QCOMPARE(buttons[i]->property("control").toInt(), expected[i].first);
            QCOMPARE(buttons[i]->toolTip(), expected[i].second);
            QVERIFY(!buttons[i]->icon().isNull());
            QCOMPARE(frame->toolbarAction(expected[i].first), buttons[i]);
        }
    }

    void toolbarGoesToTheCurrentChildOnly() {
        auto frame = makeFrame();
        // No child: only the guide has something to act on.
        for (int control = 2000; control <= 2011; ++control)
            QVERIFY(!frame->toolbarAction(control)->isEnabled());
        QVERIFY(frame->toolbarAction(2012)->isEnabled());
        QVERIFY(!frame->clickToolbar(2008));

        std::vector<ToolbarProbe*> probes;
        frame->registerWindow("payerTypes", [&probes](const WindowContext&) {
            probes.push_back(new ToolbarProbe);
            return probes.back();
        });
        QVERIFY(frame->choose("payerTypes"));
        QVERIFY(frame->choose("payerTypes"));
        QCOMPARE(probes.size(), std::size_t(2));
        frame->mdiArea()->setActiveSubWindow(
            qobject_cast<QMdiSubWindow*>(probes[0]->parentWidget()));
        QVERIFY(frame->clickToolbar(2000));
        QVERIFY(frame->clickToolbar(2012));
        // Handed over as an event: not yet there, then in order.
        QVERIFY(probes[0]->received.empty());
        QTRY_COMPARE(probes[0]->received, (std::vector<int>{2000, 2012}));
        QVERIFY(probes[1]->received.empty());

        // Each child sets what the buttons allow when it becomes current;
        // one that sets nothing gets the frame's own toolbar.
        QAction* remove = frame->toolbarAction(2002);
        QAction* insert = frame->toolbarAction(2000);
        probes[0]->noDelete = true;
        auto activate = [&](ToolbarProbe* probe) {
            frame->mdiArea()->setActiveSubWindow(
                qobject_cast<QMdiSubWindow*>(probe->parentWidget()));
        };
        activate(probes[1]);
        activate(probes[0]);
        QVERIFY(!remove->isEnabled());
        QCOMPARE(insert->toolTip(), QStringLiteral("Upis zaposlenika"));
        QVERIFY(!frame->clickToolbar(2002));
        activate(probes[1]);
        QVERIFY(remove->isEnabled());
        QCOMPARE(insert->toolTip(), QStringLiteral("Upis novog podatka"));
        activate(probes[0]);
        QVERIFY(!remove->isEnabled());
        // Closing the last children gives the frame its own toolbar back:
        // nothing to act on but the guide.
        frame->mdiArea()->closeAllSubWindows();
        QTRY_VERIFY(frame->mdiArea()->subWindowList().isEmpty());
        QTRY_VERIFY(!remove->isEnabled());
        QVERIFY(frame->toolbarAction(2012)->isEnabled());
    }

    void editMenuWorksOnTheFocusedEntry() {
        auto frame = makeFrame();
        QVERIFY(frame->registerWindow("employers", [](const WindowContext&) {
            auto* edit = new QLineEdit(QStringLiteral("Žužić"));
            edit->setWindowTitle(QStringLiteral("Poslodavci"));
            return edit;
        }));
        start(*frame);
        QVERIFY(frame->choose("employers"));
        auto* edit = qobject_cast<QLineEdit*>(frame->currentChild());
        QVERIFY(edit);
        edit->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(edit));
        edit->selectAll();
        QVERIFY(frame->choose("cut"));
        QCOMPARE(edit->text(), QString());
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Žužić"));
        QVERIFY(frame->choose("paste"));
        QVERIFY(frame->choose("paste"));
        QCOMPARE(edit->text(), QStringLiteral("ŽužićŽužić"));
        edit->setSelection(0, 3);
        QVERIFY(frame->choose("copy"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Žuž"));
        QCOMPARE(edit->text(), QStringLiteral("ŽužićŽužić"));
    }

    void printerSetupOpensTheSystemDialog() {
        auto frame = makeFrame();
        start(*frame);
        QString shown;
        QTimer::singleShot(0, [&shown] {
            // The dialog is modal: it is closed from the event loop it runs.
            QTimer* poll = new QTimer;
            QObject::connect(poll, &QTimer::timeout, [poll, &shown] {
                if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                    shown = QString::fromLatin1(dialog->metaObject()->className());
                    dialog->reject();
                    poll->deleteLater();
                }
            });
            poll->start(20);
        });
        QVERIFY(frame->choose("printerSetup"));
        QVERIFY2(!shown.isEmpty(), "no print dialog");
        QVERIFY(frame->isVisible());
    }

    void municipalityListPrintsIntoAPreviewChild() {
        auto frame = makeFrame();
        start(*frame);
        const std::size_t before = boxes_.boxes.size(); // the placeholder reminder
        QVERIFY(frame->choose("municipalities"));
        auto* list = qobject_cast<ListWindow*>(frame->currentChild());
        QVERIFY(list);
        QTRY_VERIFY(!list->list()->isEmpty());
        list->printButton()->click();
        auto* preview = qobject_cast<ReportPreview*>(frame->currentChild());
        QVERIFY(preview);
        QCOMPARE(preview->windowTitle(), QStringLiteral("Report Preview"));
        QCOMPARE(preview->model().title, std::string("ŠIFARNIK - OPĆINE I GRADOVI"));
        QVERIFY(preview->pageCount() >= 1);
        QCOMPARE(frame->mdiArea()->subWindowList().size(), qsizetype(2));
        // It fills the frame's area, a page at the window's width.
        QCOMPARE(preview->parentWidget()->geometry(), frame->mdiArea()->viewport()->rect());
        QCOMPARE(preview->zoom(), kZoomPageWidth);
        QCOMPARE(boxes_.boxes.size(), before);
    }

    void sameItemTwiceOpensTwoChildren() {
        auto frame = makeFrame();
        std::vector<std::string> dataDirs;
        QVERIFY(frame->registerWindow("employers", [&dataDirs](const WindowContext& context) {
            dataDirs.push_back(context.dataDir);
            auto* window = new QLabel(QStringLiteral("Poslodavci"));
            window->setWindowTitle(QStringLiteral("Poslodavci"));
            return window;
        }));
        start(*frame);
        frame->menuAction("employers")->trigger();
        frame->menuAction("employers")->trigger();
        QVERIFY(frame->choose("about"));
        const QList<QMdiSubWindow*> subs = frame->mdiArea()->subWindowList();
        QCOMPARE(subs.size(), qsizetype(3));
        QVERIFY(subs[0]->widget() != subs[1]->widget());
        QCOMPARE(subs[0]->windowTitle(), QStringLiteral("Poslodavci"));
        QCOMPARE(subs[1]->windowTitle(), QStringLiteral("Poslodavci"));
        QCOMPARE(dataDirs, (std::vector<std::string>{dir_->str(), dir_->str()}));
        QCOMPARE(MainFrame::of(subs[0]->widget()), frame.get());
        // The Window menu lists the open children after its own items, the
        // current one checked; choosing one makes it current.
        QMenu* windowMenu = frame->menuAction("window")->menu();
        emit windowMenu->aboutToShow();
        QList<QAction*> listed = windowMenu->actions().mid(3);
        QCOMPARE(listed.size(), qsizetype(4));
        QVERIFY(listed[0]->isSeparator());
        QCOMPARE(listed[1]->text(), QStringLiteral("&1 Poslodavci"));
        QCOMPARE(listed[3]->text(), QStringLiteral("&3 O programu"));
        QVERIFY(listed[3]->isChecked() && !listed[1]->isChecked());
        listed[1]->trigger();
        QCOMPARE(frame->mdiArea()->currentSubWindow(), subs[0]);
        emit windowMenu->aboutToShow();
        QCOMPARE(windowMenu->actions().size(), qsizetype(7));
        // A closed child is gone; the frame closes the rest when it closes.
        subs[0]->close();
        QTRY_COMPARE(frame->mdiArea()->subWindowList().size(), qsizetype(2));
        QVERIFY(frame->choose("exit"));
        QVERIFY(!frame->isVisible());
        QTRY_VERIFY(frame->mdiArea()->subWindowList().isEmpty());
    }

    void reminderForAPlaceholderPerson_data() {
        QTest::addColumn<QByteArray>("identifier"); // "-" keeps the installation's
        QTest::addColumn<bool>("reminded");
        QTest::newRow("thirteen ones") << QByteArray("-") << true;
        QTest::newRow("thirteen zeros") << QByteArray("0000000000000") << true;
        QTest::newRow("a real person") << QByteArray("0101970330003") << false;
        QTest::newRow("twelve ones") << QByteArray("111111111111") << false;
        QTest::newRow("no parameters record") << QByteArray("") << false;
    }
    void reminderForAPlaceholderPerson() {
        QFETCH(QByteArray, identifier);
        QFETCH(bool, reminded);
        if (identifier != "-") setAuthorisedPerson(dir_->str(), *errors_, identifier.constData());
        boxes_.boxes.clear();
        auto frame = makeFrame();
        start(*frame);
        if (reminded) {
            QCOMPARE(boxes_.boxes.size(), std::size_t(1));
            const MessageBox& box = boxes_.boxes[0];
            QCOMPARE(QString::fromStdString(box.text),
                     QStringLiteral("Obavezno ispravite podatke o ovlaštenoj osobi\nIzmjenu "
                                    "izvršite kroz Servisi/Aplikacijski parametri"));
            QVERIFY(box.title.empty());
            QCOMPARE(box.buttons, unsigned(ButtonOk));
        } else {
            QVERIFY(boxes_.boxes.empty());
        }
        // The credit window follows either way.
        QVERIFY(frame->creditWindow());
        QVERIFY(frame->creditWindow()->isVisible());
    }

    void creditWindowCloses_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("by itself") << "timer";
        QTest::newRow("clicked") << "click";
        QTest::newRow("right-clicked") << "rightClick";
        QTest::newRow("focused") << "focus";
        QTest::newRow("menu item chosen") << "menu";
        QTest::newRow("toolbar button") << "toolbar";
    }
    void creditWindowCloses() {
        QFETCH(QString, how);
        auto frame = makeFrame(how == "timer" ? 200 : 60000);
        start(*frame);
        QPointer<CreditWindow> credit = frame->creditWindow();
        QVERIFY(credit && credit->isVisible());
        QVERIFY(!credit->findChild<QLabel*>(QStringLiteral("creditLine"))->text().isEmpty());
        if (how == "click")
            QTest::mouseClick(credit, Qt::LeftButton);
        else if (how == "rightClick")
            QTest::mouseClick(credit, Qt::RightButton);
        else if (how == "focus") {
            frame->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(frame.get()));
            credit->setFocus(Qt::OtherFocusReason);
        } else if (how == "menu")
            QVERIFY(frame->choose("cascade"));
        else if (how == "toolbar")
            QVERIFY(frame->clickToolbar(2012)); // the guide: enabled without a window
        QTRY_VERIFY_WITH_TIMEOUT(!credit, 3000);
        QVERIFY(!frame->creditWindow());
    }

    void creditWindowStaysFiveSeconds() {
        CreditWindow credit;
        QCOMPARE(credit.closeAfterMs(), 5000);
        QVERIFY(CreditWindow::creditLine().contains(QStringLiteral("mvz")));
    }

    void aboutWindow() {
        auto frame = makeFrame();
        QVERIFY(frame->choose("about"));
        auto* about = qobject_cast<AboutWindow*>(frame->currentChild());
        QVERIFY(about);
        // It answers no toolbar button: only the guide's is enabled.
        QTRY_VERIFY(!frame->toolbarAction(2008)->isEnabled());
        QVERIFY(frame->toolbarAction(2012)->isEnabled());
        QStringList shown;
        for (QLabel* label : about->findChildren<QLabel*>())
            if (!label->text().isEmpty()) shown << label->text();
        // The three lines, then the version, the data folder and the licence.
        QCOMPARE(shown.mid(0, 3),
                 (QStringList{QStringLiteral("MVZ_2010.EXE Verzija 0.3"),
                              QStringLiteral("Priprema i dostava podataka o osiguranicima"),
                              QStringLiteral("i plaćenim doprinosima")}));
        QCOMPARE(shown.mid(3), AboutWindow::detailLines(QString::fromStdString(dir_->str())));
        QVERIFY(shown[3].contains(QStringLiteral(MVZ_VERSION)));
        QVERIFY(shown.last().contains(QStringLiteral("MIT")));
        const QList<QPushButton*> buttons = about->findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), qsizetype(1));
        buttons[0]->click();
        QTRY_VERIFY(frame->mdiArea()->subWindowList().isEmpty());
    }

    void missingUserGuideIsReported() {
        auto frame = makeFrame();
        QVERIFY(frame->choose("userGuide"));
        QCOMPARE(boxes_.boxes.size(), std::size_t(1));
        const QString path = QDir(QString::fromStdString(dir_->str()))
                                 .absoluteFilePath(QStringLiteral("Upute za rad MVZ_2010.pdf"));
        QCOMPARE(QString::fromStdString(boxes_.boxes[0].text),
                 missingUserGuideText(path).replace(QLatin1Char('|'), QLatin1Char('\n')));
    }

    void startOptionNamesMenuItems() {
        QCOMPARE(menuItemNamed(QStringLiteral("about")), QStringLiteral("about"));
        QCOMPARE(menuItemNamed(QStringLiteral(" O programu ")), QStringLiteral("about"));
        QCOMPARE(menuItemNamed(QStringLiteral("1. Aplikacijski parametri")),
                 QStringLiteral("applicationParameters"));
        QCOMPARE(menuItemNamed(QStringLiteral("aplikacijski parametri")),
                 QStringLiteral("applicationParameters"));
        QCOMPARE(menuItemNamed(QStringLiteral("Gradovi i općine")),
                 QStringLiteral("municipalities"));
        QCOMPARE(menuItemNamed(QStringLiteral("Evidencije")), QString());
        QCOMPARE(menuItemNamed(QStringLiteral("nothing")), QString());
    }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
