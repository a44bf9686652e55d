// The employer list and window, hosted without the main frame, on the demo
// data: a new employer is refused field by field in the order of the checks
// (the focus on the field named) until it is complete; an opened employer
// lists only its own people in both orders and keeps its number; deleting
// asks first and takes the employees along; persons are added and copied
// through the insured-person window, whose refused save puts the focus on
// the field named.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QtTest>

#include <memory>

#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "gui/support/modal_steps.h"
#include "gui/support/test_host.h"
#include "registers/employer_list.h"
#include "registers/employer_window.h"
#include "registers/insured_person_window.h"
#include "setup/initialize.h"
#include "support/recording_reporter.h"
#include "support/temp_dir.h"
#include "ui/browse_list.h"
#include "ui/lookup_drop_list.h"
#include "ui/record_form.h"

using namespace mvz;

namespace {

void type(QWidget* editor, const QString& text) {
    editor->setFocus();
    auto* line = qobject_cast<QLineEdit*>(editor);
    QVERIFY(line);
    line->selectAll();
    if (text.isEmpty())
        QTest::keyClick(line, Qt::Key_Delete);
    else
        QTest::keyClicks(line, text);
}

QString textOf(RecordForm* form, const char* field) {
    return form->editorText(form->editor(field)).trimmed();
}

} // namespace

class EmployerWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<RecordingReporter> reporter_;
    std::unique_ptr<ErrorReporter> errors_;
    std::unique_ptr<Tables> tables_;
    std::unique_ptr<TestHost> host_;

    long long count(const char* table, std::function<bool(const Record&)> which = {}) {
        TableAccess& t = tables_->access(table);
        if (t.open() != 0) return -1;
        long long n = 0;
        t.setOrder(t.def().primaryKey());
        t.setStart();
        while (t.next() == 0)
            if (!which || which(t.record())) ++n;
        t.close();
        return n;
    }
    static bool ofEmployer(const Record& r, long number) {
        return r.integer(r.def().fieldIndex("REDBROJ")) == number;
    }
    // Reads employer `number` into the POS buffer, as the list does before opening it.
    void highlightEmployer(long number) {
        TableAccess& pos = tables_->access("POS");
        QCOMPARE(pos.open(), 0);
        pos.record().clear();
        pos.record().setInteger(pos.def().fieldIndex("REDBROJ"), number);
        QCOMPARE(pos.fetch(pos.def().keyIndex("KEYREDBROJ")), 0);
    }
    // A second employer with one person, so that filters have something to leave out.
    void addOtherEmployer() {
        TableAccess& pos = tables_->access("POS");
        QCOMPARE(pos.open(), 0);
        Record& e = pos.record();
        e.clear();
        e.setFromDisplay(e.def().fieldIndex("REDBROJ"), "7");
        e.setFromDisplay(e.def().fieldIndex("NAZIV"), "Drugi d.o.o.");
        e.setFromDisplay(e.def().fieldIndex("VRSTOBVEZNIKA"), "31");
        QCOMPARE(pos.add(), 0);
        pos.close();
        TableAccess& rad = tables_->access("RAD");
        QCOMPARE(rad.open(), 0);
        Record& p = rad.record();
        p.clear();
        p.setFromDisplay(p.def().fieldIndex("REDBROJ"), "7");
        p.setFromDisplay(p.def().fieldIndex("JMBG"), "  12345678903");
        p.setFromDisplay(p.def().fieldIndex("PREZIME"), "Aaaa Drugi");
        QCOMPARE(rad.add(), 0);
        rad.close();
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const ShownBox& b : reporter_->boxes)
            out.push_back(b.text);
        return out;
    }

  private slots:
    void init() {
        dir_ = std::make_unique<test::TempDir>();
        reporter_ = std::make_unique<RecordingReporter>();
        errors_ = std::make_unique<ErrorReporter>(*reporter_);
        errors_->addMessages(standardMessages());
        InitOptions options;
        options.demo = true;
        QVERIFY(initializeDataDirectory(dir_->str(), *errors_, options).ok);
        reporter_->clear();
        tables_ = std::make_unique<Tables>(dir_->str(), *errors_);
        host_ = std::make_unique<TestHost>();
    }
    void cleanup() {
        host_.reset();
        tables_.reset();
        errors_.reset();
        reporter_.reset();
        dir_.reset();
    }

    void aNewEmployerIsRefusedInTheOrderOfTheChecksUntilComplete() {
        TableAccess& pos = tables_->access("POS");
        QCOMPARE(pos.open(), 0);
        pos.record().clear();
        PendingRequest = request::Insert;
        EmployerWindow window(*tables_);
        std::vector<QString> focus;
        bool employeesClosed = false;
        const std::uint8_t r = runWith(window, [&] {
            RecordForm* form = window.form();
            employeesClosed = !window.copyButton()->isEnabled();
            QCOMPARE(textOf(form, "POS:JMBG"), QStringLiteral("0000000000000"));
            auto save = [&] {
                window.saveButton()->click();
                focus.push_back(QApplication::focusWidget()
                                    ? QApplication::focusWidget()->objectName()
                                    : QString());
            };
            type(form->editor("POS:REDBROJ"), QStringLiteral("888"));
            save();
            type(form->editor("POS:REDBROJ"), QStringLiteral("2"));
            save();
            type(form->editor("POS:NAZIV"), QStringLiteral("Novi obrt"));
            save();
            type(form->editor("POS:ADRESA"), QStringLiteral("Ilica 1, Zagreb"));
            save();
            type(form->editor("POS:KONTAKT"), QStringLiteral("Ana Anic"));
            save(); // no payer type chosen
            window.payerTypeList()->setCurrentIndex(0);
            emit window.payerTypeList()->activated(0);
            QVERIFY(!textOf(form, "POS:VRSTOBVEZNIKA").isEmpty());
            save(); // the placeholder identifier
            type(form->editor("POS:JMBG"), QStringLiteral("12345678903"));
            window.saveButton()->click();
        });
        QVERIFY(employeesClosed);
        QCOMPARE(r, response::Completed);
        const std::vector<std::string> expected = {
            "Redni broj obveznika mora biti od 1 do 999, osim 888",
            "Greška broj 6. Naziv ili prezime i ime je obvezan podatak",
            "Greška broj 7. Adresa obveznika je obvezan podatak",
            "Greška broj 8. Kontakt osoba se obvezno upisuje",
            "Pogrešna vrsta obveznika. Ispravite !",
            "Provjerite identifikacijski broj obveznika ",
        };
        QCOMPARE(texts(), expected);
        QCOMPARE(focus[0], QStringLiteral("POS:REDBROJ"));
        QCOMPARE(focus[1], QStringLiteral("POS:NAZIV"));
        QCOMPARE(focus[2], QStringLiteral("POS:ADRESA"));
        QCOMPARE(focus[3], QStringLiteral("POS:KONTAKT"));
        QCOMPARE(focus[5], QStringLiteral("POS:JMBG"));
        highlightEmployer(2);
        QCOMPARE(QString::fromStdString(pos.record().display(pos.def().fieldIndex("JMBG"))),
                 QStringLiteral("  12345678903")); // the stored form of an OIB
    }

    void anOpenedEmployerListsOnlyItsPeopleInBothOrdersAndKeepsItsNumber() {
        addOtherEmployer();
        highlightEmployer(1);
        PendingRequest = request::Change;
        EmployerWindow window(*tables_);
        runWith(window, [&] {
            auto* number = qobject_cast<QLineEdit*>(window.form()->editor("POS:REDBROJ"));
            QVERIFY(number->isReadOnly());
            QCOMPARE(window.payerTypeList()->currentText().left(2).isEmpty(), false);
            BrowseList* people = window.employees();
            QTRY_VERIFY(people->rowCount() > 0);
            for (int order : {0, 1}) {
                people->setOrder(order);
                QTRY_VERIFY(people->rowCount() > 1);
                for (int row = 0; row < people->rowCount(); ++row)
                    QVERIFY(people->cell(row, 1) != QStringLiteral("Aaaa Drugi"));
                const int column = order == 0 ? 0 : 1;
                QVERIFY(people->cell(0, column) <= people->cell(1, column));
            }
            QVERIFY(!window.printButton()->isVisible()); // printing is on the first tab
        });
    }

    void deletingAnEmployerAsksFirstAndTakesItsEmployees() {
        const long long others = count("RAD", [](const Record& r) { return !ofEmployer(r, 1); });
        for (Button answer : {ButtonNo, ButtonYes}) {
            highlightEmployer(1);
            reporter_->answers.push_back(answer);
            PendingRequest = request::Delete;
            EmployerWindow window(*tables_);
            window.run();
            QVERIFY(!reporter_->boxes.empty());
            const long long left = count("RAD", [](const Record& r) { return ofEmployer(r, 1); });
            if (answer == ButtonNo)
                QVERIFY(left > 0);
            else
                QCOMPARE(left, 0LL);
        }
        QCOMPARE(count("POS", [](const Record& r) { return ofEmployer(r, 1); }), 0LL);
        QCOMPARE(count("RAD", [](const Record& r) { return !ofEmployer(r, 1); }), others);
    }

    void aPersonIsAddedWithTheChecksAndCopiedFromTheHighlightedRow() {
        highlightEmployer(1);
        const long long before = count("RAD", [](const Record& r) { return ofEmployer(r, 1); });
        PendingRequest = request::Change;
        EmployerWindow window(*tables_);
        QString proposed, prefilled, refusedFocus, copiedName, copiedDays, copiedId, highlighted;
        runWith(window, [&] {
            BrowseList* people = window.employees();
            QTRY_VERIFY(people->rowCount() > 0);
            whenModalShows<InsuredPersonWindow>([&](InsuredPersonWindow& person) {
                RecordForm* f = person.form();
                prefilled = textOf(f, "RAD:REDBROJ") + "/" + textOf(f, "RAD:VRSOBV") + "/" +
                            textOf(f, "RAD:OPCINA");
                type(f->editor("RAD:JMBG"), QStringLiteral("12345678903"));
                type(f->editor("RAD:PREZIME"), QStringLiteral("Novak Ivo"));
                type(f->editor("RAD:GODOBRA"), QStringLiteral("2026"));
                type(f->editor("RAD:MJEOBRA"), QStringLiteral("11"));
                // Entering the pillar I field proposes the contribution from the rates.
                qobject_cast<QComboBox*>(f->editor("RAD:CLANDN"))->setCurrentIndex(0); // D
                type(f->editor("RAD:VRSTAUPLA"), QStringLiteral("01"));
                type(f->editor("RAD:OSNOVA1"), QStringLiteral("01"));
                type(f->editor("RAD:OSNOVA3"), QStringLiteral("0"));
                type(f->editor("RAD:IZNOS8"), QStringLiteral("1000"));
                f->editor("RAD:IZNOS9")->setFocus();
                proposed = textOf(f, "RAD:IZNOS9") + "/" + person.description("RAD:VRSTAUPLA");
                // The membership is still open: the save is refused there.
                qobject_cast<QComboBox*>(f->editor("RAD:CLANDN"))->setCurrentIndex(-1);
                person.saveButton()->click();
                refusedFocus = QApplication::focusWidget()
                                   ? QApplication::focusWidget()->objectName()
                                   : QString();
                person.endWindow();
            });
            people->askRecord(request::Insert);

            people->setOrder(0);
            QTRY_VERIFY(people->rowCount() > 0);
            highlighted = people->cell(people->currentRow(), 1).trimmed();
            whenModalShows<InsuredPersonWindow>([&](InsuredPersonWindow& person) {
                RecordForm* f = person.form();
                copiedName = textOf(f, "RAD:PREZIME");
                copiedDays = textOf(f, "RAD:ODDANA") + "-" + textOf(f, "RAD:DODANA");
                copiedId = textOf(f, "RAD:JMBG");
                person.endWindow();
            });
            window.copyButton()->click();
        });
        QCOMPARE(prefilled.section('/', 0, 1), QStringLiteral("001/31"));
        QVERIFY(!prefilled.section('/', 2).isEmpty()); // the seat municipality
        QCOMPARE(proposed.section('/', 0, 0), QStringLiteral("150,00")); // 15 % of 1000,00
        QVERIFY(!proposed.section('/', 1).isEmpty());                    // "01" described
        QCOMPARE(refusedFocus, QStringLiteral("RAD:CLANDN"));
        const std::vector<std::string> shown = texts();
        QVERIFY(std::find(shown.begin(), shown.end(),
                          "Obvezno odredite da li je osoba član OMF ili nije") != shown.end());
        QCOMPARE(copiedName, highlighted);
        QCOMPARE(copiedDays, QStringLiteral("00-00"));
        QVERIFY(copiedId.isEmpty());
        QCOMPARE(count("RAD", [](const Record& r) { return ofEmployer(r, 1); }), before);
    }
};

QTEST_MAIN(EmployerWindowTest)
#include "employer_window_test.moc"
