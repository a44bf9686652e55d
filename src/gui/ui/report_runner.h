#pragma once
// Running a report: the report's job reads its records on a worker thread
// while the progress window "Progress..." shows how far it has got ("N%
// Complete") and offers "Cancel". When the view yields no record the user is
// told so (message 22, "No Records"); otherwise the pages go to the preview.
//
//   ReportResult r = runReport(this, errors, [dir](Reporter& rep) {
//       ... Tables of the worker's own over `dir`, then e.g. municipalityList(...)
//   });
//   if (r.status == ReportStatus::Done) showReportPreview(std::move(r.pages), errors, ...);
//
// The job gets a Reporter that carries progress and the cancel request and
// shows message boxes in the GUI thread (through `errors`' reporter). The
// job must create its own table objects: they are used on its thread only.
// A cancelled run shows no pages.

#include <QDialog>

#include <atomic>
#include <cstdint>
#include <functional>

#include "print/report_result.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace mvz {

class ErrorReporter;
class Reporter;

using ReportJob = std::function<ReportResult(Reporter& reporter)>;

// The progress window of a report run.
class ReportProgressWindow : public QDialog {
    Q_OBJECT
  public:
    explicit ReportProgressWindow(QWidget* parent = nullptr);

    // Shows done of total (total 0: nothing known yet).
    void showProgress(std::uint64_t done, std::uint64_t total);
    bool cancelRequested() const { return cancel_; }
    int percent() const { return percent_; }
    QString percentText() const;
    QPushButton* cancelButton() const { return cancel_button_; }

  public slots:
    // The Cancel button and the close box ask the run to stop; the window
    // closes when the run has returned.
    void reject() override;

  private:
    QProgressBar* bar_;
    QLabel* text_;
    QPushButton* cancel_button_;
    std::atomic<bool> cancel_{false};
    int percent_ = 0;
};

// Runs `job` on a worker thread under the progress window (modal to
// `parent`, titled `title`): the job's Reporter carries progress and the
// cancel request, and shows message boxes and status texts through `gui` in
// the GUI thread. Returns when the job has; what the job throws is thrown
// here. Any long run of a window (an export, a check) runs this way.
void runWithProgress(QWidget* parent, Reporter& gui, const QString& title,
                     const std::function<void(Reporter& reporter)>& job);

// Runs the job under the progress window (modal to `parent`) and returns
// what it made. Message 22 is raised through `errors` when the job found no
// records.
ReportResult runReport(QWidget* parent, ErrorReporter& errors, ReportJob job);

} // namespace mvz
