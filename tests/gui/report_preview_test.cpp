#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include "base/reporter.h"
#include "codes/municipality_list_report.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "print/zoom_table.h"
#include "setup/initialize.h"
#include "support/temp_dir.h"
#include "ui/page_canvas.h"
#include "ui/preview_dialogs.h"
#include "ui/report_preview.h"
#include "ui/report_runner.h"

using namespace mvz;

namespace {

// Records the message boxes and answers them with their default button.
struct BoxRecorder : Reporter {
    std::vector<MessageBox> boxes;
    Button show(const MessageBox& box) override {
        boxes.push_back(box);
        return box.defaultButton;
    }
};

// A report of `pages` pages, each with its number as text.
PageModel numberedPages(int pages) {
    PageModel m;
    m.title = "PROBA";
    for (int i = 1; i <= pages; ++i) {
        Page& p = m.pages.emplace_back();
        p.text(150, 150, "Stranica " + std::to_string(i), {"Arial", 12, true});
        p.line(150, 250, 1950, 250);
        p.box(150, 300, 600, 200);
    }
    return m;
}

// Page objects of a PDF file ("/Type /Page", not the page tree "/Type /Pages").
int pdfPageCount(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray bytes = f.readAll();
    const QByteArray tag("/Type /Page");
    int count = 0;
    for (qsizetype at = bytes.indexOf(tag); at >= 0; at = bytes.indexOf(tag, at + 1))
        if (at + tag.size() >= bytes.size() || bytes[at + tag.size()] != 's') ++count;
    return count;
}

QStringList menuTexts(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) out << a->text();
    return out;
}

QMenu* menuNamed(QMainWindow& w, const QString& title) {
    for (QAction* a : w.menuBar()->actions())
        if (a->text() == title) return a->menu();
    return nullptr;
}

// Runs `act` on the modal dialog that the next exec() opens.
template <typename Dialog, typename F> void onNextDialog(F act) {
    QTimer::singleShot(0, [act] {
        auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(d);
        act(d);
    });
}

} // namespace

class ReportPreviewTest : public QObject {
    Q_OBJECT
  private slots:
    void menusAndZoomTable() {
        BoxRecorder rec;
        ReportPreview w(numberedPages(3), rec);
        QCOMPARE(w.windowTitle(), QStringLiteral("Report Preview"));
        QMenu* file = menuNamed(w, QStringLiteral("&File"));
        QVERIFY(file);
        QCOMPARE(menuTexts(file),
                 (QStringList{"Pa&ges to Print...", "&Print", "Spremi kao PD&F...", "E&xit"}));
        QCOMPARE(w.action("pagesToPrint")->statusTip(),
                 QStringLiteral("Select which pages to print"));
        QCOMPARE(w.action("print")->statusTip(), QStringLiteral("Print the report"));
        QCOMPARE(w.action("exit")->statusTip(), QStringLiteral("Exit without printing the report"));
        QMenu* view = menuNamed(w, QStringLiteral("&View"));
        QVERIFY(view);
        QCOMPARE(menuTexts(view), (QStringList{"&Next Page(s)", "&Previous Page(s)",
                                               "&Jump to a page", "&Change Display", "&Zoom"}));
        QCOMPARE(w.action("previous")->statusTip(),
                 QStringLiteral("View the next page or pages of the report"));
        QMenu* zoom = view->actions().last()->menu();
        QVERIFY(zoom);
        QStringList expected;
        for (const ZoomEntry& e : zoomTable())
            expected << QString::fromStdString(e.menuText);
        QCOMPARE(menuTexts(zoom), expected);
        QCOMPARE(expected.size(), 7);
        QCOMPARE(w.zoomBox()->count(), 7);
        QCOMPARE(w.zoomBox()->itemText(1), QStringLiteral("Page Width"));
        QCOMPARE(w.zoomBox()->toolTip(),
                 QStringLiteral("Set zoom to standard or user defined value"));
        QCOMPARE(w.acrossSpin()->toolTip(),
                 QStringLiteral("Select the number of thumbnails in a row"));
        QCOMPARE(w.downSpin()->toolTip(),
                 QStringLiteral("Select the number of thumbnails in a column"));
        QCOMPARE(w.action("zoomIn")->toolTip(), QStringLiteral("Zoom in on a page of the report"));
        QCOMPARE(w.findChild<QAction*>("printButton")->toolTip(),
                 QStringLiteral("Print this report"));

        // Starts at the page's width; each entry shows its status text.
        QCOMPARE(w.zoom(), kZoomPageWidth);
        QCOMPARE(w.zoomStatusText(), QStringLiteral("Zoom: Page Width"));
        zoom->actions()[4]->trigger();
        QCOMPARE(w.zoom(), 100);
        QCOMPARE(w.zoomStatusText(), QStringLiteral("Zoom: 100%"));
        QCOMPARE(w.zoomBox()->currentText(), QStringLiteral("100% Zoom"));
        w.zoomBox()->activated(1);
        QCOMPARE(w.zoom(), kZoomPageWidth);
        QCOMPARE(w.zoomStatusText(), QStringLiteral("Zoom: Page Width"));
        QVERIFY(zoom->actions()[1]->isChecked());
    }

