#pragma once
// The report preview "Report Preview": the pages of a report run, shown as
// thumbnails (across x down pages) or one page at a zoom, with the page
// selection ("Pages to Print", e.g. "1-3,5"), printing through the system's
// print dialog and saving the selected pages as a PDF file.
//
// Zoom: the entries of the zoom table (tile pages, page width, 50-300 %) from
// the "&Zoom" menu or the "Z&oom:" drop list, which also takes a typed
// percentage (shown as "150% Zoom"). "&Next Page(s)" and "&Previous Page(s)"
// move by the pages displayed. "&Print" prints the selected pages and closes
// the preview; "E&xit" closes it without printing.
//
//   auto* preview = new ReportPreview(std::move(result.pages), errors.reporter());
//   frame.openChild(preview);   // or preview->show()
//
// The preview deletes itself when closed (inside an MDI child window it
// closes that window).

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <vector>

#include "print/page_model.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;
class QSpinBox;

namespace mvz {

class PageCanvas;
class Reporter;

class ReportPreview : public QMainWindow {
    Q_OBJECT
  public:
    ReportPreview(PageModel model, Reporter& reporter, QWidget* parent = nullptr);
    ~ReportPreview() override;

    const PageModel& model() const { return model_; }
    int pageCount() const { return static_cast<int>(model_.pages.size()); }
    int currentPage() const { return current_; }
    int pagesAcross() const { return across_; }
    int pagesDown() const { return down_; }
    // Pages on the screen at once: across x down for thumbnails, else 1.
    int pagesDisplayed() const;
    // A percentile of the zoom table or a typed percentage.
    int zoom() const { return zoom_; }
    QString zoomStatusText() const;

    QString pagesToPrint() const { return pagesToPrint_; }
    void setPagesToPrint(const QString& text) { pagesToPrint_ = text; }
    std::vector<int> selectedPages() const;

    // Print to this printer (the one of the frame's printer set-up) instead
    // of the preview's own.
    void setPrinter(QPrinter* printer);

    QSpinBox* pageSpin() const { return pageSpin_; }
    QSpinBox* acrossSpin() const { return acrossSpin_; }
    QSpinBox* downSpin() const { return downSpin_; }
    QComboBox* zoomBox() const { return zoomBox_; }
    PageCanvas* canvas() const { return canvas_; }
    // Actions by object name: pagesToPrint, print, saveAsPdf, exit, next,
    // previous, jump, changeDisplay, zoomIn.
    QAction* action(const char* name) const;

  public slots:
    void showPage(int page);
    void nextPages();
    void previousPages();
    // An entry of the zoom table by its index.
    void setZoomIndex(int index);
    // What the user typed into the zoom drop list: an entry's text or a
    // percentage. False (and the shown zoom restored) when it is neither.
    bool setTypedZoom(const QString& typed);
    void setDisplay(int across, int down);
    void toggleZoomIn();

    void choosePagesToPrint();
    void jumpToPage();
    void changeDisplay();
    // The system's print dialog, then the selected pages; closes when printed.
    void printReport();
    bool printTo(QPrinter& printer);
    // "Spremi kao PDF": asks for a file name and writes the selected pages.
    void chooseAndSaveAsPdf();
    // The folder and file name "Spremi kao PDF" proposes.
    QString proposedPdfPath() const;
    bool saveAsPdf(const QString& path);
    void closeWindow();

  signals:
    void finished(bool printed);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildActions();
    void buildMenus();
    void buildToolbar();
    void setZoom(int zoom);
    void refresh();
    bool refuseEmptySelection(const std::vector<int>& pages);
    void message(const QString& text);

    PageModel model_;
    Reporter& reporter_;
    int current_ = 1;
    int across_ = 1;
    int down_ = 1;
    int zoom_;
    int lastZoom_ = 100;
    QString pagesToPrint_;
    bool printed_ = false;
    bool finished_ = false;

    std::unique_ptr<QPrinter> ownPrinter_;
    QPrinter* printer_ = nullptr;

    QScrollArea* scroll_ = nullptr;
    PageCanvas* canvas_ = nullptr;
    QSpinBox* pageSpin_ = nullptr;
    QSpinBox* acrossSpin_ = nullptr;
    QSpinBox* downSpin_ = nullptr;
    QComboBox* zoomBox_ = nullptr;
    QLabel* zoomStatus_ = nullptr;
    QActionGroup* zoomGroup_ = nullptr;
    std::vector<QAction*> zoomActions_;
};

} // namespace mvz
