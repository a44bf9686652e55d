// The windows that move data, hosted without the main frame: export, import
// with its confirmation, and the takeover, over demo installations.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

#include "codes/municipality_list.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "exchange/exchange_windows.h"
#include "gui/support/test_host.h"
#include "setup/initialize.h"
#include "support/recording_reporter.h"
#include "support/temp_dir.h"
#include "ui/list_window.h"

using namespace mvz;

namespace {

// Answers the confirmation "Upozorenje" with the button of that name once it
// shows; counts the times it was asked.
void answerConfirmation(const char* button, int* asked) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [poll, button, asked] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != QStringLiteral("replaceConfirmation"))
            return QTimer::singleShot(5, *poll);
        ++*asked;
        dialog->findChild<QPushButton*>(QString::fromLatin1(button))->click();
    };
    QTimer::singleShot(0, *poll);
}

} // namespace

class ExchangeWindowsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<RecordingReporter> reporter_;
    std::unique_ptr<ErrorReporter> errors_;
    std::unique_ptr<TestHost> host_;

    std::string data() const { return dir_->str(); }
    FolderRunWindow* open(FolderRunSpec decl) {
        PendingRequest = request::View;
        auto* w = new FolderRunWindow(std::make_unique<Tables>(data(), *errors_), std::move(decl));
        if (!w->start()) return nullptr;
        host_->openChild(w);
        QApplication::setActiveWindow(w);
        return w;
    }
    // The employer's name in the installation at `dir`.
    std::string employerName(const std::string& dir) {
        Tables tables(dir, *errors_);
        TableAccess& pos = tables.access("POS");
        if (pos.open() != 0) return "?";
        pos.setStart();
        std::string name =
            pos.next() == 0 ? pos.record().display(pos.def().fieldIndex("NAZIV")) : "";
        pos.close();
        return name;
    }
    void renameEmployer(const std::string& name) {
        Tables tables(data(), *errors_);
        TableAccess& pos = tables.access("POS");
        QCOMPARE(pos.open(), 0);
        pos.setStart();
        QCOMPARE(pos.next(), 0);
        pos.record().setFromDisplay(pos.def().fieldIndex("NAZIV"), name);
        QCOMPARE(pos.change(), 0);
        pos.close();
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
        InitOptions demo;
        demo.demo = true;
        QVERIFY(initializeDataDirectory(data(), *errors_, demo).ok);
        host_ = std::make_unique<TestHost>();
        host_->show();
    }
    void cleanup() {
        host_.reset();
        errors_.reset();
        reporter_.reset();
        dir_.reset();
    }

    void exportThenImportBringsTheOldDataBack() {
        const std::string before = employerName(data());
        FolderRunWindow* out = open(exportSpec(data()));
        QVERIFY(out);
        QCOMPARE(out->windowTitle(), QStringLiteral("Export datoteka"));
        QCOMPARE(out->folderEntry()->text(),
                 QDir::toNativeSeparators(QString::fromStdString(data() + "/export")));
        QCOMPARE(out->folderEntry()->maxLength(), 128);
        // Enter in the entry runs the export.
        out->folderEntry()->setFocus();
        QTest::keyClick(out->folderEntry(), Qt::Key_Return);
        QTRY_COMPARE(reporter_->boxes.size(), std::size_t(1));
        QVERIFY2(out->lastResult().ok, out->lastResult().detail.c_str());
        QCOMPARE(reporter_->boxes[0].text, std::string("Export je završen. Provjerite"));
        QCOMPARE(reporter_->boxes[0].title, std::string("Export datoteka"));
        QVERIFY(QFile::exists(QString::fromStdString(data() + "/export/TBPOSLOD.DAT")));
        out->endWindow();

        renameEmployer("Promijenjeni obveznik");
        // Another window on the data is closed before the import.
        PendingRequest = request::View;
        auto* list =
            new ListWindow(std::make_unique<Tables>(data(), *errors_), municipalityListSpec());
        QVERIFY(list->start());
        host_->openChild(list);
        QPointer<ListWindow> other(list);

        FolderRunWindow* in = open(importSpec(data()));
        QVERIFY(in);
        QCOMPARE(in->folderEntry()->maxLength(), 255);
        int asked = 0;
        // "Odustani" in the confirmation leaves the data as they are.
        answerConfirmation("cancel", &asked);
        QVERIFY(!in->runNow());
        QCOMPARE(asked, 1);
        QCOMPARE(employerName(data()), std::string("Promijenjeni obveznik"));
        QVERIFY(other);

        reporter_->clear();
        answerConfirmation("yes", &asked);
        QVERIFY2(in->runNow(), in->lastResult().detail.c_str());
        QCOMPARE(asked, 2);
        QVERIFY(!other);
        QCOMPARE(texts(), std::vector<std::string>{"Podaci su importirani !"});
        QCOMPARE(employerName(data()), before);
        in->endWindow();
    }

    void importFromAFolderWithoutEmployersAsksNothing() {
        test::TempDir empty;
        FolderRunWindow* in = open(importSpec(data()));
        in->folderEntry()->setText(QString::fromStdString(empty.str()));
        int asked = 0;
        answerConfirmation("yes", &asked);
        QVERIFY(!in->runNow());
        QCOMPARE(asked, 0);
        QCOMPARE(texts(), std::vector<std::string>{"Greška. Pogrešan pretinac!"});
        in->endWindow();
        QTest::qWait(20); // the confirmation poll ends with the test's event loop
    }

    void takeoverShowsItsResultLine() {
        // Another installation's employers and employees.
        test::TempDir other;
        InitOptions demo;
        demo.demo = true;
        QVERIFY(initializeDataDirectory(other.str(), *errors_, demo).ok);
        renameEmployer("Ovdašnji obveznik");
        const std::string theirs = employerName(other.str());

        FolderRunWindow* w = open(takeoverSpec(data()));
        QVERIFY(w);
        QCOMPARE(w->folderEntry()->maxLength(), 120);
        w->folderEntry()->setText(QString::fromStdString(other.str()));
        int asked = 0;
        answerConfirmation("yes", &asked);
        QVERIFY2(w->runNow(), w->lastResult().detail.c_str());
        QCOMPARE(w->resultLine()->text(), QStringLiteral("PODACI PREUZETI ..."));
        QCOMPARE(employerName(data()), theirs);

        // Only the employer table there: neither is taken, the line says so.
        renameEmployer("Ovdašnji obveznik");
        test::TempDir half;
        QVERIFY(QFile::copy(QString::fromStdString(other.file("TBPOSLOD.DAT")),
                            QString::fromStdString(half.file("TBPOSLOD.DAT"))));
        w->folderEntry()->setText(QString::fromStdString(half.str()));
        answerConfirmation("yes", &asked);
        QVERIFY(!w->runNow());
        QCOMPARE(w->resultLine()->text(), QStringLiteral("GREŠKA KOD PREUZIMANJA ..."));
        QCOMPARE(employerName(data()), std::string("Ovdašnji obveznik"));
        w->endWindow();
    }
};

QTEST_MAIN(ExchangeWindowsTest)
#include "exchange_windows_test.moc"