    void typedZoomShowsAsPercentZoom() {
        BoxRecorder rec;
        ReportPreview w(numberedPages(2), rec);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.zoomBox()->lineEdit()->selectAll();
        QTest::keyClicks(w.zoomBox()->lineEdit(), QStringLiteral("150"));
        QTest::keyClick(w.zoomBox()->lineEdit(), Qt::Key_Return);
        QCOMPARE(w.zoom(), 150);
        QCOMPARE(w.zoomBox()->currentText(), QStringLiteral("150% Zoom"));
        QCOMPARE(w.zoomStatusText(), QStringLiteral("150% Zoom"));
        for (QAction* a : menuNamed(w, "&View")->actions().last()->menu()->actions())
            QVERIFY(!a->isChecked());
        // 150 % of the real size: a page of 210 mm at the screen's resolution.
        QVERIFY(qAbs(w.canvas()->scale() - w.logicalDpiX() / 254.0 * 1.5) < 1e-6);

        QVERIFY(!w.setTypedZoom(QStringLiteral("abc")));
        QCOMPARE(w.zoom(), 150);
        QCOMPARE(w.zoomBox()->currentText(), QStringLiteral("150% Zoom"));
        QVERIFY(w.setTypedZoom(QStringLiteral("75% Zoom")));
        QCOMPARE(w.zoomStatusText(), QStringLiteral("Zoom: 75%"));
        w.toggleZoomIn();
        QCOMPARE(w.zoom(), kZoomTilePages);
        w.toggleZoomIn();
        QCOMPARE(w.zoom(), 75);
    }

    void pageControlsAndNavigation() {
        BoxRecorder rec;
        {
            ReportPreview one(numberedPages(1), rec);
            QVERIFY(!one.pageSpin()->isEnabled());
            QCOMPARE(one.pagesToPrint(), QStringLiteral("1-1"));
        }
        ReportPreview w(numberedPages(10), rec);
        QVERIFY(w.pageSpin()->isEnabled());
        QCOMPARE(w.pageSpin()->maximum(), 10);
        QCOMPARE(w.pageSpin()->toolTip(), QStringLiteral("Enter a page number from 1 to 10"));
        w.setDisplay(2, 2);
        QCOMPARE(w.pagesDisplayed(), 4);
        w.nextPages();
        QCOMPARE(w.currentPage(), 5);
        w.nextPages();
        QCOMPARE(w.currentPage(), 9);
        QVERIFY(!w.action("next")->isEnabled());
        w.nextPages();
        QCOMPARE(w.currentPage(), 9);
        w.previousPages();
        QCOMPARE(w.currentPage(), 5);
        w.pageSpin()->setValue(7);
        QCOMPARE(w.currentPage(), 7);
        w.acrossSpin()->setValue(3);
        QCOMPARE(w.pagesDisplayed(), 6);

        onNextDialog<JumpToPageDialog>([](JumpToPageDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Jump to a Report Page"));
            QCOMPARE(d->pageSpin()->toolTip(), QStringLiteral("Enter a page number from 1 to 10"));
            d->pageSpin()->setValue(3);
            d->findChild<QPushButton*>("jumpButton")->click();
        });
        w.jumpToPage();
        QCOMPARE(w.currentPage(), 3);

        onNextDialog<ChangeDisplayDialog>([](ChangeDisplayDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Change the Report Display"));
            for (QSpinBox* s : d->findChildren<QSpinBox*>())
                s->setValue(1);
            d->accept();
        });
        w.changeDisplay();
        QCOMPARE(w.pagesDisplayed(), 1);
    }

    void pagesToPrintDialogAndSelection() {
        BoxRecorder rec;
        ReportPreview w(numberedPages(6), rec);
        QCOMPARE(w.pagesToPrint(), QStringLiteral("1-6"));
        onNextDialog<PagesToPrintDialog>([](PagesToPrintDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Pages to Print"));
            QCOMPARE(d->entry()->maxLength(), 255);
            d->entry()->setText(QStringLiteral("1-3,5"));
            for (QPushButton* b : d->findChildren<QPushButton*>())
                if (b->text() == QStringLiteral("&Ok")) b->click();
        });
        w.choosePagesToPrint();
        QCOMPARE(w.pagesToPrint(), QStringLiteral("1-3,5"));
        QCOMPARE(w.selectedPages(), (std::vector<int>{1, 2, 3, 5}));

        onNextDialog<PagesToPrintDialog>([](PagesToPrintDialog* d) {
            d->resetButton()->click();
            QCOMPARE(d->text(), QStringLiteral("1-6"));
            d->entry()->setText(QStringLiteral("3-1"));
            d->reject(); // "&Cancel" keeps the selection
        });
        w.choosePagesToPrint();
        QCOMPARE(w.pagesToPrint(), QStringLiteral("1-3,5"));

        for (const char* none : {"3-1", "2-", "0-2", ""}) {
            w.setPagesToPrint(QString::fromLatin1(none));
            QVERIFY2(w.selectedPages().empty(), none);
        }
    }

