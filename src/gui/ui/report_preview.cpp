#include "ui/report_preview.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include <algorithm>

#include "base/plain_name.h"
#include "base/reporter.h"
#include "print/page_ranges.h"
#include "print/zoom_table.h"
#include "ui/page_canvas.h"
#include "ui/page_painter.h"
#include "ui/preview_dialogs.h"
#include "ui/window_host.h"

namespace mvz {

namespace {

QAction* makeAction(QObject* parent, const char* name, const QString& text, const QString& tip) {
    auto* a = new QAction(text, parent);
    a->setObjectName(QString::fromLatin1(name));
    a->setStatusTip(tip);
    a->setToolTip(tip);
    return a;
}

// The print button's picture: the desktop theme's, or a small printer drawn
// here.
QIcon printerIcon() {
    QIcon themed = QIcon::fromTheme(QStringLiteral("document-print"));
    if (!themed.isNull()) return themed;
    QPixmap pix(32, 32);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 3, 14, 10)); // paper going in
    p.setBrush(QColor(120, 130, 145));
    p.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2); // body
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 19, 14, 10)); // paper coming out
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.drawLine(QPointF(12, 23), QPointF(20, 23));
    p.drawLine(QPointF(12, 26), QPointF(20, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 200, 80));
    p.drawEllipse(QPointF(25, 16), 1.5, 1.5);
    return QIcon(pix);
}

QString zoomText(int zoom) {
    const int index = zoomIndexOf(zoom);
    if (index >= 0) return QString::fromStdString(zoomTable()[index].menuText);
    return QString::fromStdString(userZoomText(zoom));
}

} // namespace

ReportPreview::ReportPreview(PageModel model, Reporter& reporter, QWidget* parent)
    : QMainWindow(parent), model_(std::move(model)), reporter_(reporter), zoom_(kZoomTilePages) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Report Preview"));
    pagesToPrint_ = QString::fromStdString(allPagesText(pageCount()));
    ownPrinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_ = ownPrinter_.get();

    scroll_ = new QScrollArea(this);
    scroll_->setAlignment(Qt::AlignCenter);
    canvas_ = new PageCanvas(model_, scroll_);
    scroll_->setWidget(canvas_);
    scroll_->viewport()->installEventFilter(this);
    setCentralWidget(scroll_);
    connect(canvas_, &PageCanvas::pageClicked, this, [this](int page) {
        if (zoom_ == kZoomTilePages) showPage(page);
    });
    connect(canvas_, &PageCanvas::pageDoubleClicked, this, [this](int page) {
        showPage(page);
        toggleZoomIn();
    });

    buildActions();
    buildMenus();
    buildToolbar();
    zoomStatus_ = new QLabel(this);
    statusBar()->addPermanentWidget(zoomStatus_);
    resize(900, 700);
    // A page at the window's width: readable at once.
    setZoom(kZoomPageWidth);
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::buildActions() {
    QAction* a;
    a = makeAction(this, "pagesToPrint", QStringLiteral("Pa&ges to Print..."),
                   QStringLiteral("Select which pages to print"));
    connect(a, &QAction::triggered, this, &ReportPreview::choosePagesToPrint);
    a = makeAction(this, "print", QStringLiteral("&Print"), QStringLiteral("Print the report"));
    a->setIcon(printerIcon());
    connect(a, &QAction::triggered, this, &ReportPreview::printReport);
    a = makeAction(this, "saveAsPdf", QStringLiteral("Spremi kao PD&F..."),
                   QStringLiteral("Spremi odabrane stranice u PDF datoteku"));
    connect(a, &QAction::triggered, this, &ReportPreview::chooseAndSaveAsPdf);
    a = makeAction(this, "exit", QStringLiteral("E&xit"),
                   QStringLiteral("Exit without printing the report"));
    a->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    connect(a, &QAction::triggered, this, &ReportPreview::closeWindow);
    a = makeAction(this, "next", QStringLiteral("&Next Page(s)"),
                   QStringLiteral("View the next page or pages of the report"));
    connect(a, &QAction::triggered, this, &ReportPreview::nextPages);
    a = makeAction(this, "previous", QStringLiteral("&Previous Page(s)"),
                   QStringLiteral("View the next page or pages of the report"));
    connect(a, &QAction::triggered, this, &ReportPreview::previousPages);
    a = makeAction(this, "jump", QStringLiteral("&Jump to a page"),
                   QStringLiteral("Jump to a specific page of the report"));
    connect(a, &QAction::triggered, this, &ReportPreview::jumpToPage);
    a = makeAction(this, "changeDisplay", QStringLiteral("&Change Display"),
                   QStringLiteral("Change the number of pages displayed"));
    connect(a, &QAction::triggered, this, &ReportPreview::changeDisplay);
    a = makeAction(this, "zoomIn", QString(), QStringLiteral("Zoom in on a page of the report"));
    a->setText(QStringLiteral("Zoom"));
    a->setCheckable(true);
    a->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    connect(a, &QAction::triggered, this, &ReportPreview::toggleZoomIn);

    zoomGroup_ = new QActionGroup(this);
    zoomGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const auto& table = zoomTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        auto* z = new QAction(QString::fromStdString(table[i].menuText), zoomGroup_);
        z->setCheckable(true);
        z->setStatusTip(QString::fromStdString(table[i].statusText));
        connect(z, &QAction::triggered, this, [this, i] { setZoomIndex(static_cast<int>(i)); });
        zoomActions_.push_back(z);
    }
}

