// The life cycle of a procedure window on a small form over the
// municipality table: close questions, the insert-another loop, deleting on
// priming, the retry questions and the ditto key.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include <functional>
#include <vector>

#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "gui/support/test_host.h"
#include "support/recording_reporter.h"
#include "support/table_fixture.h"
#include "support/temp_dir.h"
#include "ui/record_window.h"
#include "ui/toolbar_controls.h"

using namespace mvz;

namespace {

RecordWindowSpec smallForm() {
    RecordWindowSpec decl;
    decl.table = "OPC";
    decl.insertTitle = QStringLiteral("Upis");
    decl.changeTitle = QStringLiteral("Promjena");
    decl.groupCaption = QStringLiteral("Osnovni podaci");
    FormField number{"OPC:REDBROJ", QStringLiteral("Redni broj :"), "@N5_", {}};
    number.readOnly = true;
    decl.fields = {number,
                   {"OPC:SIFRA", QStringLiteral("Šifra"), "@s4", {}},
                   {"OPC:NAZIV", QStringLiteral("Naziv :"), "@s40", {}}};
    return decl;
}

// A form whose actions the test chooses before it runs.
class TestForm : public RecordWindow {
  public:
    TestForm(Tables& t, std::uint8_t insertAction = 2, std::uint8_t cancelAction = 3,
             std::uint8_t deleteAction = 2)
        : RecordWindow(t, smallForm()), insert_(insertAction), cancel_(cancelAction),
          delete_(deleteAction) {}
    QLineEdit* edit(const char* field) const {
        return qobject_cast<QLineEdit*>(form()->editor(field));
    }

  protected:
    bool init() override {
        if (!RecordWindow::init()) return false;
        setInsertAction(insert_);
        setCancelAction(cancel_);
        setDeleteAction(delete_);
        return true;
    }

  private:
    std::uint8_t insert_, cancel_, delete_;
};

// Runs the window modally with steps, each after the events of the one before.
std::uint8_t runSteps(ProcedureWindow& w, std::vector<std::function<void()>> steps, int* done) {
    *done = 0;
    auto next = std::make_shared<std::function<void()>>();
    *next = [&w, steps, done, next] {
        if (w.isDead()) return;
        if (*done >= static_cast<int>(steps.size())) {
            // A step that failed left the window open: end it.
            QTimer::singleShot(0, &w, [&w] {
                if (!w.isDead()) w.endWindow();
            });
            return;
        }
        steps[static_cast<std::size_t>((*done)++)]();
        QTimer::singleShot(0, &w, *next);
    };
    QTimer::singleShot(0, &w, *next);
    return w.run();
}

void type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

} // namespace

class ProcedureWindowTest : public QObject {
    Q_OBJECT
    test::TempDir* dir_ = nullptr;
    RecordingReporter* reporter_ = nullptr;
    ErrorReporter* errors_ = nullptr;
    Tables* tables_ = nullptr;
    TestHost host_;

    TableAccess& opc() { return tables_->access("OPC"); }
    std::int64_t addRow(const std::string& code, const std::string& name) {
        opc().record().clear();
        opc().record().setFromDisplay(opc().def().fieldIndex("SIFRA"), code);
        opc().record().setFromDisplay(opc().def().fieldIndex("NAZIV"), name);
        if (opc().add() != 0) qFatal("add failed");
        return opc().position();
    }
    std::vector<std::string> names() {
        std::vector<std::string> out;
        opc().setOrder(0);
        opc().setStart();
        while (opc().next() == 0)
            out.push_back(opc().record().display(opc().def().fieldIndex("NAZIV")));
        return out;
    }
    std::vector<std::string> titles() const { return reporter_->titles(); }

  private slots:
    void init() {
        dir_ = new test::TempDir;
        reporter_ = new RecordingReporter;
        errors_ = new ErrorReporter(*reporter_);
        errors_->addMessages(standardMessages());
        tables_ = new Tables(dir_->str(), *errors_);
        QCOMPARE(opc().open(), 0);
        PendingRequest = request::View;
        PendingNavigation = 0;
    }
    void cleanup() {
        opc().close();
        delete tables_;
        delete errors_;
        delete reporter_;
        delete dir_;
    }

