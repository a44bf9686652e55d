// The windows of the four small code tables, hosted without the main frame:
// each list opens over its table, the calculation-type row window refuses a
// short code on leaving it and a duplicate code on saving, every row window
// refuses a blank code, and a list prints to a preview that saves a PDF.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

#include "codes/code_table_windows.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "gui/support/modal_steps.h"
#include "gui/support/test_host.h"
#include "setup/initialize.h"
#include "support/recording_reporter.h"
#include "support/temp_dir.h"
#include "ui/report_preview.h"

using namespace mvz;

namespace {

const CodeTableWindows& windowsOf(const std::vector<CodeTableWindows>& all, const char* item) {
    for (const CodeTableWindows& w : all)
        if (w.menuItem == item) return w;
    qFatal("no code table %s", item);
}

void type(QWidget* editor, const QString& text) {
    editor->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->selectAll();
        QTest::keyClicks(line, text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(editor)) {
        plain->setPlainText(text);
    }
}

} // namespace

class CodeTableWindowsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<RecordingReporter> reporter_;
    std::unique_ptr<ErrorReporter> errors_;
    std::unique_ptr<Tables> tables_;
    std::unique_ptr<TestHost> host_;
    std::vector<CodeTableWindows> windows_ = codeTableWindows();

    long long rows(const char* table) {
        TableAccess& t = tables_->access(table);
        if (t.open() != 0) return -1;
        const long long n = t.count();
        t.close();
        return n;
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
    }
    void cleanup() {
        host_.reset();
        tables_.reset();
        errors_.reset();
        reporter_.reset();
        dir_.reset();
    }

    void everyListOpensOverItsTableInCodeOrder() {
        QCOMPARE(windows_.size(), std::size_t(4));
        for (const CodeTableWindows& w : windows_) {
            PendingRequest = request::View;
            auto* list = new ListWindow(*tables_, w.list);
            QVERIFY2(list->start(), w.menuItem.c_str());
            host_->openChild(list);
            QTRY_VERIFY(list->list()->rowCount() > 0);
            QCOMPARE(list->list()->rowCount(), int(rows(w.list.table.c_str())));
            QVERIFY(list->list()->cell(0, 0) < list->list()->cell(1, 0));
            QVERIFY(list->printButton()->isVisible());
            list->endWindow();
        }
    }

    void calculationTypeCodesAreCheckedOnLeavingAndOnSaving() {
        const CodeTableWindows& voi = windowsOf(windows_, "calculationTypes");
        TableAccess& t = tables_->access("VUP");
        QCOMPARE(t.open(), 0);
        const long long before = rows("VUP");

        PendingRequest = request::Insert;
        t.record().clear();
        RecordWindow form(*tables_, voi.row);
        QWidget *codeFocus = nullptr, *afterDuplicate = nullptr;
        runWith(form, [&] {
            QWidget* code = form.form()->editor("VUP:SIFRA");
            type(code, QStringLiteral("7"));
            type(form.form()->editor("VUP:SKROPIS"), QStringLiteral("Kratko")); // leaves the code
            codeFocus = QApplication::focusWidget();
            type(code, QStringLiteral("01")); // exists: refused only on saving
            type(form.form()->editor("VUP:SKROPIS"), QStringLiteral("Novi"));
            type(form.form()->editor("VUP:OPIS"), QStringLiteral("Novi opis"));
            form.okButton()->click();
            afterDuplicate = QApplication::focusWidget();
        });
        std::vector<std::string> texts;
        for (const ShownBox& b : reporter_->boxes)
            texts.push_back(b.text);
        QCOMPARE(texts, (std::vector<std::string>{"Greška. Šifra mora sadržavati 2 (dva) znaka",
                                                  "Greška. Dupla šifra"}));
        QCOMPARE(codeFocus, form.form()->editor("VUP:SIFRA"));
        QCOMPARE(afterDuplicate, form.form()->editor("VUP:SIFRA"));
        QCOMPARE(rows("VUP"), before);
        t.close();
    }

    void aNewCodeIsSavedAndABlankOneRefused() {
        const CodeTableWindows& sta = windowsOf(windows_, "extendedService");
        TableAccess& t = tables_->access("STA");
        QCOMPARE(t.open(), 0);
        const long long before = rows("STA");

        PendingRequest = request::Insert;
        t.record().clear();
        RecordWindow blank(*tables_, sta.row);
        runWith(blank, [&] {
            type(blank.form()->editor("STA:SKROPIS"), QStringLiteral("Bez sifre"));
            blank.okButton()->click();
        });
        QCOMPARE(reporter_->lastBox().text, std::string("Greška. Šifra mora biti upisana"));
        QCOMPARE(rows("STA"), before);

        PendingRequest = request::Insert;
        t.record().clear();
        RecordWindow fresh(*tables_, sta.row);
        const std::uint8_t r = runWith(fresh, [&] {
            type(fresh.form()->editor("STA:SIFRA"), QStringLiteral("9"));
            type(fresh.form()->editor("STA:SKROPIS"), QStringLiteral("Novi staz"));
            type(fresh.form()->editor("STA:OPIS"), QString(200, QLatin1Char('x')));
            fresh.okButton()->click();
        });
        QCOMPARE(int(r), int(response::Completed));
        QCOMPARE(rows("STA"), before + 1);
        // The description holds at most its 180 characters: the form took no more.
        t.setOrder(t.def().keyIndex("KEYSIFRA"));
        t.setStart();
        std::string stored;
        while (t.next() == 0)
            if (t.record().display(t.def().fieldIndex("SIFRA")) == "9")
                stored = t.record().display(t.def().fieldIndex("OPIS"));
        QCOMPARE(stored, std::string(180, 'x'));
        t.close();
    }

    void aListPrintsIntoAPreviewThatSavesAPdf() {
        const CodeTableWindows& oo = windowsOf(windows_, "insuranceBases");
        auto* list = new ListWindow(*tables_, oo.list);
        QVERIFY(list->start());
        host_->openChild(list);
        QTRY_VERIFY(list->list()->rowCount() > 0);
        list->printButton()->click();
        QTRY_VERIFY(host_->children.size() == 2);
        auto* preview = qobject_cast<ReportPreview*>(host_->children.back().first.data());
        QVERIFY(preview);
        QCOMPARE(host_->children.back().second, ChildPlacement::Fill);
        QCOMPARE(preview->model().title, std::string("ŠIFARNIK - OSNOV OSIGURANJA"));
        const QString pdf = QString::fromStdString(dir_->file("osnovi.pdf"));
        QVERIFY(preview->saveAsPdf(pdf));
        QVERIFY(QFileInfo(pdf).size() > 1000);
        preview->close();
        list->endWindow();
    }
};

QTEST_MAIN(CodeTableWindowsTest)
#include "code_table_windows_test.moc"