QAction* ReportPreview::action(const char* name) const {
    return findChild<QAction*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

void ReportPreview::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(action("pagesToPrint"));
    file->addAction(action("print"));
    file->addAction(action("saveAsPdf"));
    file->addSeparator();
    file->addAction(action("exit"));
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->addAction(action("next"));
    view->addAction(action("previous"));
    view->addAction(action("jump"));
    view->addAction(action("changeDisplay"));
    QMenu* zoom = view->addMenu(QStringLiteral("&Zoom"));
    for (QAction* z : zoomActions_)
        zoom->addAction(z);
}

void ReportPreview::buildToolbar() {
    QToolBar* bar = addToolBar(QStringLiteral("Report Preview"));
    bar->setMovable(false);
    // The toolbar's print button has its own tip.
    auto* print = new QAction(action("print")->icon(), QStringLiteral("Print"), bar);
    print->setObjectName(QStringLiteral("printButton"));
    print->setToolTip(QStringLiteral("Print this report"));
    print->setStatusTip(QStringLiteral("Print this report"));
    connect(print, &QAction::triggered, this, &ReportPreview::printReport);
    bar->addAction(print);
    bar->addAction(action("exit"));
    bar->addAction(action("zoomIn"));
    bar->addSeparator();

    auto addSpin = [&](const QString& prompt, QSpinBox*& spin, int max, const QString& tip) {
        auto* label = new QLabel(prompt, bar);
        spin = new QSpinBox(bar);
        spin->setRange(1, std::max(1, max));
        if (!tip.isEmpty()) spin->setToolTip(tip);
        label->setBuddy(spin);
        bar->addWidget(label);
        bar->addWidget(spin);
    };
    addSpin(QStringLiteral("&Page:"), pageSpin_, pageCount(), QString());
    if (pageCount() > 1)
        pageSpin_->setToolTip(pageNumberTip(pageCount()));
    else
        pageSpin_->setEnabled(false);
    addSpin(QStringLiteral("&Across:"), acrossSpin_, ChangeDisplayDialog::kMaxPages,
            QStringLiteral("Select the number of thumbnails in a row"));
    addSpin(QStringLiteral("&Down:"), downSpin_, ChangeDisplayDialog::kMaxPages,
            QStringLiteral("Select the number of thumbnails in a column"));
    connect(pageSpin_, &QSpinBox::valueChanged, this, &ReportPreview::showPage);
    connect(acrossSpin_, &QSpinBox::valueChanged, this, [this](int v) { setDisplay(v, down_); });
    connect(downSpin_, &QSpinBox::valueChanged, this, [this](int v) { setDisplay(across_, v); });

    auto* zoomLabel = new QLabel(QStringLiteral("Z&oom:"), bar);
    zoomBox_ = new QComboBox(bar);
    zoomBox_->setEditable(true);
    zoomBox_->setInsertPolicy(QComboBox::NoInsert);
    zoomBox_->setToolTip(QStringLiteral("Set zoom to standard or user defined value"));
    for (const ZoomEntry& e : zoomTable())
        zoomBox_->addItem(QString::fromStdString(e.menuText));
    zoomBox_->setMinimumContentsLength(10);
    zoomLabel->setBuddy(zoomBox_);
    bar->addWidget(zoomLabel);
    bar->addWidget(zoomBox_);
    connect(zoomBox_, &QComboBox::activated, this, &ReportPreview::setZoomIndex);
    connect(zoomBox_->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { setTypedZoom(zoomBox_->lineEdit()->text()); });
}