    void unchangedFormClosesWithoutAQuestion() {
        const std::int64_t pos = addRow("1236", "Zagreb");
        opc().fetchPosition(pos);
        PendingRequest = request::Change;
        TestForm form(*tables_);
        int done = 0;
        const auto r = runSteps(form, {[&] { form.cancelButton()->click(); }}, &done);
        QCOMPARE(int(r), int(response::Cancelled));
        QCOMPARE(int(LastResponse), int(response::Cancelled));
        QVERIFY(reporter_->boxes.empty());
    }

    void closingAChangedFormAsksToSave_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("response");
        QTest::addColumn<QString>("stored");
        QTest::newRow("yes saves") << int(ButtonYes) << int(response::Completed) << "Zadar";
        QTest::newRow("no discards") << int(ButtonNo) << int(response::Cancelled) << "Zagreb";
    }
    void closingAChangedFormAsksToSave() {
        QFETCH(int, answer);
        QFETCH(int, response);
        QFETCH(QString, stored);
        const std::int64_t pos = addRow("1236", "Zagreb");
        opc().fetchPosition(pos);
        PendingRequest = request::Change;
        TestForm form(*tables_);
        // Cancel first (back to the form, focus on its first field), then the answer.
        reporter_->answers = {ButtonCancel, Button(answer)};
        bool stayed = false, focusOnFirst = false;
        int done = 0;
        const auto r = runSteps(
            form,
            {[&] { type(form.edit("OPC:NAZIV"), "Zadar"); }, [&] { form.cancelButton()->click(); },
             [&] {
                 stayed = form.isVisible() && !form.isDead();
                 focusOnFirst = QApplication::focusWidget() == form.edit("OPC:SIFRA");
                 form.cancelButton()->click();
             }},
            &done);
        QVERIFY(stayed);
        QVERIFY(focusOnFirst);
        QCOMPARE(int(r), response);
        QCOMPARE(reporter_->boxes.size(), std::size_t(2));
        const ShownBox& box = reporter_->boxes[0];
        QCOMPARE(box.title, std::string("Save Record"));
        QCOMPARE(box.text, std::string("Do you want to save the changes to this record?"));
        QCOMPARE(box.buttons, unsigned(ButtonYes | ButtonNo | ButtonCancel));
        QCOMPARE(box.defaultButton, ButtonCancel);
        QCOMPARE(names(), std::vector<std::string>{stored.toStdString()});
    }

    void askOnlyCancelActionAsksAreYouSure() {
        const std::int64_t pos = addRow("1236", "Zagreb");
        opc().fetchPosition(pos);
        PendingRequest = request::Change;
        TestForm form(*tables_, 2, /*cancelAction*/ 2);
        reporter_->answers = {ButtonNo, ButtonYes};
        int done = 0;
        bool stayed = false;
        const auto r = runSteps(form,
                                {[&] { type(form.edit("OPC:NAZIV"), "Zadar"); },
                                 [&] { form.cancelButton()->click(); },
                                 [&] {
                                     stayed = !form.isDead();
                                     form.cancelButton()->click();
                                 }},
                                &done);
        QVERIFY(stayed);
        QCOMPARE(int(r), int(response::Cancelled));
        QCOMPARE(titles(),
                 (std::vector<std::string>{"Changes will be lost!", "Changes will be lost!"}));
        QCOMPARE(reporter_->boxes[0].text, std::string("Are you sure you want to cancel?"));
        QCOMPARE(names(), std::vector<std::string>{"Zagreb"});
    }

    void insertAnotherLoopReturnsCompletedOnTheLastRecord() {
        PendingRequest = request::Insert;
        opc().record().clear();
        TestForm form(*tables_, /*insertAction*/ 3);
        QString numberAfterFirst, nameAfterFirst;
        int done = 0;
        const auto r = runSteps(form,
                                {[&] {
                                     QCOMPARE(form.edit("OPC:REDBROJ")->text(),
                                              QStringLiteral("1")); // reserved
                                     type(form.edit("OPC:SIFRA"), "1236");
                                     type(form.edit("OPC:NAZIV"), "Zagreb");
                                     form.okButton()->click();
                                 },
                                 [&] {
                                     // Cleared for the next one, with the next number reserved.
                                     numberAfterFirst = form.edit("OPC:REDBROJ")->text();
                                     nameAfterFirst = form.edit("OPC:NAZIV")->text();
                                     type(form.edit("OPC:SIFRA"), "2003");
                                     type(form.edit("OPC:NAZIV"), "Split");
                                     form.okButton()->click();
                                 },
                                 [&] { form.cancelButton()->click(); }},
                                &done);
        QCOMPARE(done, 3);
        QCOMPARE(numberAfterFirst, QStringLiteral("2"));
        QVERIFY(nameAfterFirst.isEmpty());
        QCOMPARE(int(r), int(response::Completed));
        QVERIFY(form.lastInsertedPosition() != 0);
        // The caller is positioned on the last record added ...
        QCOMPARE(opc().record().display(opc().def().fieldIndex("NAZIV")), std::string("Split"));
        // ... and the number reserved for the third one is given back.
        QCOMPARE(names(), (std::vector<std::string>{"Zagreb", "Split"}));
        QVERIFY(reporter_->boxes.empty());
    }

    void insertActionFourAsksRecordAdded() {
        PendingRequest = request::Insert;
        opc().record().clear();
        TestForm form(*tables_, /*insertAction*/ 4);
        reporter_->answers = {ButtonNo};
        int done = 0;
        const auto r = runSteps(form, {[&] {
                                    type(form.edit("OPC:SIFRA"), "1236");
                                    type(form.edit("OPC:NAZIV"), "Zagreb");
                                    form.okButton()->click();
                                }},
                                &done);
        QCOMPARE(int(r), int(response::Completed));
        QCOMPARE(titles(), std::vector<std::string>{"Record Added"});
        QCOMPARE(reporter_->boxes[0].text,
                 std::string("This record has been added to the file. Do you want to add another "
                             "record?"));
        QCOMPARE(names(), std::vector<std::string>{"Zagreb"});
    }

    void cancelledInsertGivesTheReservedNumberBack() {
        addRow("1236", "Zagreb");
        PendingRequest = request::Insert;
        opc().record().clear();
        TestForm form(*tables_);
        int done = 0;
        QString reserved;
        const auto r = runSteps(form, {[&] {
                                    reserved = form.edit("OPC:REDBROJ")->text();
                                    form.cancelButton()->click();
                                }},
                                &done);
        QCOMPARE(reserved, QStringLiteral("2"));
        QCOMPARE(int(r), int(response::Cancelled));
        QCOMPARE(names(), std::vector<std::string>{"Zagreb"});
        QCOMPARE(opc().count(), std::int64_t(1));
    }

    void deleteRequestIsCarriedOutWithoutShowingTheWindow_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("response");
        QTest::addColumn<int>("left");
        QTest::newRow("confirmed") << int(ButtonYes) << int(response::Completed) << 0;
        QTest::newRow("refused") << int(ButtonNo) << int(response::Cancelled) << 1;
    }
    void deleteRequestIsCarriedOutWithoutShowingTheWindow() {
        QFETCH(int, answer);
        QFETCH(int, response);
        QFETCH(int, left);
        const std::int64_t pos = addRow("1236", "Zagreb");
        opc().fetchPosition(pos);
        PendingRequest = request::Delete;
        reporter_->answers = {Button(answer)};
        TestForm form(*tables_);
        bool shown = false;
        QTimer::singleShot(0, &form, [&] { shown = form.isVisible(); });
        QCOMPARE(int(form.run()), response);
        QVERIFY(!shown && !form.isVisible());
        QCOMPARE(titles(), std::vector<std::string>{"Confirm Delete"});
        QCOMPARE(opc().count(), std::int64_t(left));
    }

    void failedSaveAsksToRetry() {
        const std::int64_t pos = addRow("1236", "Zagreb");
        opc().fetchPosition(pos);
        PendingRequest = request::Change;
        TestForm form(*tables_);
        // Yes tries again (and fails again), Cancel returns to the form, No closes.
        reporter_->answers = {ButtonOk, ButtonYes, ButtonOk, ButtonCancel, ButtonOk, ButtonNo};
        int done = 0;
        bool stayed = false;
        const auto r = runSteps(form,
                                {[&] {
                                     type(form.edit("OPC:NAZIV"), "Zadar");
                                     // Another station deletes the record meanwhile.
                                     test::Station other(dir_->str());
                                     TableAccess& t = other.tables.access("OPC");
                                     t.open();
                                     t.fetchPosition(pos);
                                     QCOMPARE(t.remove(), 0);
                                     t.close();
                                     form.okButton()->click();
                                 },
                                 [&] {
                                     stayed = !form.isDead() && form.isVisible();
                                     form.okButton()->click();
                                 }},
                                &done);
        QVERIFY(stayed);
        QCOMPARE(int(r), int(response::Cancelled));
        QCOMPARE(titles(),
                 (std::vector<std::string>{"Record was not updated", "Record Update Error",
                                           "Record was not updated", "Record Update Error",
                                           "Record was not updated", "Record Update Error"}));
        QCOMPARE(reporter_->boxes[1].defaultButton, ButtonCancel);
    }

    void failedDeleteAsksToRetry() {
        const std::int64_t pos = addRow("1236", "Zagreb");
        opc().fetchPosition(pos);
        PendingRequest = request::Delete;
        // A delete form that is shown: its OK deletes without message 9.
        TestForm form(*tables_, 2, 3, /*deleteAction*/ 1);
        reporter_->answers = {ButtonOk, ButtonNo};
        int done = 0;
        const auto r = runSteps(form, {[&] {
                                    test::Station other(dir_->str());
                                    TableAccess& t = other.tables.access("OPC");
                                    t.open();
                                    t.fetchPosition(pos);
                                    QCOMPARE(t.remove(), 0);
                                    t.close();
                                    form.okButton()->click();
                                }},
                                &done);
        QCOMPARE(int(r), int(response::Cancelled));
        QCOMPARE(titles(),
                 (std::vector<std::string>{"Record was not deleted", "Record Delete Error"}));
        QCOMPARE(reporter_->boxes[1].buttons, unsigned(ButtonYes | ButtonNo | ButtonCancel));
    }

    void helpButtonOpensTheUserGuide() {
        PendingRequest = request::Insert;
        opc().record().clear();
        TestForm form(*tables_);
        int done = 0;
        runSteps(form, {[&] { form.helpButton()->click(); }, [&] { form.cancelButton()->click(); }},
                 &done);
        // The window asks its host for the guide.
        QCOMPARE(host_.guideOpened, 1);
    }

    void dittoRecallsTheValueOfThePreviousSave() {
        PendingRequest = request::Insert;
        opc().record().clear();
        TestForm form(*tables_, /*insertAction*/ 3);
        QString byKey, byToolbar;
        int done = 0;
        runSteps(form,
                 {[&] {
                      type(form.edit("OPC:SIFRA"), "1236");
                      type(form.edit("OPC:NAZIV"), "Zagreb");
                      form.okButton()->click();
                  },
                  [&] {
                      QLineEdit* name = form.edit("OPC:NAZIV");
                      name->setFocus();
                      QTest::keyClick(name, Qt::Key_Apostrophe, Qt::ControlModifier);
                      byKey = name->text();
                      QLineEdit* code = form.edit("OPC:SIFRA");
                      code->setFocus();
                      QAction* ditto = nullptr;
                      for (QAction* a : form.findChild<QToolBar*>()->actions())
                          if (a->toolTip() == QStringLiteral("Prethodna vrijednost")) ditto = a;
                      QVERIFY(ditto && ditto->isEnabled());
                      ditto->trigger();
                      byToolbar = code->text();
                      form.cancelButton()->click();
                  }},
                 &done);
        QCOMPARE(byKey, QStringLiteral("Zagreb"));
        QCOMPARE(byToolbar, QStringLiteral("1236"));
    }
};

QTEST_MAIN(ProcedureWindowTest)
#include "procedure_window_test.moc"
