#include "ui/report_runner.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <future>
#include <mutex>
#include <string>
#include <thread>

#include "base/reporter.h"
#include "data/error_reporter.h"

namespace mvz {

namespace {

constexpr int kNoRecordsMessage = 22;
constexpr int kPollMs = 50;

// The worker's Reporter: progress, the cancel request and the latest status
// text through what the progress window polls (a run that names every row
// it handles never waits for the screen); message boxes and the end of the
// program carried out in the GUI thread by the caller's reporter, after the
// status text that came before them.
class WorkerReporter : public Reporter {
  public:
    WorkerReporter(Reporter& gui, const ReportProgressWindow& window)
        : gui_(gui), window_(window) {}

    Button show(const MessageBox& box) override {
        Button pressed = ButtonNone;
        inGuiThread([&] {
            showStatus();
            pressed = gui_.show(box);
        });
        return pressed;
    }
    void status(const std::string& text) override {
        std::lock_guard<std::mutex> lock(statusLock_);
        status_ = text;
        statusPending_ = true;
    }
    // In the GUI thread: the latest status text, when there is a new one.
    void showStatus() {
        std::string text;
        {
            std::lock_guard<std::mutex> lock(statusLock_);
            if (!statusPending_) return;
            statusPending_ = false;
            text = status_;
        }
        gui_.status(text);
    }
    void progress(std::uint64_t done, std::uint64_t total) override {
        total_ = total;
        done_ = done;
    }
    bool cancelRequested() override { return window_.cancelRequested(); }
    void endProgram() override {
        inGuiThread([&] { gui_.endProgram(); });
    }

    std::uint64_t done() const { return done_; }
    std::uint64_t total() const { return total_; }

  private:
    template <typename F> void inGuiThread(F f) {
        if (QThread::currentThread() == qApp->thread())
            f();
        else
            QMetaObject::invokeMethod(qApp, f, Qt::BlockingQueuedConnection);
    }

    Reporter& gui_;
    const ReportProgressWindow& window_;
    std::atomic<std::uint64_t> done_{0};
    std::atomic<std::uint64_t> total_{0};
    std::mutex statusLock_;
    std::string status_;
    bool statusPending_ = false;
};

} // namespace

ReportProgressWindow::ReportProgressWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Progress..."));
    setModal(true);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    text_ = new QLabel(percentText(), this);
    text_->setAlignment(Qt::AlignCenter);
    cancel_button_ = new QPushButton(QStringLiteral("Cancel"), this);
    connect(cancel_button_, &QPushButton::clicked, this, &ReportProgressWindow::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar_);
    layout->addWidget(text_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_button_);
    buttons->addStretch();
    layout->addLayout(buttons);
    setMinimumWidth(320);
}

QString ReportProgressWindow::percentText() const {
    return QString::number(percent_) + QStringLiteral("% Complete");
}

void ReportProgressWindow::showProgress(std::uint64_t done, std::uint64_t total) {
    int p = 0;
    if (total > 0) p = static_cast<int>(std::min<std::uint64_t>(100, done * 100 / total));
    if (p == percent_) return;
    percent_ = p;
    bar_->setValue(p);
    text_->setText(percentText());
}

void ReportProgressWindow::reject() {
    cancel_ = true;
    cancel_button_->setEnabled(false);
}

void runWithProgress(QWidget* parent, Reporter& gui, const QString& title,
                     const std::function<void(Reporter& reporter)>& job) {
    ReportProgressWindow window(parent);
    window.setWindowTitle(title);
    WorkerReporter reporter(gui, window);
    std::packaged_task<void()> task([&] { job(reporter); });
    std::future<void> future = task.get_future();
    std::thread worker(std::move(task));

    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &window, [&] {
        window.showProgress(reporter.done(), reporter.total());
        reporter.showStatus();
        if (future.wait_for(std::chrono::seconds(0)) == std::future_status::ready) window.accept();
    });
    poll.start(kPollMs);
    window.exec();
    poll.stop();
    worker.join();
    reporter.showStatus(); // the run's last word
    future.get();
}

ReportResult runReport(QWidget* parent, ErrorReporter& errors, ReportJob job) {
    ReportResult made;
    bool cancelled = false;
    std::exception_ptr failure;
    runWithProgress(parent, errors.reporter(), QStringLiteral("Progress..."), [&](Reporter& rep) {
        try {
            made = job(rep);
        } catch (...) {
            failure = std::current_exception();
        }
        cancelled = rep.cancelRequested();
    });
    ReportResult result;
    try {
        if (failure) std::rethrow_exception(failure);
        result = std::move(made);
    } catch (const std::exception& e) {
        MessageBox box;
        box.title = "Progress...";
        box.text = e.what();
        box.icon = MessageIcon::Error;
        errors.reporter().show(box);
        result.status = ReportStatus::Failed;
    }
    if (cancelled && result.status == ReportStatus::Done)
        result = ReportResult{ReportStatus::Cancelled, {}, result.records};
    if (result.status == ReportStatus::NoRecords) errors.raise(kNoRecordsMessage);
    return result;
}

} // namespace mvz