int ReportPreview::pagesDisplayed() const {
    return zoom_ == kZoomTilePages ? across_ * down_ : 1;
}

QString ReportPreview::zoomStatusText() const {
    return zoomStatus_ ? zoomStatus_->text() : QString();
}

std::vector<int> ReportPreview::selectedPages() const {
    return mvz::selectedPages(pagesToPrint_.toStdString(), pageCount());
}

void ReportPreview::setPrinter(QPrinter* printer) {
    printer_ = printer ? printer : ownPrinter_.get();
}

void ReportPreview::showPage(int page) {
    current_ = std::clamp(page, 1, std::max(1, pageCount()));
    refresh();
}

void ReportPreview::nextPages() {
    if (current_ + pagesDisplayed() <= pageCount()) showPage(current_ + pagesDisplayed());
}

void ReportPreview::previousPages() {
    showPage(current_ - pagesDisplayed());
}

void ReportPreview::setZoomIndex(int index) {
    const auto& table = zoomTable();
    if (index < 0 || index >= static_cast<int>(table.size())) return;
    setZoom(table[index].percentile);
}

bool ReportPreview::setTypedZoom(const QString& typed) {
    const std::string text = typed.trimmed().toStdString();
    const auto& table = zoomTable();
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].menuText == text) {
            setZoomIndex(static_cast<int>(i));
            return true;
        }
    if (std::optional<int> percent = parseUserZoom(text)) {
        setZoom(*percent);
        return true;
    }
    setZoom(zoom_); // show the zoom in force again
    return false;
}

void ReportPreview::setZoom(int zoom) {
    zoom_ = zoom;
    if (zoom != kZoomTilePages) lastZoom_ = zoom;
    const int index = zoomIndexOf(zoom);
    for (std::size_t i = 0; i < zoomActions_.size(); ++i)
        zoomActions_[i]->setChecked(static_cast<int>(i) == index);
    zoomStatus_->setText(index >= 0 ? QString::fromStdString(zoomTable()[index].statusText)
                                    : QString::fromStdString(userZoomText(zoom)));
    {
        QSignalBlocker block(zoomBox_);
        if (index >= 0) zoomBox_->setCurrentIndex(index);
        zoomBox_->setEditText(zoomText(zoom));
    }
    action("zoomIn")->setChecked(zoom != kZoomTilePages);
    scroll_->setWidgetResizable(false);
    refresh();
    scroll_->horizontalScrollBar()->setValue(0);
    scroll_->verticalScrollBar()->setValue(0);
}

void ReportPreview::setDisplay(int across, int down) {
    across_ = std::clamp(across, 1, static_cast<int>(ChangeDisplayDialog::kMaxPages));
    down_ = std::clamp(down, 1, static_cast<int>(ChangeDisplayDialog::kMaxPages));
    if (zoom_ != kZoomTilePages)
        setZoom(kZoomTilePages);
    else
        refresh();
}

void ReportPreview::toggleZoomIn() {
    setZoom(zoom_ == kZoomTilePages ? lastZoom_ : kZoomTilePages);
}

