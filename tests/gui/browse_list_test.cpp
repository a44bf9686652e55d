// A browse list over 100,000 employees: only the rows shown are read,
// ranges hold at their ends, locators jump, keys and the context menu press
// the window's buttons, ask-for-record refills, and the toolbar is routed to
// the focused list.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>
#include <vector>

#include "codes/municipality_list.h"
#include "data/bulk_insert.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "shell/main_frame.h"
#include "support/recording_reporter.h"
#include "support/temp_dir.h"
#include "ui/browse_list.h"
#include "ui/list_window.h"
#include "ui/lookup_drop_list.h"
#include "ui/popup_menu.h"
#include "ui/record_window.h"
#include "ui/toolbar_controls.h"
#include "ui_model/bound_names.h"

using namespace mvz;

namespace {

constexpr int kEmployers = 10;
constexpr int kPerEmployer = 10000;
const char* const kSurnames[] = {"BABIĆ",    "HORVAT", "JURIĆ",     "KARLOVIĆ", "KNEŽEVIĆ",
                                 "KOS",      "KOVAČ",  "KOVAČEVIĆ", "MARIĆ",    "NOVAK",
                                 "PAVLOVIĆ", "ŠARIĆ",  "TOMIĆ",     "VUKOVIĆ",  "ŽIVKOVIĆ"};

QString jmbg(int employer, int i) {
    return QStringLiteral("%1%2")
        .arg(employer, 2, 10, QLatin1Char('0'))
        .arg(i * 7, 11, 10, QLatin1Char('0'));
}

const char* kFormat = "67L(2)|M~Identifikacijski broj~@s13@146L(2)|M~Prezime i ime~L(3)@s35@"
                      "34L(2)|M~Općina~L(4)@s4@";

// Runs `act` on the row window once it is shown (modal, over its list); with
// `after`, once that window is gone.
void whenFormShows(std::function<void(RecordWindow&)> act, QWidget* after = nullptr) {
    auto poll = std::make_shared<std::function<void()>>();
    QPointer<QWidget> before(after);
    *poll = [act, poll, before] {
        auto* form = qobject_cast<RecordWindow*>(QApplication::activeModalWidget());
        if (form && !before) {
            QApplication::setActiveWindow(form); // focus changes need an active window
            act(*form);
        } else
            QTimer::singleShot(5, *poll);
    };
    QTimer::singleShot(0, *poll);
}

QLineEdit* editOf(RecordWindow& form, const char* field) {
    return qobject_cast<QLineEdit*>(form.form()->editor(field));
}

} // namespace

class BrowseListTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<RecordingReporter> reporter_;
    std::unique_ptr<ErrorReporter> errors_;
    std::unique_ptr<Tables> tables_;
    int firma_ = 5;

    // A list of the employees in a window of its own.
    struct Fixture {
        QWidget window;
        BrowseList* list;
        QPushButton *insert, *change, *remove, *select;
        std::vector<std::uint8_t> asked;
        Fixture(Tables& tables) {
            window.resize(700, 400);
            auto* layout = new QVBoxLayout(&window);
            list = new BrowseList(tables, "RAD", &window);
            list->setFormat(kFormat);
            list->addField("RAD:JMBG");
            list->addField("RAD:PREZIME");
            list->addField("RAD:OPCINA");
            layout->addWidget(list);
            insert = new QPushButton("Dodaj", &window);
            change = new QPushButton("Promijeni", &window);
            remove = new QPushButton("Obriši", &window);
            select = new QPushButton("Odaberi", &window);
            for (auto* b : {insert, change, remove, select})
                layout->addWidget(b);
        }
        void show() {
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }
        QString cell(int row, int col) const { return list->cell(row, col); }
        QString currentId() const { return list->cell(list->currentRow(), 0); }
    };

    // Employees of one employer (GLO:Firma), located by identifier.
    int byEmployer(Fixture& f) {
        const int o = f.list->addSortOrder("KEYRBRFIRME", QStringLiteral("Po obvezniku"));
        f.list->setFilter(o, "(RAD:RedBroj=GLO:Firma)");
        f.list->setLocator(o, LocatorKind::Incremental, QStringLiteral("Traži se JMBG"));
        return o;
    }

  private slots:
    void initTestCase() {
        dir_ = std::make_unique<test::TempDir>();
        reporter_ = std::make_unique<RecordingReporter>();
        errors_ = std::make_unique<ErrorReporter>(*reporter_);
        errors_->addMessages(standardMessages());
        tables_ = std::make_unique<Tables>(dir_->str(), *errors_);
        TableAccess& rad = tables_->access("RAD");
        QCOMPARE(rad.open(), 0);
        QVERIFY(!tables_->storage().begin({rad.file()}));
        {
            BulkInsert insert(*rad.file());
            Record& r = rad.record();
            const int redbroj = r.def().fieldIndex("REDBROJ"), id = r.def().fieldIndex("JMBG"),
                      name = r.def().fieldIndex("PREZIME"), opc = r.def().fieldIndex("OPCINA");
            for (int e = 1; e <= kEmployers; ++e)
                for (int i = 1; i <= kPerEmployer; ++i) {
                    r.clear();
                    r.setInteger(redbroj, e);
                    r.setFromDisplay(id, jmbg(e, i).toStdString());
                    r.setFromDisplay(name, std::string(kSurnames[i % 15]) + " " +
                                               std::to_string(e * kPerEmployer + i));
                    r.setText(opc, "1236");
                    QVERIFY(!insert.add(r));
                }
        }
        QVERIFY(!tables_->storage().commit());
        bindName("GLO:Firma", [this] { return std::to_string(firma_); });
    }
    void cleanupTestCase() {
        bindName("GLO:Firma", {});
        tables_->access("RAD").close();
        tables_.reset();
    }
    void init() {
        firma_ = 5;
        reporter_->clear();
    }

    void opensReadingOnlyThePageItShows() {
        Fixture f(*tables_);
        byEmployer(f);
        f.show();
        const std::int64_t before = f.list->rowsRead();
        f.list->refill();
        const int visible = f.list->control()->visibleRows();
        QVERIFY(visible >= 5);
        QCOMPARE(f.list->rowCount(), visible);
        // The page, one row to see the range's end, and the two end rows for the thumb.
        QVERIFY2(f.list->rowsRead() - before <= visible + 3,
                 qPrintable(QStringLiteral("%1 rows read for %2 shown")
                                .arg(f.list->rowsRead() - before)
                                .arg(visible)));
        QCOMPARE(f.cell(0, 0), jmbg(5, 1));
        QCOMPARE(f.list->control()->thumb(), 0.0);
        // The thumb is as long as the share of the 10,000 rows shown.
        QVERIFY2(f.list->control()->visibleShare() < 0.02,
                 qPrintable(QString::number(f.list->control()->visibleShare())));

        const std::int64_t mid = f.list->rowsRead();
        f.list->scroll(ListControl::Scroll::PageDown);
        QVERIFY(f.list->rowsRead() - mid <= visible + 1);
        QCOMPARE(f.currentId(), jmbg(5, 1 + visible));
    }

    void pageDownAtTheEndOfARangeKeepsTheLastRow() {
        Fixture f(*tables_);
        byEmployer(f);
        f.show();
        f.list->refill();
        f.list->scroll(ListControl::Scroll::Last);
        QCOMPARE(f.currentId(), jmbg(5, kPerEmployer));
        QCOMPARE(f.list->control()->thumb(), 1.0);
        const int visible = f.list->rowCount();
        for (auto s : {ListControl::Scroll::PageDown, ListControl::Scroll::RowDown}) {
            f.list->scroll(s);
            QCOMPARE(f.currentId(), jmbg(5, kPerEmployer));
            QCOMPARE(f.list->currentRow(), visible - 1);
            for (int r = 0; r < f.list->rowCount(); ++r)
                QVERIFY(f.cell(r, 0).startsWith(QStringLiteral("05")));
        }
        // Dragging the thumb half way: the first identifier not below the one
        // half way between the lowest and highest (7 and 70000: 35003.5).
        emit f.list->control()->thumbDragged(0.5);
        QCOMPARE(f.currentId(), jmbg(5, kPerEmployer / 2 + 1));
        QVERIFY(qAbs(f.list->control()->thumb() - 0.5) < 0.01);
        // And at the start: nothing of employer 4.
        f.list->scroll(ListControl::Scroll::First);
        f.list->scroll(ListControl::Scroll::PageUp);
        QCOMPARE(f.currentId(), jmbg(5, 1));
        // Another employer: the range follows the bound name.
        firma_ = 7;
        f.list->resetRange();
        QCOMPARE(f.cell(0, 0), jmbg(7, 1));
    }

    void locatorSearchesTheFreeComponentOfTheRange() {
        Fixture f(*tables_);
        byEmployer(f);
        f.show();
        f.list->refill();
        f.list->control()->setFocus();
        // S15: the employer is fixed by the range, the identifier is searched.
        const std::int64_t before = f.list->rowsRead();
        QTest::keyClicks(f.list->control(), "0500000000");
        QCOMPARE(f.list->locatorText(), QStringLiteral("0500000000"));
        QCOMPARE(f.currentId(), jmbg(5, 1));
        QTest::keyClicks(f.list->control(), "35");
        QCOMPARE(f.currentId(), jmbg(5, 50)); // 05 00000000350
        QVERIFY(f.list->rowsRead() - before < 20 * (f.list->rowCount() + 2));
    }

    void incrementalLocatorOnNamesWithBackspace() {
        Fixture f(*tables_);
        const int o = f.list->addSortOrder("KEYPREZIME", QStringLiteral("Po prezimenu"));
        f.list->setLocator(o, LocatorKind::Incremental, QStringLiteral("Traži se prezime"));
        f.show();
        f.list->refill();
        f.list->control()->setFocus();
        QTest::keyClicks(f.list->control(), "ko");
        QCOMPARE(f.list->locatorText(), QStringLiteral("ko"));
        QVERIFY(f.cell(f.list->currentRow(), 1).startsWith(QStringLiteral("KOS ")));
        QTest::keyClick(f.list->control(), Qt::Key_Backspace);
        QCOMPARE(f.list->locatorText(), QStringLiteral("k"));
        QVERIFY(f.cell(f.list->currentRow(), 1).startsWith(QStringLiteral("KARLOVIĆ ")));
        QTest::keyClicks(f.list->control(), "ova");
        QTest::sendKeyEvent(QTest::Click, f.list->control(), Qt::Key_unknown, QStringLiteral("č"),
                            Qt::NoModifier);
        QTest::keyClick(f.list->control(), Qt::Key_Space);
        QCOMPARE(f.list->locatorText(), QStringLiteral("kovač "));
        QVERIFY(f.cell(f.list->currentRow(), 1).startsWith(QStringLiteral("KOVAČ ")));
        // A step locator jumps by the one letter typed last.
        f.list->setLocator(o, LocatorKind::Step);
        QTest::keyClicks(f.list->control(), "n");
        QVERIFY(f.cell(f.list->currentRow(), 1).startsWith(QStringLiteral("NOVAK ")));
        QTest::keyClicks(f.list->control(), "h");
        QCOMPARE(f.list->locatorText(), QStringLiteral("h"));
        QVERIFY(f.cell(f.list->currentRow(), 1).startsWith(QStringLiteral("HORVAT ")));
    }

    void keysPressTheWindowsButtons() {
        Fixture f(*tables_);
        byEmployer(f);
        std::vector<QString> pressed;
        for (auto* b : {f.insert, f.change, f.remove, f.select})
            connect(b, &QPushButton::clicked, [&pressed, b] { pressed.push_back(b->text()); });
        BrowseList::Buttons buttons;
        buttons.insert = f.insert;
        buttons.change = f.change;
        f.list->setButtons(buttons); // no delete button
        f.show();
        f.list->refill();
        QWidget* c = f.list->control();
        c->setFocus();
        QTest::keyClick(c, Qt::Key_Delete);
        QTest::keyClick(c, Qt::Key_Insert);
        QTest::keyClick(c, Qt::Key_Return, Qt::ControlModifier);
        QTest::mouseDClick(
            c->property("viewport").value<QWidget*>() ? nullptr : f.list->control()->viewport(),
            Qt::LeftButton, {}, QPoint(20, f.list->control()->rowHeight() * 2 + 3));
        QCOMPARE(pressed, (std::vector<QString>{"Dodaj", "Promijeni", "Promijeni"}));
        QCOMPARE(f.list->currentRow(), 2);
        QCOMPARE(f.list->popupMenu().texts(), (QStringList{"&Insert", "&Change"}));

        // Opened for selection: double click selects, the menu offers "&Select".
        buttons.remove = f.remove;
        buttons.select = f.select;
        f.list->setButtons(buttons);
        f.list->setSelecting(true);
        pressed.clear();
        QTest::mouseDClick(f.list->control()->viewport(), Qt::LeftButton, {},
                           QPoint(20, f.list->control()->rowHeight() + 3));
        QTest::keyClick(c, Qt::Key_Delete);
        QCOMPARE(pressed, (std::vector<QString>{"Odaberi", "Obriši"}));
        QCOMPARE(f.list->popupMenu().texts(),
                 (QStringList{"&Insert", "&Change", "&Delete", "&Select"}));
        QVERIFY(f.list->popupMenu().choose(1));
        QCOMPARE(pressed.back(), QStringLiteral("Promijeni"));
    }

    void askForRecordPresetsTheRangeAndRefills() {
        Fixture f(*tables_);
        byEmployer(f);
        BrowseList::Buttons buttons;
        buttons.insert = f.insert;
        buttons.change = f.change;
        f.list->setButtons(buttons);
        TableAccess& rad = tables_->access("RAD");
        const int redbroj = rad.def().fieldIndex("REDBROJ"), id = rad.def().fieldIndex("JMBG");
        std::vector<std::pair<int, std::string>> seen; // request, the buffer's employer
        std::uint8_t answer = response::Completed;
        f.list->setUpdateProcedure([&] {
            seen.push_back(
                {PendingRequest, rad.record().display(redbroj) + "/" + rad.record().display(id)});
            const std::uint8_t req = PendingRequest;
            PendingRequest = 0;
            if (req == request::Insert && answer == response::Completed) {
                rad.record().setFromDisplay(id, "0500000003501"); // between 50 and 51
                if (rad.add() != 0) return response::Cancelled;
            }
            LastResponse = answer;
            return answer;
        });
        f.show();
        f.list->refill();
        f.list->scroll(ListControl::Scroll::RowDown);
        // Insert: a cleared buffer with the employer of the range.
        QCOMPARE(int(f.list->askRecord(request::Insert)), int(response::Completed));
        QCOMPARE(seen.back(), (std::pair<int, std::string>{request::Insert, "5/"}));
        QCOMPARE(f.currentId(), QStringLiteral("0500000003501")); // on the new row
        // Change: the highlighted record, read again.
        answer = response::Cancelled;
        f.list->scroll(ListControl::Scroll::RowDown);
        const QString highlighted = f.currentId();
        QCOMPARE(int(f.list->askRecord(request::Change)), int(response::Cancelled));
        QCOMPARE(seen.back().second, "5/" + highlighted.toStdString());
        QCOMPARE(f.currentId(), highlighted); // cancelled: where it was
        // Clean up the added row.
        rad.record().setInteger(redbroj, 5);
        rad.record().setFromDisplay(id, "0500000003501");
        rad.record().setInteger(rad.def().fieldIndex("DODANA"), 0);
        QCOMPARE(rad.fetch(rad.def().keyIndex("KEYRBRFIRME")), 0);
        QCOMPARE(rad.remove(), 0);
    }

    void municipalityListWorksThroughItsRowWindow() {
        TableAccess& opc = tables_->access("OPC");
        QCOMPARE(opc.open(), 0);
        for (const char* code : {"0019", "0027", "0035"}) {
            opc.record().clear();
            opc.record().setFromDisplay(opc.def().fieldIndex("SIFRA"), code);
            opc.record().setFromDisplay(opc.def().fieldIndex("NAZIV"),
                                        std::string("Općina ") + code);
            opc.record().setText(opc.def().fieldIndex("GRAD"), "N");
            QCOMPARE(opc.add(), 0);
        }
        PendingRequest = request::View;
        ListWindow w(*tables_, municipalityListSpec());
        QVERIFY(w.start());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        BrowseList* list = w.list();
        QCOMPARE(list->tabs()->count(), 3);
        QCOMPARE(list->rowCount(), 3);

        // Insert: a wrong control digit is refused on leaving the code field,
        // then the row is saved and highlighted in the list.
        QString title, refusal;
        bool focusStayed = false;
        whenFormShows([&](RecordWindow& form) {
            title = form.windowTitle();
            QLineEdit* code = editOf(form, "OPC:SIFRA");
            code->setFocus();
            QTest::keyClicks(code, "1230");
            editOf(form, "OPC:NAZIV")->setFocus(); // leaving the code field
            refusal = QString::fromStdString(reporter_->lastBox().text);
            focusStayed = QApplication::focusWidget() == code;
            code->selectAll();
            QTest::keyClicks(code, "1236");
            QTest::keyClicks(editOf(form, "OPC:NAZIV"), "Zagreb");
            qobject_cast<QComboBox*>(form.form()->editor("OPC:GRAD"))->setCurrentText("D");
            form.okButton()->click();
        });
        QTest::keyClick(list->control(), Qt::Key_Insert);
        QCOMPARE(title, QStringLiteral("Općine/gradovi - Upis nove općien/grada"));
        QCOMPARE(refusal, QStringLiteral("Pogrešan šifra općine/grada"));
        QVERIFY(focusStayed);
        QCOMPARE(list->rowCount(), 4);
        QCOMPARE(list->cell(list->currentRow(), 2), QStringLiteral("Zagreb"));
        QCOMPARE(list->cell(list->currentRow(), 0), QStringLiteral("4"));

        // Change from the first row; the form's "next record" saves it, the
        // list moves on and opens the form again on the second row.
        list->scroll(ListControl::Scroll::First);
        std::vector<QString> names;
        whenFormShows([&](RecordWindow& form) {
            names.push_back(editOf(form, "OPC:NAZIV")->text());
            QTest::keyClicks(editOf(form, "OPC:NAZIV"), " 1");
            for (QAction* a : form.findChild<QToolBar*>()->actions())
                if (a->toolTip() == QStringLiteral("Save changes and go to next record")) {
                    QVERIFY(a->isEnabled());
                    // The second form: cancelled.
                    whenFormShows(
                        [&](RecordWindow& second) {
                            names.push_back(editOf(second, "OPC:NAZIV")->text());
                            second.cancelButton()->click();
                        },
                        &form);
                    a->trigger();
                }
        });
        w.changeButton()->click();
        QCOMPARE(names, (std::vector<QString>{"Općina 0019", "Općina 0027"}));
        QCOMPARE(list->currentRow(), 1);
        QCOMPARE(list->cell(0, 2), QStringLiteral("Općina 0019 1"));

        // The name tab keeps the highlighted row; its locator jumps.
        list->tabs()->setCurrentIndex(2);
        QCOMPARE(list->cell(list->currentRow(), 2), QStringLiteral("Općina 0027"));
        list->control()->setFocus();
        QTest::keyClicks(list->control(), "z");
        QCOMPARE(list->cell(list->currentRow(), 2), QStringLiteral("Zagreb"));
        w.endWindow();
        opc.close();
    }

    void unknownFilterNameShowsTheWholeTableWithMessage40() {
        Fixture f(*tables_);
        const int o = f.list->addSortOrder("KEYRBRFIRME");
        f.list->setFilter(o, "(RAD:RedBroj=GLO:Nepoznato)");
        f.show();
        f.list->refill();
        QCOMPARE(reporter_->titles(), std::vector<std::string>{"View Open Error"});
        QCOMPARE(f.cell(0, 0), jmbg(1, 1)); // from the table's start
    }

    void lookupDropListFillsFromATableAndCopiesItsUpdatePairs() {
        TableAccess& opc = tables_->access("OPC");
        QCOMPARE(opc.open(), 0);
        QVERIFY(opc.removeAll() == 0);
        for (auto [code, name] :
             {std::pair{"0035", "Zadar"}, {"0019", "Bjelovar"}, {"0027", "Čakovec"}}) {
            opc.record().clear();
            opc.record().setFromDisplay(opc.def().fieldIndex("SIFRA"), code);
            opc.record().setFromDisplay(opc.def().fieldIndex("NAZIV"), name);
            QCOMPARE(opc.add(), 0);
        }
        Record target(*findTable("APL"));
        target.clear();
        std::string taken;
        LookupDropList byName(opc), stored(opc);
        byName.setOrder("KEYNAZIV");
        byName.addDisplayField("OPC:NAZIV");
        byName.addDisplayField("OPC:SIFRA");
        byName.addUpdateField("OPC:SIFRA", target, "APL:SIFSJED");
        byName.addUpdateField("OPC:NAZIV", [&](const std::string& v) { taken = v; });
        byName.refill();
        stored.addDisplayField("OPC:NAZIV");
        stored.refill();
        QCOMPARE(byName.count(), 3);
        QCOMPARE(byName.itemText(0), QStringLiteral("Bjelovar  0019"));
        QCOMPARE(byName.itemText(1), QStringLiteral("Čakovec  0027"));
        QCOMPARE(stored.itemText(0), QStringLiteral("Zadar")); // the order they were stored in
        QCOMPARE(byName.showValue("OPC:SIFRA", "0027"), 1);
        byName.setCurrentIndex(2);
        byName.take();
        QCOMPARE(target.display(target.def().fieldIndex("SIFSJED")), std::string("0035"));
        QCOMPARE(taken, std::string("Zadar"));
        opc.removeAll();
        opc.close();
    }

    void frameToolbarGoesToTheCurrentChild() {
        MainFrame frame(dir_->str(), *errors_);
        frame.setCreditCloseAfterMs(1);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        ListWindowSpec decl;
        decl.title = QStringLiteral("Zaposlenici");
        decl.table = "RAD";
        decl.format = kFormat;
        decl.fields = {"RAD:JMBG", "RAD:PREZIME", "RAD:OPCINA"};
        decl.tabs = {{"KEYRBRFIRME", QStringLiteral("Po obvezniku"), LocatorKind::Incremental,
                      QStringLiteral("Traži se JMBG"), "(RAD:RedBroj=GLO:Firma)"}};
        PendingRequest = request::View;
        auto* w = new ListWindow(*tables_, decl);
        QVERIFY(w->start());
        frame.openChild(w);
        QApplication::processEvents();
        w->list()->control()->setFocus();
        QApplication::processEvents();
        // The frame's buttons follow what the focused list allows.
        QVERIFY(frame.toolbarAction(toolbar::Down)->isEnabled());
        QVERIFY(!frame.toolbarAction(toolbar::Select)->isEnabled());
        QCOMPARE(frame.toolbarAction(toolbar::Down)->toolTip(),
                 QStringLiteral("Go to the Next Record"));
        QVERIFY(frame.clickToolbar(toolbar::Down));
        QTRY_COMPARE(w->list()->currentRow(), 1);
        QVERIFY(frame.clickToolbar(toolbar::Last));
        QTRY_COMPARE(w->list()->cell(w->list()->currentRow(), 0), jmbg(5, kPerEmployer));
        w->endWindow();
        QTRY_VERIFY(frame.mdiArea()->subWindowList().isEmpty());
    }

    void toolbarGoesToTheFocusedList() {
        // Two lists in one window: the router acts on the one with the focus.
        ListWindowSpec decl;
        decl.title = QStringLiteral("Zaposlenici");
        decl.table = "RAD";
        decl.format = kFormat;
        decl.fields = {"RAD:JMBG", "RAD:PREZIME", "RAD:OPCINA"};
        decl.tabs = {{"KEYRBRFIRME", QStringLiteral("Po obvezniku"), LocatorKind::Incremental,
                      QStringLiteral("Traži se JMBG"), "(RAD:RedBroj=GLO:Firma)"}};
        int opened = 0;
        decl.update = [&](Tables&) {
            ++opened;
            // A form that was saved by the toolbar's "next record".
            if (opened == 1) PendingNavigation = toolbar::Down;
            LastResponse = response::Completed;
            PendingRequest = 0;
            return response::Completed;
        };
        PendingRequest = request::View;
        ListWindow w(*tables_, decl);
        QVERIFY(w.start());
        w.resize(700, 400);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        BrowseList* list = w.list();
        list->control()->setFocus();
        QApplication::processEvents();
        QVERIFY(w.toolbarEnabled(toolbar::Down));
        QVERIFY(!w.toolbarEnabled(toolbar::Select)); // not opened for selection
        QVERIFY(!w.toolbarEnabled(toolbar::Ditto));
        QCOMPARE(w.toolbarTip(toolbar::First), QStringLiteral("Go to the First Page"));
        w.toolbarAccepted(toolbar::Down);
        w.toolbarAccepted(toolbar::Down);
        QCOMPARE(list->currentRow(), 2);
        w.toolbarAccepted(toolbar::Last);
        QCOMPARE(list->cell(list->currentRow(), 0), jmbg(5, kPerEmployer));
        w.toolbarAccepted(toolbar::First);
        QCOMPARE(list->cell(list->currentRow(), 0), jmbg(5, 1));
        // Change through the toolbar: the form hands "next" back, the list
        // moves and opens the form again on the next row.
        w.toolbarAccepted(toolbar::Change);
        QCOMPARE(opened, 2);
        QCOMPARE(list->cell(list->currentRow(), 0), jmbg(5, 2));
        // An empty range: only insert (and help) stay.
        firma_ = 99;
        list->resetRange();
        QVERIFY(list->isEmpty());
        QVERIFY(w.toolbarEnabled(toolbar::Insert));
        QVERIFY(!w.toolbarEnabled(toolbar::Change));
        QVERIFY(!w.toolbarEnabled(toolbar::Down));
        QVERIFY(!w.changeButton()->isEnabled());
        w.endWindow();
    }
};

QTEST_MAIN(BrowseListTest)
#include "browse_list_test.moc"