    void pdfHoldsTheSelectedPages() {
        test::TempDir dir;
        BoxRecorder rec;
        ReportPreview w(numberedPages(6), rec);
        const QString all = QString::fromStdString(dir.file("all.pdf"));
        QVERIFY(w.saveAsPdf(all));
        QCOMPARE(pdfPageCount(all), 6);
        w.setPagesToPrint(QStringLiteral("1-3,5"));
        const QString some = QString::fromStdString(dir.file("some.pdf"));
        QVERIFY(w.saveAsPdf(some));
        QCOMPARE(pdfPageCount(some), 4);
        QVERIFY(rec.boxes.empty());

        // The printer gets the same pages (here a printer writing a PDF file).
        const QString printed = QString::fromStdString(dir.file("printed.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        w.setPagesToPrint(QStringLiteral("2,4"));
        QVERIFY(w.printTo(printer));
        QCOMPARE(pdfPageCount(printed), 2);

        // Nothing selected, or a file that cannot be written: said, not written.
        w.setPagesToPrint(QStringLiteral("0-2"));
        const QString none = QString::fromStdString(dir.file("none.pdf"));
        QVERIFY(!w.saveAsPdf(none));
        QVERIFY(!QFile::exists(none));
        QCOMPARE(rec.boxes.size(), std::size_t(1));
        w.setPagesToPrint(QStringLiteral("1"));
        QVERIFY(!w.saveAsPdf(QString::fromStdString(dir.file("no/such/folder/x.pdf"))));
        QCOMPARE(rec.boxes.size(), std::size_t(2));
    }

    void runnerShowsProgressAndNoRecords() {
        BoxRecorder rec;
        ErrorReporter errors(rec);
        errors.addMessages(standardMessages());
        ReportResult r = runReport(nullptr, errors, [](Reporter&) {
            return ReportResult{ReportStatus::NoRecords, {}, 0};
        });
        QCOMPARE(r.status, ReportStatus::NoRecords);
        QCOMPARE(rec.boxes.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(rec.boxes[0].title), QStringLiteral("No Records"));
        QCOMPARE(QString::fromStdString(rec.boxes[0].text),
                 QStringLiteral("There are no records available to process."));

        // Cancel stops the run; its pages are dropped and nothing is said.
        rec.boxes.clear();
        QTimer::singleShot(100, [] {
            auto* w = qobject_cast<ReportProgressWindow*>(QApplication::activeModalWidget());
            QVERIFY(w);
            QCOMPARE(w->windowTitle(), QStringLiteral("Progress..."));
            QCOMPARE(w->cancelButton()->text(), QStringLiteral("Cancel"));
            QVERIFY(w->percentText().endsWith(QStringLiteral("% Complete")));
            w->cancelButton()->click();
        });
        r = runReport(nullptr, errors, [](Reporter& rep) {
            std::uint64_t n = 0;
            while (!rep.cancelRequested()) {
                rep.progress(++n % 100, 100);
                QThread::msleep(5);
            }
            return ReportResult{ReportStatus::Done, numberedPages(2), 2};
        });
        QCOMPARE(r.status, ReportStatus::Cancelled);
        QVERIFY(r.pages.pages.empty());
        QVERIFY(rec.boxes.empty());

        ReportProgressWindow w;
        w.showProgress(37, 100);
        QCOMPARE(w.percentText(), QStringLiteral("37% Complete"));
    }

    void municipalityListEndToEnd() {
        test::TempDir dir;
        BoxRecorder rec;
        ErrorReporter errors(rec);
        errors.addMessages(standardMessages());
        QVERIFY(initializeDataDirectory(dir.str(), errors).ok);
        QWidget* shown = nullptr;
        ReportPreview* preview =
            printMunicipalityList(nullptr, dir.str(), errors, MunicipalityListOrder::ByName,
                                  [&](QWidget* w) { shown = w; });
        QVERIFY(preview);
        QCOMPARE(shown, static_cast<QWidget*>(preview));
        QVERIFY(rec.boxes.empty());
        QCOMPARE(preview->model().title, std::string("ŠIFARNIK - OPĆINE I GRADOVI"));
        QVERIFY(preview->pageCount() >= 1);
        const QString pdf = QString::fromStdString(dir.file("opcine.pdf"));
        QVERIFY(preview->saveAsPdf(pdf));
        QCOMPARE(pdfPageCount(pdf), preview->pageCount());
        delete preview;
    }
};

QTEST_MAIN(ReportPreviewTest)
#include "report_preview_test.moc"
