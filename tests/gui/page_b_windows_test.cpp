// The page-B windows, hosted without the main frame over two small forms: the
// list shows only its form's rows in both orders, the row window changes a
// row (its codes described beside them) and refuses to insert or delete one,
// the earlier-payments list follows the person's identifier, and the named
// window opens on the form written last.
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>
#include <string>
#include <vector>

#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "gui/support/modal_steps.h"
#include "gui/support/test_host.h"
#include "registers/earlier_payments_list.h"
#include "registers/page_b_windows.h"
#include "setup/initialize.h"
#include "shell/main_frame.h"
#include "support/recording_reporter.h"
#include "support/temp_dir.h"
#include "ui/browse_list.h"
#include "ui/record_form.h"

using namespace mvz;

namespace {

const std::string kForm1 = "001000101";
const std::string kForm2 = "001000201";

struct Row {
    std::string link, id, name, municipality, basis, service;
    int month, from, to;
    const char* gross;
};

// Form 1 (March) has three persons; form 2 (April) two, one of them again.
const std::vector<Row> kRows = {
    {kForm1, "3000000000003", "ANIĆ ANA", "0019", "01", "0", 3, 1, 31, "1000.00"},
    {kForm1, "1000000000001", "ŽUPAN MARKO", "0027", "01", "1", 3, 1, 15, "2000.00"},
    {kForm1, "2000000000002", "BABIĆ IVO", "0035", "10", "0", 3, 1, 31, "3000.00"},
    {kForm2, "1000000000001", "ŽUPAN MARKO", "0027", "02", "0", 4, 1, 30, "2100.00"},
    {kForm2, "4000000000004", "ČOLIĆ LUKA", "9999", "01", "0", 4, 1, 30, "4000.00"},
};

void set(Record& r, const char* field, const std::string& value) {
    const std::string refused = r.setFromDisplay(r.def().fieldIndex(field), value);
    QVERIFY2(refused.empty(), field);
}

QStringList column(BrowseList* list, int column) {
    QStringList values;
    for (int row = 0; row < list->rowCount(); ++row)
        values << list->cell(row, column);
    return values;
}

void type(QWidget* editor, const QString& text) {
    auto* line = qobject_cast<QLineEdit*>(editor);
    QVERIFY(line);
    line->setFocus();
    line->selectAll();
    QTest::keyClicks(line, text);
}

// A window that shows a person, as the insured-person window does: the
// earlier-payments list registered with it, the identifier its getter reads.
class PersonHost : public ProcedureWindow {
  public:
    PersonHost(Tables& tables, std::string& identifier)
        : ProcedureWindow(tables), identifier_(identifier) {}
    EarlierPaymentsList* earlier = nullptr;

  protected:
    bool init() override {
        if (!ProcedureWindow::init()) return false;
        auto* layout = new QVBoxLayout(this);
        earlier = new EarlierPaymentsList(
            tables(), [this] { return identifier_; }, this);
        layout->addWidget(earlier);
        addBrowse(earlier->list());
        return true;
    }

  private:
    std::string& identifier_;
};

} // namespace

class PageBWindowsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<RecordingReporter> reporter_;
    std::unique_ptr<ErrorReporter> errors_;
    std::unique_ptr<Tables> tables_;
    std::unique_ptr<TestHost> host_;

    // The page-B rows as another station sees them: "identifier gross" in stored order.
    QStringList storedRows() {
        Tables other(dir_->str(), *errors_);
        TableAccess& t = other.access("OSI");
        if (t.open() != 0) return {QStringLiteral("?")};
        QStringList rows;
        t.setOrder(-1);
        t.setStart();
        while (t.next() == 0)
            rows << QString::fromStdString(t.record().display(t.def().fieldIndex("JMBG")) + " " +
                                           t.record().display(t.def().fieldIndex("IZNOS7")));
        t.close();
        return rows;
    }

    ListWindow* openList(const std::string& link) {
        WindowContext context{dir_->str(), *errors_, *host_};
        auto* w = qobject_cast<ListWindow*>(createPageBList(context, link));
        if (w) host_->openChild(w);
        return w;
    }

  private slots:
    void init() {
        dir_ = std::make_unique<test::TempDir>();
        reporter_ = std::make_unique<RecordingReporter>();
        errors_ = std::make_unique<ErrorReporter>(*reporter_);
        errors_->addMessages(standardMessages());
        QVERIFY(initializeDataDirectory(dir_->str(), *errors_).ok);
        tables_ = std::make_unique<Tables>(dir_->str(), *errors_);
        host_ = std::make_unique<TestHost>();
        PendingRequest = request::View;

        TableAccess& forms = tables_->access("A");
        QCOMPARE(forms.open(), 0);
        for (const auto& [link, month] : {std::pair{kForm1, "03"}, std::pair{kForm2, "04"}}) {
            Record& a = forms.record();
            a.clear();
            set(a, "A:KONVEZA", link);
            set(a, "A:IDENTIFIKATOR", link.substr(0, 7));
            set(a, "A:VRSUPLA", link.substr(7));
            set(a, "A:OBRGOD", "2010");
            set(a, "A:OBRMJE", month);
            QCOMPARE(forms.add(), 0);
        }
        forms.close();
        TableAccess& rows = tables_->access("OSI");
        QCOMPARE(rows.open(), 0);
        for (const Row& row : kRows) {
            Record& r = rows.record();
            r.clear();
            set(r, "OSI:KONVEZA", row.link);
            set(r, "OSI:IDENTIFIKATOR", row.link.substr(0, 7));
            set(r, "OSI:VRSUPL", row.link.substr(7));
            set(r, "OSI:JMBG", row.id);
            set(r, "OSI:PREZIME", row.name);
            set(r, "OSI:OPCINA", row.municipality);
            set(r, "OSI:CLANDN", "D");
            set(r, "OSI:OSNOVA1", row.basis);
            set(r, "OSI:OSNOVA3", row.service);
            set(r, "OSI:GODOBRA", "2010");
            set(r, "OSI:OBRMJE", std::to_string(row.month));
            set(r, "OSI:OBRRAZD1", std::to_string(row.from));
            set(r, "OSI:OBRRAZD2", std::to_string(row.to));
            set(r, "OSI:IZNOS7", row.gross);
            QCOMPARE(rows.add(), 0);
        }
        rows.close();
        reporter_->clear();
    }
    void cleanup() {
        host_.reset();
        tables_.reset();
        errors_.reset();
        reporter_.reset();
        dir_.reset();
    }

    void theListShowsOnlyItsFormsRowsInBothOrders() {
        ListWindow* w = openList(kForm1);
        QVERIFY(w);
        BrowseList* list = w->list();
        QCOMPARE(w->windowTitle(),
                 QStringLiteral("IV. PODACI PO OSIGURANICIMA (obrazac M Vz - strana B)"));
        QCOMPARE(list->tabs()->tabText(0),
                 QStringLiteral("REDOSLIJED: Identifikacijski broj osiguranika"));
        QCOMPARE(list->tabs()->tabText(1), QStringLiteral("Redoslijed : Prezime i ime"));
        QTRY_COMPARE(list->rowCount(), 3);
        // Wide enough for every column, the narrow ones drawn at the header's least width.
        ListControl* control = list->control();
        QVERIFY(control->sizeHint().width() >=
                control->header()->length() + control->verticalScrollBar()->sizeHint().width());
        QCOMPARE(column(list, 0), (QStringList{"1000000000001", "2000000000002", "3000000000003"}));
        QCOMPARE(column(list, 8), (QStringList{"2,000.00", "3,000.00", "1,000.00"}));

        list->tabs()->setCurrentIndex(1);
        QCOMPARE(list->order(), 1);
        // Croatian order, and none of the other form's names (Čolić).
        QCOMPARE(column(list, 1), (QStringList{"ANIĆ ANA", "BABIĆ IVO", "ŽUPAN MARKO"}));

        // Scrolling to the end stays within the form.
        list->scroll(ListControl::Scroll::Last);
        QCOMPARE(list->current()->image.substr(138, 9), kForm1);
        w->endWindow();

        w = openList(kForm2);
        QVERIFY(w);
        QTRY_COMPARE(w->list()->rowCount(), 2);
        QCOMPARE(column(w->list(), 0), (QStringList{"1000000000001", "4000000000004"}));
        w->endWindow();
    }

    void theRowWindowChangesARowAndShowsItsCodes() {
        ListWindow* w = openList(kForm1);
        QVERIFY(w);
        QTRY_COMPARE(w->list()->rowCount(), 3);
        // The first row by identifier: Župan Marko, 0027 Antunovac, basis 01, mark 1.
        QString title, municipality, basis, service, sequence, identifier;
        bool sequenceReadOnly = false;
        whenModalShows<PageBRowWindow>([&](PageBRowWindow& row) {
            title = row.windowTitle();
            identifier = row.form()->editorText(row.form()->editor("OSI:JMBG"));
            municipality = row.description("OSI:OPCINA")->text();
            basis = row.description("OSI:OSNOVA1")->text();
            service = row.description("OSI:OSNOVA3")->text() + "|" +
                      row.description("OSI:OSNOVA3")->toolTip();
            sequence = row.formSequence()->text();
            sequenceReadOnly = row.formSequence()->isReadOnly();
            type(row.form()->editor("OSI:OPCINA"), QStringLiteral("0035"));
            type(row.form()->editor("OSI:IZNOS7"), QStringLiteral("2222,50"));
            row.okButton()->click();
        });
        w->changeButton()->click();
        QCOMPARE(title, QStringLiteral("Pregled podataka"));
        QCOMPARE(identifier, QStringLiteral("1000000000001"));
        QCOMPARE(municipality, QStringLiteral("Antunovac"));
        QCOMPARE(basis, QStringLiteral("Radni odnos"));
        QVERIFY2(service.startsWith(QStringLiteral("Staž 12/14|Staž osiguranja s povećanim")),
                 qPrintable(service));
        QCOMPARE(sequence, QStringLiteral("0001"));
        QVERIFY(sequenceReadOnly);
        QVERIFY(reporter_->boxes.empty());
        QVERIFY(storedRows().contains(QStringLiteral("1000000000001 2222.50")));
        QCOMPARE(w->list()->cell(w->list()->currentRow(), 2), QStringLiteral("0035"));
        QCOMPARE(w->list()->cell(w->list()->currentRow(), 8), QStringLiteral("2,222.50"));

        // A code that is not in its table leaves its description blank.
        TableAccess& rows = tables_->access("OSI");
        QCOMPARE(rows.open(), 0);
        rows.setOrder(rows.def().keyIndex("KEYJMBG"));
        Record& r = rows.record();
        r.clear();
        set(r, "OSI:JMBG", "4000000000004");
        rows.setFromBuffer();
        QCOMPARE(rows.next(), 0);
        QCOMPARE(r.display(r.def().fieldIndex("OPCINA")), std::string("9999"));
        QString unknown = QStringLiteral("?");
        PendingRequest = request::Change;
        PageBRowWindow row(*tables_);
        runWith(row, [&] { unknown = row.description("OSI:OPCINA")->text(); });
        QCOMPARE(unknown, QString());
        rows.close();
        w->endWindow();
    }

    void theRowWindowRefusesToInsertOrDelete() {
        ListWindow* w = openList(kForm1);
        QVERIFY(w);
        QTRY_COMPARE(w->list()->rowCount(), 3);
        const QStringList before = storedRows();
        struct Case {
            QPushButton* button;
            const char* text;
        };
        for (const Case& c :
             {Case{w->insertButton(), "This form cannot be used to insert a record"},
              Case{w->deleteButton(), "This form cannot be used to delete a record"}}) {
            reporter_->clear();
            QVERIFY(c.button->isEnabled());
            // A row window that showed would be ended here, failing the case.
            bool shown = false;
            QTimer::singleShot(0, [&shown] {
                if (auto* row = qobject_cast<PageBRowWindow*>(QApplication::activeModalWidget())) {
                    shown = true;
                    row->endWindow();
                }
            });
            c.button->click();
            QCoreApplication::processEvents();
            QVERIFY(!shown);
            QCOMPARE(reporter_->boxes.size(), std::size_t(1));
            QCOMPARE(reporter_->lastBox().title, std::string("Invalid Request"));
            QCOMPARE(reporter_->lastBox().text, std::string(c.text));
            QCOMPARE(int(LastResponse), int(response::Cancelled));
            QCOMPARE(storedRows(), before);
            QCOMPARE(w->list()->rowCount(), 3);
        }
        w->endWindow();
    }

    void earlierPaymentsFollowTheIdentifier() {
        std::string identifier = "1000000000001";
        auto* person = new PersonHost(*tables_, identifier);
        QVERIFY(person->start());
        host_->openChild(person);
        BrowseList* list = person->earlier->list();
        // Both forms' rows of the person, by basis: 01 (March), then 02 (April).
        QTRY_COMPARE(list->rowCount(), 2);
        QCOMPARE(column(list, 0), (QStringList{"2010", "2010"}));
        QCOMPARE(column(list, 1), (QStringList{"03", "04"}));
        QCOMPARE(column(list, 3), (QStringList{"15", "30"}));
        QCOMPARE(column(list, 6), (QStringList{"2,000.00", "2,100.00"}));

        identifier = "4000000000004";
        person->earlier->showPerson();
        QCOMPARE(list->rowCount(), 1);
        QCOMPARE(column(list, 6), QStringList{"4,000.00"});

        // "&Otvori" opens the row window on the highlighted row; "&Delete" is refused there.
        QString opened;
        whenModalShows<PageBRowWindow>([&](PageBRowWindow& row) {
            opened = row.form()->editorText(row.form()->editor("OSI:PREZIME"));
            row.cancelButton()->click();
        });
        person->earlier->openButton()->click();
        QCOMPARE(opened, QStringLiteral("ČOLIĆ LUKA"));
        const QStringList before = storedRows();
        person->earlier->deleteButton()->click();
        QCOMPARE(reporter_->lastBox().text,
                 std::string("This form cannot be used to delete a record"));
        QCOMPARE(storedRows(), before);

        // A person without formed rows: an empty list, nothing to open.
        identifier = "9999999999999";
        person->earlier->showPerson();
        QCOMPARE(list->rowCount(), 0);
        QVERIFY(!person->earlier->openButton()->isEnabled());
        person->endWindow();
    }

    void theNamedWindowOpensOnTheFormWrittenLast() {
        QCOMPARE(lastFormedLink(*tables_), kForm2);
        MainFrame frame(dir_->str(), *errors_);
        registerPageBWindows(frame);
        QSignalSpy started(&frame, &MainFrame::started);
        frame.show();
        QVERIFY(started.wait(5000) || started.count() == 1);
        QVERIFY(frame.isRegistered(kPageBListWindow));
        QVERIFY(!frame.menuAction(kPageBListWindow)); // no menu item starts it
        // A menu item's name stays the menu's.
        QVERIFY(!frame.registerNamedWindow("rates", [](const WindowContext&) { return nullptr; }));
        QVERIFY(!frame.isRegistered("rates"));
        QVERIFY(frame.openWindow(kPageBListWindow));
        auto* w = qobject_cast<ListWindow*>(frame.currentChild());
        QVERIFY(w);
        QTRY_COMPARE(w->list()->rowCount(), 2); // form 2's rows were written last
        QCOMPARE(column(w->list(), 0), (QStringList{"1000000000001", "4000000000004"}));
        w->endWindow();

        // Without page-B rows it says so and opens nothing.
        TableAccess& rows = tables_->access("OSI");
        QCOMPARE(rows.open(), 0);
        QCOMPARE(rows.removeAll(), 0);
        rows.close();
        reporter_->clear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const qsizetype children = frame.mdiArea()->subWindowList().size();
        QVERIFY(!frame.openWindow(kPageBListWindow));
        QCOMPARE(reporter_->boxes.size(), std::size_t(1));
        QVERIFY(reporter_->lastBox().text.find("Nema formiranih obrazaca") == 0);
        QCOMPARE(frame.mdiArea()->subWindowList().size(), children);
    }
};

QTEST_MAIN(PageBWindowsTest)
#include "page_b_windows_test.moc"
