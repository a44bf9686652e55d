#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "base/day_number.h"
#include "base/reporter.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "setup/initialize.h"
#include "shell/application_parameters_window.h"
#include "shell/main_frame.h"
#include "support/temp_dir.h"
#include "ui/toolbar_controls.h"

using namespace mvz;

namespace {

struct BoxRecorder : Reporter {
    std::vector<MessageBox> boxes;
    Button show(const MessageBox& box) override {
        boxes.push_back(box);
        return box.defaultButton;
    }
    QStringList texts() const {
        QStringList out;
        for (const MessageBox& b : boxes)
            out << QString::fromStdString(b.text);
        return out;
    }
};

// A data directory with the demo data and the messages of one program.
struct Data {
    Data() : errors(rec) {
        errors.addMessages(standardMessages());
        const InitResult r =
            initializeDataDirectory(dir.str(), errors, {true, dayNumber(2010, 3, 15)});
        if (!r.ok) qFatal("demo data: %s", r.error.c_str());
    }
    // A field of record 1 as another program reads it.
    QString stored(const char* field) {
        BoxRecorder quiet;
        ErrorReporter e(quiet);
        e.addMessages(standardMessages());
        Tables tables(dir.str(), e);
        TableAccess& apl = tables.access("APL");
        apl.setShareMode(ShareMode::ReadOnly);
        if (apl.open() != result::Ok) return QStringLiteral("<closed>");
        QString out;
        if (std::string_view(field) == "COUNT") {
            out = QString::number(apl.count());
        } else {
            apl.setStart();
            if (apl.next() == result::Ok)
                out = QString::fromStdString(apl.record().display(apl.def().fieldIndex(field)));
        }
        apl.close();
        return out;
    }
    QByteArray folderFile() const {
        QFile f(QString::fromStdString(dir.file("TBIZLFOLDER.TXT")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    test::TempDir dir;
    BoxRecorder rec;
    ErrorReporter errors;
};

// The window as the frame starts it.
ApplicationParametersWindow* openWindow(Data& d, ErrorReporter* errors = nullptr) {
    auto* w = new ApplicationParametersWindow(d.dir.str(), errors ? *errors : d.errors);
    if (!w->start()) qFatal("the window did not start");
    return w;
}

QStringList labelTexts(QWidget* w) {
    QStringList out;
    for (QLabel* l : w->findChildren<QLabel*>())
        out << l->text();
    return out;
}

} // namespace

class ApplicationParametersWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void showsEveryFieldWithItsPromptTipAndPicture() {
        Data d;
        std::unique_ptr<ApplicationParametersWindow> owner(openWindow(d));
        ApplicationParametersWindow& w = *owner;
        QVERIFY(d.rec.boxes.empty());
        QCOMPARE(w.windowTitle(), QStringLiteral("Promjena aplikacijskih parametara"));
        struct Expect {
            const char* field;
            int width;
            const char* tip;
        };
        const Expect fields[] = {
            {"JMBG", 13, "Identifikacijski broj ovlaštene osobe se obavezno upisuje"},
            {"NAZIV", 50, "Naziv servisa"},
            {"ADRESA", 50, "Adresa servisa"},
            {"KONOSO", 50, "Kontak osoba"},
            {"TELEFON", 10, "Telefon"},
            {"EMAIL", 30, "Email adresa"},
            {"SIFSJED", 4, "Sjedište firme"},
            {"RADDIR", 128, "Radni direktorij"},
            {"ULAZDIR", 128, "Direktorij za ulazne datoteke"},
            {"IZLAZDIR", 128, "Direktorj za izlazne datoteke"},
            {"MZ0", 128, ""}};
        for (const Expect& e : fields) {
            QLineEdit* edit = w.entry(QString::fromLatin1(e.field));
            QVERIFY2(edit, e.field);
            QCOMPARE(edit->maxLength(), e.width);
            QCOMPARE(edit->toolTip(), QString::fromUtf8(e.tip));
        }
        const QStringList labels = labelTexts(&w);
        for (const char* prompt :
             {"Identifikacijski broj", "Naziv obveznika :", "Adresa :", "Kontakt osoba :",
              "Telefon :", "E-mail adresa", "Sjedište :", "Radni pretinac :", "Ulazni podaci :",
              "Izlazni podaci :", "MZ0 pretinac :", "MBG ili MBS upisati : ", "MBROJXXXXXXXX",
              "OIB(11) se upisuje :", "XXXXXXXXXXX", "Sistemski broj PU(13) :", "JXXXXXXXXHHHH",
              "Sitemski broj PU :", "XXXXXXXXXXXXX"})
            QVERIFY2(labels.contains(QString::fromUtf8(prompt)), prompt);
        QStringList headings;
        for (QGroupBox* g : w.findChildren<QGroupBox*>())
            headings << g->title();
        QCOMPARE(headings, (QStringList{"  PODACI O OVLAŠTENOJ OSOBI",
                                        "RADNO OKRUŽENJE (pretinci-mape)", "Napomena"}));
        for (QLabel* l : w.findChildren<QLabel*>())
            if (l->text() == QStringLiteral("JXXXXXXXXHHHH"))
                QCOMPARE(l->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(w.seatList()->toolTip(), QStringLiteral("Naziv općine"));
        QCOMPARE(w.saveButton()->text(), QStringLiteral("&Spremi"));
        QCOMPARE(w.cancelButton()->text(), QStringLiteral("&Prekini"));
        QCOMPARE(w.helpButton()->text(), QStringLiteral("Upu&te"));
        QCOMPARE(w.helpButton()->toolTip(), QStringLiteral("Upute za rad"));
        QVERIFY(w.findChild<QWidget*>(QStringLiteral("MZ0Chooser")));

        // The record and the MZ0 folder of the demo data.
        QCOMPARE(w.entry("RADDIR")->text(), QString::fromStdString(d.dir.str() + "/rad/"));
        QCOMPARE(w.entry("MZ0")->text(), QString::fromStdString(d.dir.str() + "/mz0/"));
        QVERIFY(w.seatList()->count() > 20);
    }

    void savesStoredIdentifierSeparatorsAndTheMz0Line() {
        Data d;
        QPointer<ApplicationParametersWindow> w = openWindow(d);
        w->show();
        w->entry("JMBG")->setText(QStringLiteral("12345678903"));
        w->entry("NAZIV")->setText(QStringLiteral("Računovodstvo Žužić"));
        w->entry("RADDIR")->setText(QStringLiteral("/srv/mvz/rad"));
        w->entry("MZ0")->setText(QStringLiteral("/media/usb"));
        const int bakar = w->seatList()->findText(QStringLiteral("Bakar"));
        QVERIFY(bakar >= 0);
        w->seatList()->setCurrentIndex(bakar);
        emit w->seatList()->activated(bakar);
        QCOMPARE(w->entry("SIFSJED")->text(), QStringLiteral("0043"));
        QVERIFY(w->save());
        QVERIFY(d.rec.boxes.empty());
        QTRY_VERIFY(w.isNull()); // closed and deleted

        QCOMPARE(d.stored("JMBG"), QStringLiteral("  12345678903"));
        QCOMPARE(d.stored("NAZIV"), QStringLiteral("Računovodstvo Žužić"));
        QCOMPARE(d.stored("RADDIR"), QStringLiteral("/srv/mvz/rad/"));
        QCOMPARE(d.stored("NAZSJED"), QStringLiteral("Bakar"));
        QCOMPARE(d.stored("SIFSJED"), QStringLiteral("0043"));
        const QByteArray lines = d.folderFile();
        QVERIFY2(lines.startsWith("/media/usb/"), lines.constData());
        QCOMPARE(lines.count('\n'), 1);
    }

    void altSPressesSpremiAheadOfTheServisiMenu() {
        // Inside the frame, whose menu "&Servisi" has the same hot letter.
        Data d;
        MainFrame frame(d.dir.str(), d.errors);
        frame.setCreditCloseAfterMs(1);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QPointer<ApplicationParametersWindow> w = openWindow(d);
        frame.openChild(w);
        QApplication::setActiveWindow(&frame);
        QLineEdit* name = w->entry("NAZIV");
        name->setFocus();
        name->setText(QStringLiteral("Obrt Alt"));
        QTest::keyClick(name, Qt::Key_S, Qt::AltModifier);
        QTRY_VERIFY(w.isNull()); // saved and closed
        QCOMPARE(d.stored("NAZIV"), QStringLiteral("Obrt Alt"));
        QVERIFY(!frame.menuAction("services")->menu()->isVisible());
    }

    void refusesAnInvalidIdentifierAndStaysOpen() {
        Data d;
        QByteArray before = d.folderFile();
        std::unique_ptr<ApplicationParametersWindow> owner(openWindow(d));
        ApplicationParametersWindow& w = *owner;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.entry("JMBG")->setText(QStringLiteral("12345678904"));
        w.entry("MZ0")->setText(QStringLiteral("/drugdje/"));
        QVERIFY(!w.save());
        QCOMPARE(d.rec.texts(), QStringList{"Provjerite identifikacijski broj ovlaštene osobe"});
        QVERIFY(w.isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.entry("JMBG")));
        QCOMPARE(d.folderFile(), before);
        QVERIFY(d.stored("JMBG") != QStringLiteral("12345678904"));

        // Leaving the field checks it too; a valid one comes back in its
        // stored form.
        d.rec.boxes.clear();
        w.entry("NAZIV")->setFocus();
        QTRY_COMPARE(d.rec.boxes.size(), std::size_t(1));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.entry("JMBG")));
        w.entry("JMBG")->setText(QStringLiteral("12345678903"));
        w.entry("NAZIV")->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.entry("NAZIV")));
        QCOMPARE(w.entry("JMBG")->text(), QStringLiteral("  12345678903"));
        QCOMPARE(d.rec.boxes.size(), std::size_t(1));
        // "&Prekini" always leaves.
        w.entry("JMBG")->setText(QStringLiteral("x"));
        w.entry("JMBG")->setFocus();
        w.cancelButton()->setFocus();
        QCOMPARE(d.rec.boxes.size(), std::size_t(1));
    }

    void addsAMissingRecordOnSave() {
        Data d;
        {
            Tables tables(d.dir.str(), d.errors);
            TableAccess& apl = tables.access("APL");
            QCOMPARE(apl.open(), 0);
            QCOMPARE(apl.removeAll(), 0);
            apl.close();
        }
        QPointer<ApplicationParametersWindow> w = openWindow(d);
        w->show();
        QCOMPARE(d.rec.texts(), QStringList{"Greska kod citanja APLPARAm rb=35"});
        w->entry("JMBG")->setText(QStringLiteral("1111111111111"));
        w->entry("NAZIV")->setText(QStringLiteral("Novi"));
        QVERIFY(w->save());
        QTRY_VERIFY(w.isNull());
        QCOMPARE(d.stored("COUNT"), QStringLiteral("1"));
        QCOMPARE(d.stored("RB"), QStringLiteral("1"));
        QCOMPARE(d.stored("NAZIV"), QStringLiteral("Novi"));
    }

    void aSecondProgramSeesThemReadOnly() {
        Data d;
        std::unique_ptr<ApplicationParametersWindow> firstOwner(openWindow(d));
        ApplicationParametersWindow& first = *firstOwner;
        QVERIFY(d.rec.boxes.empty());
        BoxRecorder other;
        ErrorReporter otherErrors(other);
        otherErrors.addMessages(standardMessages());
        std::unique_ptr<ApplicationParametersWindow> secondOwner(openWindow(d, &otherErrors));
        ApplicationParametersWindow& second = *secondOwner;
        QCOMPARE(other.boxes.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(other.boxes[0].title), QStringLiteral("Access Denied"));
        QVERIFY(second.entry("NAZIV")->isReadOnly());
        QVERIFY(!second.saveButton()->isEnabled());
        QVERIFY(!first.entry("NAZIV")->isReadOnly());
    }

    void prekiniLeavesWithoutAskingOrSaving() {
        Data d;
        const QString before = d.stored("NAZIV");
        QPointer<ApplicationParametersWindow> w = openWindow(d);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->entry("NAZIV")->setText(QStringLiteral("Promijenjeno"));
        w->cancelButton()->click();
        QTRY_VERIFY(w.isNull());
        QVERIFY(d.rec.boxes.empty());
        QCOMPARE(d.stored("NAZIV"), before);
    }

    void dittoRecallsWhatWasSavedLastTime() {
        Data d;
        QPointer<ApplicationParametersWindow> w = openWindow(d);
        w->show();
        w->entry("NAZIV")->setText(QStringLiteral("Prvi servis"));
        w->entry("SIFSJED")->setText(QStringLiteral("0043"));
        QVERIFY(w->save());
        QTRY_VERIFY(w.isNull());

        // Opened again, the fields are typed over; the ditto key brings back
        // the saved value of the focused field only.
        w = openWindow(d);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QLineEdit* name = w->entry("NAZIV");
        name->setText(QStringLiteral("Nešto drugo"));
        w->entry("SIFSJED")->setText(QStringLiteral("9999"));
        name->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(name));
        QTest::keyClick(name, Qt::Key_Apostrophe, Qt::ControlModifier);
        QCOMPARE(name->text(), QStringLiteral("Prvi servis"));
        QCOMPARE(w->entry("SIFSJED")->text(), QStringLiteral("9999"));
        // The frame's ditto button does the same for the focused field.
        w->entry("SIFSJED")->setFocus();
        QTRY_VERIFY(w->toolbarEnabled(toolbar::Ditto));
        w->toolbarAccepted(toolbar::Ditto);
        QCOMPARE(w->entry("SIFSJED")->text(), QStringLiteral("0043"));
        // The MZ0 folder is not a field of the record: nothing to recall.
        w->entry("MZ0")->setText(QStringLiteral("/x/"));
        w->entry("MZ0")->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->entry("MZ0")));
        QTest::keyClick(w->entry("MZ0"), Qt::Key_Apostrophe, Qt::ControlModifier);
        QCOMPARE(w->entry("MZ0")->text(), QStringLiteral("/x/"));
        delete w;
    }
};

QTEST_MAIN(ApplicationParametersWindowTest)
#include "application_parameters_window_test.moc"
