// The desktop Reporter: message boxes with their title, text, icon and
// buttons (the pressed one returned, Escape as Cancel), also from a worker
// thread; status texts, progress and the end of the program.
#include <QAbstractButton>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include <thread>

#include "ui/qt_reporter.h"

using namespace mvz;

namespace {

// Acts on the message box once it is shown.
void whenBoxShows(std::function<void(QMessageBox&)> act) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, poll] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            act(*box);
        else
            QTimer::singleShot(5, *poll);
    };
    QTimer::singleShot(0, *poll);
}

MessageBox saveQuestion() {
    MessageBox box;
    box.title = "Save Record";
    box.text = "Do you want to save the changes to this record?";
    box.icon = MessageIcon::Question;
    box.buttons = ButtonYes | ButtonNo | ButtonCancel;
    box.defaultButton = ButtonCancel;
    return box;
}

} // namespace

class QtReporterTest : public QObject {
    Q_OBJECT
  private slots:
    void showsTheBoxAndReturnsThePressedButton() {
        QtReporter reporter;
        QString title, text;
        QMessageBox::Icon icon{};
        QMessageBox::StandardButtons buttons{};
        QAbstractButton* byDefault = nullptr;
        whenBoxShows([&](QMessageBox& box) {
            title = box.windowTitle();
            text = box.text();
            icon = box.icon();
            buttons = box.standardButtons();
            byDefault = box.defaultButton();
            box.button(QMessageBox::No)->click();
        });
        QCOMPARE(reporter.show(saveQuestion()), ButtonNo);
        QCOMPARE(title, QStringLiteral("Save Record"));
        QCOMPARE(text, QStringLiteral("Do you want to save the changes to this record?"));
        QCOMPARE(icon, QMessageBox::Question);
        QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QVERIFY(byDefault && byDefault->text().contains(QStringLiteral("Cancel")));
    }

    void escapeAnswersCancelOrNo() {
        QtReporter reporter;
        whenBoxShows([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
        QCOMPARE(reporter.show(saveQuestion()), ButtonCancel);
        MessageBox yesNo = saveQuestion();
        yesNo.buttons = ButtonYes | ButtonNo;
        yesNo.defaultButton = ButtonYes;
        whenBoxShows([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
        QCOMPARE(reporter.show(yesNo), ButtonNo);
    }

    void aBoxWithoutTitleCarriesItsWindowsTitleAndStaysOverIt() {
        // The frame, and over it a window of its own (a row window).
        QMainWindow frame;
        frame.setWindowTitle(QStringLiteral("Program"));
        frame.show();
        QWidget window(&frame, Qt::Dialog);
        window.setWindowTitle(QStringLiteral("Općine/gradovi - Promjena podataka"));
        auto* field = new QLineEdit(&window);
        window.show();
        QApplication::setActiveWindow(&window);
        field->setFocus();
        QtReporter reporter(&frame);
        QString title;
        QWidget* parent = nullptr;
        whenBoxShows([&](QMessageBox& box) {
            title = box.windowTitle();
            parent = box.parentWidget();
            box.button(QMessageBox::Ok)->click();
        });
        MessageBox untitled;
        untitled.text = "Šifra općine/grada mora biti broj";
        reporter.show(untitled);
        QCOMPARE(title, QStringLiteral("Općine/gradovi - Promjena podataka"));
        QCOMPARE(parent, &window);
    }

    void aWorkerThreadWaitsForTheAnswer() {
        QtReporter reporter;
        whenBoxShows([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
        Button answer = ButtonNone;
        std::thread worker([&] { answer = reporter.show(saveQuestion()); });
        QTRY_COMPARE(answer, ButtonYes);
        worker.join();
    }

    void statusProgressAndEndOfProgram() {
        QtReporter reporter;
        QMainWindow window;
        reporter.setStatusBar(window.statusBar());
        QString seen;
        reporter.setStatusCallback([&](const QString& t) { seen = t; });
        std::uint64_t done = 0, total = 0;
        reporter.setProgressCallback(
            [&](std::uint64_t d, std::uint64_t t) { done = d, total = t; });
        int ended = 0;
        reporter.setEndProgramCallback([&] { ++ended; });

        reporter.status("Obrada u tijeku");
        QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("Obrada u tijeku"));
        QCOMPARE(seen, QStringLiteral("Obrada u tijeku"));
        std::thread([&] { reporter.status("Gotovo"); }).join();
        QTRY_COMPARE(seen, QStringLiteral("Gotovo"));
        reporter.progress(3, 10);
        QCOMPARE(done, std::uint64_t(3));
        QCOMPARE(total, std::uint64_t(10));
        QVERIFY(!reporter.cancelRequested());
        reporter.requestCancel();
        QVERIFY(reporter.cancelRequested());
        // The end comes once the current handler is left.
        reporter.endProgram();
        QCOMPARE(ended, 0);
        QTRY_COMPARE(ended, 1);
    }
};

QTEST_MAIN(QtReporterTest)
#include "qt_reporter_test.moc"
