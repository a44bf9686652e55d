#pragma once
// The desktop program's Reporter: message boxes with QMessageBox (the box's
// title, text, icon and buttons; the pressed button is returned), status
// texts to a status bar or a callback, progress to a callback, a cancel flag
// the progress window sets, and an orderly quit after a fatal message.
//
// Services may report from a worker thread: every call is carried out in the
// GUI thread (message boxes block the worker until they are answered).

#include <QPointer>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>

#include "base/reporter.h"

class QStatusBar;
class QWidget;

namespace mvz {

class QtReporter : public Reporter {
  public:
    // Message boxes are centred over `parent` (nullptr: the active window).
    explicit QtReporter(QWidget* parent = nullptr);
    ~QtReporter() override;

    void setParentWidget(QWidget* parent);
    // Status texts go to the bar (and to the callback when one is set).
    void setStatusBar(QStatusBar* bar);
    void setStatusCallback(std::function<void(const QString&)> callback);
    void setProgressCallback(std::function<void(std::uint64_t done, std::uint64_t total)> callback);
    // What endProgram() does; without one it asks the application to quit
    // once the event loop runs again (windows close in order).
    void setEndProgramCallback(std::function<void()> callback);

    // The progress window's Cancel button sets this; a new run clears it.
    void requestCancel() { cancel_ = true; }
    void clearCancel() { cancel_ = false; }

    Button show(const MessageBox& box) override;
    void status(const std::string& text) override;
    void progress(std::uint64_t done, std::uint64_t total) override;
    bool cancelRequested() override { return cancel_; }
    void endProgram() override;

    // The title a message without one gets: the focused window's title.
    static QString windowTitleFor(const QWidget* parent);

  private:
    QWidget* messageParent() const;
    Button showInGuiThread(const MessageBox& box);

    QPointer<QWidget> parent_;
    QPointer<QStatusBar> statusBar_;
    std::function<void(const QString&)> statusCallback_;
    std::function<void(std::uint64_t, std::uint64_t)> progressCallback_;
    std::function<void()> endProgramCallback_;
    std::atomic<bool> cancel_{false};
};

} // namespace mvz
