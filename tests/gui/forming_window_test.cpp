// The forming window on the demo data, hosted without the main frame: a
// refused field keeps the focus, the demo payer's month is formed with the
// copy offered and taken, and page A of the form opens from "&Provjera
// obrade za obveznika" and prints to a PDF.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <filesystem>
#include <memory>

#include "base/day_number.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "gui/support/modal_steps.h"
#include "gui/support/test_host.h"
#include "setup/initialize.h"
#include "submission/copy_file_window.h"
#include "submission/forming_window.h"
#include "submission/page_a_window.h"
#include "support/recording_reporter.h"
#include "support/temp_dir.h"
#include "ui/lookup_drop_list.h"
#include "ui/report_preview.h"

using namespace mvz;

namespace {

void type(QLineEdit* editor, const QString& text) {
    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, text);
}

} // namespace

class FormingWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<RecordingReporter> reporter_;
    std::unique_ptr<ErrorReporter> errors_;
    std::unique_ptr<TestHost> host_;

    FormingWindow* open() {
        auto* window = new FormingWindow(std::make_unique<Tables>(dir_->str(), *errors_));
        if (!window->start()) return nullptr;
        host_->openChild(window);
        window->show();
        QApplication::setActiveWindow(window);
        return window;
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
        host_ = std::make_unique<TestHost>();
    }
    void cleanup() {
        host_.reset();
        errors_.reset();
        reporter_.reset();
        dir_.reset();
    }

    void aRefusedYearKeepsTheFocus() {
        FormingWindow* window = open();
        QVERIFY(window);
        QLineEdit* year = window->entry(FormingField::Year);
        type(year, QStringLiteral("2004"));
        window->entry(FormingField::Month)->setFocus(); // leaves the year
        QTRY_VERIFY(!reporter_->boxes.empty());
        QCOMPARE(reporter_->lastBox().text, std::string("Greška. Godina mora biti veća od 2004"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(year));
        window->endWindow();
    }

    void theDemoPayerIsFormedCopiedAndItsPageAPrinted() {
        FormingWindow* window = open();
        QVERIFY(window);
        window->payers()->setCurrentIndex(0);
        emit window->payers()->activated(0);
        QVERIFY(!window->entry(FormingField::Sequence)->text().isEmpty());
        // The demo pay rows are of this month, days 1 to the month's last.
        const CivilDate today = civilDate(todayDayNumber());
        type(window->entry(FormingField::Type), QStringLiteral("01"));
        type(window->entry(FormingField::FirstDay), QStringLiteral("01"));
        type(window->entry(FormingField::LastDay),
             QString::number(daysInMonth(today.year, today.month)));
        window->singleButton()->setChecked(true);

        const std::string copied = dir_->str() + "/disketa/ZOVAK.MZ0";
        std::filesystem::create_directories(dir_->str() + "/disketa");
        QString offeredTitle;
        whenModalShows<CopyFileWindow>([&](CopyFileWindow& copy) {
            offeredTitle = copy.windowTitle();
            copy.destination()->setText(QString::fromStdString(copied));
            copy.copyButton()->click();
        });
        window->processButton()->click();
        QVERIFY2(window->lastResult().done, window->statusLine()->text().toUtf8().constData());
        QCOMPARE(offeredTitle, QStringLiteral("Upozorenje 2"));
        QVERIFY(window->statusLine()->text().startsWith(
            QStringLiteral("OBVEZNIK JE USPJEŠNO OBRAĐEN-")));
        QVERIFY(std::filesystem::file_size(copied) > 0);
        QCOMPARE(std::filesystem::file_size(copied),
                 std::filesystem::file_size(window->lastResult().payerFile));

        const std::string pdf = dir_->str() + "/stranica-a.pdf";
        bool found = false;
        whenModalShows<PageAWindow>([&](PageAWindow& pageA) {
            found = pageA.formFound();
            pageA.pageAButton()->click();
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* preview = qobject_cast<ReportPreview*>(w))
                    QVERIFY(preview->saveAsPdf(QString::fromStdString(pdf)));
            pageA.endWindow();
        });
        window->checkButton()->click();
        QVERIFY(found);
        QVERIFY(std::filesystem::exists(pdf) && std::filesystem::file_size(pdf) > 1000);
        window->endWindow();
    }
};

QTEST_MAIN(FormingWindowTest)
#include "forming_window_test.moc"
