// What every window does the same way, on the municipality windows hosted
// without the main frame: Escape, Enter and Alt+letter in a form and a list,
// a row window over its list, a list that sees rows changed elsewhere, entries
// no wider than their fields, what windows remember, the PDF name proposed
// and Qt's own texts in Croatian.
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

#include "codes/municipality_list.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "gui/support/modal_steps.h"
#include "gui/support/test_host.h"
#include "print/page_model.h"
#include "support/recording_reporter.h"
#include "support/temp_dir.h"
#include "ui/keyboard_habits.h"
#include "ui/list_window.h"
#include "ui/qt_translations.h"
#include "ui/record_window.h"
#include "ui/report_preview.h"
#include "ui/window_memory.h"

using namespace mvz;

namespace {

QLineEdit* editOf(RecordWindow& form, const char* field) {
    return qobject_cast<QLineEdit*>(form.form()->editor(field));
}

} // namespace

class WindowHabitsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<RecordingReporter> reporter_;
    std::unique_ptr<ErrorReporter> errors_;
    std::unique_ptr<Tables> tables_;
    std::unique_ptr<TestHost> host_;

    TableAccess& opc() { return tables_->access("OPC"); }
    void addMunicipality(const char* code, const char* name) {
        opc().record().clear();
        opc().record().setFromDisplay(opc().def().fieldIndex("SIFRA"), code);
        opc().record().setFromDisplay(opc().def().fieldIndex("NAZIV"), name);
        opc().record().setFromDisplay(opc().def().fieldIndex("GRAD"), "N");
        QCOMPARE(opc().add(), 0);
    }
    // The municipality with that code, read afresh.
    std::string nameOf(const char* code) {
        Tables other(dir_->str(), *errors_);
        TableAccess& t = other.access("OPC");
        if (t.open() != 0) return "?";
        std::string name;
        t.setStart();
        while (t.next() == 0)
            if (t.record().display(t.def().fieldIndex("SIFRA")) == code)
                name = t.record().display(t.def().fieldIndex("NAZIV"));
        t.close();
        return name;
    }
    // A row window on the municipality of the first row, for `request`.
    std::unique_ptr<RecordWindow> rowWindow(std::uint8_t request, RecordWindowSpec decl) {
        opc().setOrder(0);
        opc().setStart();
        if (opc().next() != 0) qFatal("no municipality");
        PendingRequest = request;
        return std::make_unique<RecordWindow>(*tables_, std::move(decl), host_.get());
    }

  private slots:
    void init() {
        dir_ = std::make_unique<test::TempDir>();
        reporter_ = std::make_unique<RecordingReporter>();
        errors_ = std::make_unique<ErrorReporter>(*reporter_);
        errors_->addMessages(standardMessages());
        tables_ = std::make_unique<Tables>(dir_->str(), *errors_);
        host_ = std::make_unique<TestHost>();
        host_->show();
        QCOMPARE(opc().open(), 0);
        addMunicipality("0019", "Zagreb");
        addMunicipality("0027", "Split");
        addMunicipality("0035", "Osijek");
        PendingRequest = request::View;
        PendingNavigation = 0;
    }
    void cleanup() {
        host_.reset();
        opc().close();
        tables_.reset();
        errors_.reset();
        reporter_.reset();
        dir_.reset();
        WindowMemory::setStore(nullptr);
    }

    void altLetterNeverTypesIntoTheField() {
        // The row window's buttons carry no hot letter: Alt+S does nothing.
        auto form = rowWindow(request::Change, municipalityRowSpec());
        QString shown;
        const std::uint8_t r = runWith(*form, [&] {
            QLineEdit* name = editOf(*form, "OPC:NAZIV");
            name->setFocus();
            name->selectAll();
            QTest::keyClick(name, Qt::Key_S, Qt::AltModifier);
            shown = name->text();
        });
        QCOMPARE(shown, QStringLiteral("Zagreb"));
        QCOMPARE(int(r), int(response::Cancelled));
        QCOMPARE(nameOf("0019"), std::string("Zagreb"));
        QVERIFY(reporter_->boxes.empty()); // closed unchanged: no question
    }

    void altLetterPressesTheButtonWithThatHotLetter() {
        RecordWindowSpec decl = municipalityRowSpec();
        decl.okCaption = QStringLiteral("&Spremi");
        auto form = rowWindow(request::Change, decl);
        const std::uint8_t r = runWith(*form, [&] {
            QLineEdit* name = editOf(*form, "OPC:NAZIV");
            name->setFocus();
            name->selectAll();
            QTest::keyClicks(name, QStringLiteral("Zagreb grad"));
            QTest::keyClick(name, Qt::Key_S, Qt::AltModifier);
        });
        QCOMPARE(int(r), int(response::Completed));
        QCOMPARE(nameOf("0019"), std::string("Zagreb grad"));
        // Upper case or lower case, the same letter; none for a letter no
        // button has.
        QCOMPARE(hotLetterButton(form.get(), QChar(u'S')), form->okButton());
        QCOMPARE(hotLetterButton(form.get(), QChar(u'x')), nullptr);
    }

    void escapeIsTheFormsCancel() {
        // Unchanged: closes at once, cancelled.
        auto quiet = rowWindow(request::Change, municipalityRowSpec());
        std::uint8_t r = runWith(*quiet, [&] {
            editOf(*quiet, "OPC:NAZIV")->setFocus();
            QTest::keyClick(editOf(*quiet, "OPC:NAZIV"), Qt::Key_Escape);
        });
        QCOMPARE(int(r), int(response::Cancelled));
        QVERIFY(reporter_->boxes.empty());

        // Changed: asks as the cancel button does; No leaves without saving.
        auto changed = rowWindow(request::Change, municipalityRowSpec());
        reporter_->answers.push_back(ButtonNo);
        r = runWith(*changed, [&] {
            QLineEdit* name = editOf(*changed, "OPC:NAZIV");
            name->setFocus();
            name->selectAll();
            QTest::keyClicks(name, QStringLiteral("Drugo"));
            QTest::keyClick(name, Qt::Key_Escape);
        });
        QCOMPARE(int(r), int(response::Cancelled));
        QCOMPARE(reporter_->titles(), std::vector<std::string>{"Save Record"});
        QCOMPARE(nameOf("0019"), std::string("Zagreb"));
    }

    void enterMovesToTheNextFieldAndThenToTheSaveButton() {
        auto form = rowWindow(request::Change, municipalityRowSpec());
        QWidget *afterCode = nullptr, *afterTown = nullptr;
        runWith(*form, [&] {
            QLineEdit* code = editOf(*form, "OPC:SIFRA");
            code->setFocus();
            QTest::keyClick(code, Qt::Key_Return);
            afterCode = QApplication::focusWidget();
            QWidget* town = form->form()->editor("OPC:GRAD");
            town->setFocus();
            QTest::keyClick(town, Qt::Key_Return);
            afterTown = QApplication::focusWidget();
        });
        QCOMPARE(afterCode, form->form()->editor("OPC:NAZIV"));
        QVERIFY(qobject_cast<QPushButton*>(afterTown));
    }

    void entriesTakeNoMoreThanTheFieldHolds() {
        auto form = rowWindow(request::Change, municipalityRowSpec());
        QString code, name;
        runWith(*form, [&] {
            QLineEdit* c = editOf(*form, "OPC:SIFRA");
            c->setFocus();
            c->selectAll();
            QTest::keyClicks(c, QStringLiteral("12ab345"));
            code = c->text();
            QLineEdit* n = editOf(*form, "OPC:NAZIV");
            n->setFocus();
            n->selectAll();
            QTest::keyClicks(n, QString(45, QLatin1Char('X')));
            name = n->text();
        });
        // Digits only, four of them; a name of at most 40 characters.
        QCOMPARE(code, QStringLiteral("1234"));
        QCOMPARE(name, QString(40, QLatin1Char('X')));
    }

    void listAnswersEnterEscapeAndShowsItsKeys() {
        ListWindowSpec decl = municipalityListSpec();
        int opened = 0;
        std::uint8_t request = 0;
        decl.update = [&](Tables&) {
            ++opened;
            request = PendingRequest;
            PendingRequest = 0;
            return response::Cancelled;
        };
        PendingRequest = request::View;
        auto* list = new ListWindow(*tables_, decl);
        QVERIFY(list->start());
        host_->openChild(list);
        QPointer<ListWindow> alive(list);
        QApplication::setActiveWindow(list);
        list->list()->control()->setFocus();
        QTRY_COMPARE(list->list()->rowCount(), 3);
        QCOMPARE(list->statusLine()->currentMessage(),
                 QStringLiteral("Insert dodaj · Enter promijeni · Delete obriši · tipkajte za "
                                "traženje"));
        QTest::keyClick(list->list()->control(), Qt::Key_Return);
        QCOMPARE(opened, 1);
        QCOMPARE(int(request), int(request::Change));
        QTest::keyClick(list->list()->control(), Qt::Key_Escape);
        QTRY_VERIFY(!alive);
    }

    void tabReachesEveryControlOfAListAndTheLastColumnTakesTheWidth() {
        PendingRequest = request::View;
        auto* list = new ListWindow(*tables_, municipalityListSpec());
        QVERIFY(list->start());
        host_->openChild(list);
        list->resize(500, 400);
        QApplication::setActiveWindow(list);
        list->list()->control()->setFocus();
        QTRY_COMPARE(list->list()->rowCount(), 3);
        // Three rows, all shown: the thumb fills the bar.
        QCOMPARE(list->list()->control()->visibleShare(), 1.0);

        QSet<QWidget*> reached;
        for (int i = 0; i < 20; ++i) {
            reached.insert(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        for (QPushButton* b : {list->insertButton(), list->changeButton(), list->deleteButton(),
                               list->printButton(), list->closeButton(), list->helpButton()})
            QVERIFY2(reached.contains(b), qPrintable(b->text()));
        QVERIFY(reached.contains(list->list()->tabs()));
        QVERIFY(reached.contains(list->list()->control()));

        QHeaderView* header = list->list()->control()->header();
        const int last = header->count() - 1;
        const int before = header->sectionSize(last);
        list->resize(900, 400);
        QTRY_VERIFY(header->sectionSize(last) >= before + 350);
        QCOMPARE(header->sectionViewportPosition(last) + header->sectionSize(last),
                 list->list()->control()->viewport()->width());
        list->endWindow();
    }

    void rowWindowOpensOverItsList() {
        PendingRequest = request::View;
        auto* list = new ListWindow(*tables_, municipalityListSpec());
        QVERIFY(list->start());
        host_->openChild(list);
        // On the screen (800 x 600 here), away from its middle.
        list->move(20, 40);
        list->resize(600, 420);
        QApplication::setActiveWindow(list);
        QTRY_COMPARE(list->list()->rowCount(), 3);
        QWidget* parent = nullptr;
        QPoint centre, listCentre;
        bool dialog = false;
        whenModalShows<RecordWindow>([&](RecordWindow& form) {
            parent = form.parentWidget();
            dialog = form.windowType() == Qt::Dialog;
            centre = form.frameGeometry().center();
            listCentre = list->frameGeometry().center();
            form.endWindow();
        });
        list->list()->askRecord(request::Change);
        QCOMPARE(parent, static_cast<QWidget*>(list));
        QVERIFY(dialog);
        QVERIFY2((centre - listCentre).manhattanLength() < 40,
                 qPrintable(QStringLiteral("form at %1,%2, list at %3,%4")
                                .arg(centre.x())
                                .arg(centre.y())
                                .arg(listCentre.x())
                                .arg(listCentre.y())));
        list->endWindow();
    }

    void listShowsRowsChangedElsewhereWhenItBecomesActive() {
        // Two lists over their own table objects, as two windows of the frame.
        auto first = std::make_unique<Tables>(dir_->str(), *errors_);
        auto second = std::make_unique<Tables>(dir_->str(), *errors_);
        PendingRequest = request::View;
        auto* a = new ListWindow(std::move(first), municipalityListSpec());
        QVERIFY(a->start());
        host_->openChild(a);
        PendingRequest = request::View;
        auto* b = new ListWindow(std::move(second), municipalityListSpec());
        QVERIFY(b->start());
        host_->openChild(b);
        QTRY_COMPARE(b->list()->rowCount(), 3);
        QCOMPARE(b->list()->cell(0, 2), QStringLiteral("Zagreb"));

        // The first list's window changes a row; the second is not current.
        QApplication::setActiveWindow(a);
        a->list()->control()->setFocus();
        TableAccess& t = a->tables().access("OPC");
        t.setOrder(0);
        t.setStart();
        QCOMPARE(t.next(), 0);
        t.record().setFromDisplay(t.def().fieldIndex("NAZIV"), "Grad Zagreb");
        QCOMPARE(t.change(), 0);
        QCOMPARE(b->list()->cell(0, 2), QStringLiteral("Zagreb"));

        // Coming back to the second list reads its page again.
        QApplication::setActiveWindow(b);
        b->list()->control()->setFocus();
        QTRY_COMPARE(b->list()->cell(0, 2), QStringLiteral("Grad Zagreb"));
        a->endWindow();
        b->endWindow();
    }

    void windowsRememberTheirTabAndSize() {
        test::TempDir settings;
        WindowMemory::setStore(std::make_unique<QSettings>(
            QString::fromStdString(settings.str() + "/mvz.ini"), QSettings::IniFormat));
        PendingRequest = request::View;
        auto* list = new ListWindow(*tables_, municipalityListSpec());
        QVERIFY(list->start());
        host_->openChild(list);
        list->list()->tabs()->setCurrentIndex(2);
        QTRY_COMPARE(list->list()->order(), 2);
        list->endWindow();
        QTRY_VERIFY(host_->children.back().first.isNull());

        PendingRequest = request::View;
        auto* again = new ListWindow(*tables_, municipalityListSpec());
        QVERIFY(again->start());
        host_->openChild(again);
        QCOMPARE(again->list()->order(), 2);
        again->endWindow();

        // A row window keeps the size it was given.
        auto form = rowWindow(request::Change, municipalityRowSpec());
        runWith(*form, [&] { form->resize(640, 420); });
        auto next = rowWindow(request::Change, municipalityRowSpec());
        QSize size;
        runWith(*next, [&] { size = next->size(); });
        QCOMPARE(size, QSize(640, 420));
    }

    void pdfIsProposedInTheOutputFolderUnderThePlainTitle() {
        test::TempDir out;
        host_->output = QString::fromStdString(out.str());
        PageModel model;
        model.title = "ŠIFARNIK - OPĆINE I GRADOVI";
        model.pages.emplace_back();
        RecordingReporter rec;
        auto* preview = new ReportPreview(model, rec);
        const QString expected =
            QDir(host_->output)
                .filePath(QStringLiteral("sifarnik-opcine-i-gradovi-%1.pdf")
                              .arg(QDate::currentDate().toString(Qt::ISODate)));
        QCOMPARE(preview->proposedPdfPath(), expected);
        // The host sees the file before it is written (it keeps data private).
        QVERIFY(preview->saveAsPdf(expected));
        QCOMPARE(host_->prepared, std::vector<QString>{expected});
        QVERIFY(QFileInfo(expected).size() > 0);

        // Escape closes the preview.
        QPointer<ReportPreview> alive(preview);
        host_->openChild(preview);
        QApplication::setActiveWindow(preview);
        preview->setFocus();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : preview,
                        Qt::Key_Escape);
        QTRY_VERIFY(!alive || !alive->isVisible());
        delete alive.data();
    }

    void qtDialogsSpeakCroatian() {
        QVERIFY(installCroatianQtTexts(*qApp));
        QMessageBox box;
        QAbstractButton* yes = box.addButton(QMessageBox::Yes);
        QAbstractButton* cancel = box.addButton(QMessageBox::Cancel);
        QCOMPARE(yes->text().remove(QLatin1Char('&')), QStringLiteral("Da"));
        QCOMPARE(cancel->text().remove(QLatin1Char('&')), QStringLiteral("Odustani"));
    }
};

QTEST_MAIN(WindowHabitsTest)
#include "window_habits_test.moc"