void ReportPreview::refresh() {
    {
        QSignalBlocker a(pageSpin_), b(acrossSpin_), c(downSpin_);
        pageSpin_->setValue(current_);
        acrossSpin_->setValue(across_);
        downSpin_->setValue(down_);
    }
    action("next")->setEnabled(current_ + pagesDisplayed() <= pageCount());
    action("previous")->setEnabled(current_ > 1);
    action("jump")->setEnabled(pageCount() > 1);
    QSize viewport = scroll_->viewport()->size();
    if (zoom_ == kZoomTilePages || zoom_ == kZoomPageWidth) {
        // Tiles fill the visible area; the page width leaves room for the
        // vertical scroll bar.
        if (zoom_ == kZoomPageWidth)
            viewport.setWidth(scroll_->width() - 2 * scroll_->frameWidth() -
                              scroll_->verticalScrollBar()->sizeHint().width());
    }
    canvas_->setView(current_, across_, down_, zoom_, viewport);
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize &&
        (zoom_ == kZoomTilePages || zoom_ == kZoomPageWidth))
        refresh();
    return QMainWindow::eventFilter(watched, event);
}

void ReportPreview::choosePagesToPrint() {
    PagesToPrintDialog dialog(pagesToPrint_, pageCount(), this);
    if (dialog.exec() == QDialog::Accepted) pagesToPrint_ = dialog.text();
}

void ReportPreview::jumpToPage() {
    JumpToPageDialog dialog(current_, pageCount(), this);
    if (dialog.exec() == QDialog::Accepted) showPage(dialog.page());
}

void ReportPreview::changeDisplay() {
    ChangeDisplayDialog dialog(across_, down_, this);
    if (dialog.exec() == QDialog::Accepted) setDisplay(dialog.across(), dialog.down());
}

void ReportPreview::message(const QString& text) {
    MessageBox box;
    box.title = "Report Preview";
    box.text = text.toStdString();
    box.icon = MessageIcon::Exclamation;
    reporter_.show(box);
}

bool ReportPreview::refuseEmptySelection(const std::vector<int>& pages) {
    if (!pages.empty()) return false;
    message(QStringLiteral("Nije odabrana nijedna stranica (Pages to Print: \"%1\").")
                .arg(pagesToPrint_));
    return true;
}

void ReportPreview::printReport() {
    if (refuseEmptySelection(selectedPages())) return;
    QPrintDialog dialog(printer_, this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() != QDialog::Accepted) return;
    if (!printTo(*printer_)) {
        message(QStringLiteral("Ispis nije uspio."));
        return;
    }
    printed_ = true;
    closeWindow();
}

bool ReportPreview::printTo(QPrinter& printer) {
    const std::vector<int> pages = selectedPages();
    if (pages.empty()) return false;
    printer.setFullPage(true);
    printer.setDocName(QString::fromStdString(model_.title));
    return paintPages(printer, model_, pages);
}

QString ReportPreview::proposedPdfPath() const {
    // The output folder of the application parameters, else the home folder;
    // the report's title in plain letters and today's date.
    QString folder;
    if (WindowHost* host = WindowHost::of(this)) folder = host->outputFolder();
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    const std::string name =
        reportFileName(model_.title, QDate::currentDate().toString(Qt::ISODate).toStdString());
    return QDir(folder).filePath(QString::fromStdString(name));
}

void ReportPreview::chooseAndSaveAsPdf() {
    if (refuseEmptySelection(selectedPages())) return;
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Spremi kao PDF"), proposedPdfPath(), QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty()) return;
    saveAsPdf(path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) ? path : path + ".pdf");
}

bool ReportPreview::saveAsPdf(const QString& path) {
    const std::vector<int> pages = selectedPages();
    if (refuseEmptySelection(pages)) return false;
    QString error;
    if (WindowHost* host = WindowHost::of(this)) host->prepareSavedFile(path);
    if (!writePdf(model_, pages, path, &error)) {
        message(error);
        return false;
    }
    statusBar()->showMessage(QStringLiteral("Spremljeno: %1").arg(path), 5000);
    return true;
}

void ReportPreview::closeWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void ReportPreview::closeEvent(QCloseEvent* event) {
    if (!finished_) {
        finished_ = true;
        emit finished(printed_);
    }
    QMainWindow::closeEvent(event);
}

} // namespace mvz
