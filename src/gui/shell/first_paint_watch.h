#pragma once
// Watches a window for its first paint; once that paint is done it writes
// "painted" to standard output and ends the program. The start-up benchmark
// starts a program with it and measures the time until the line comes.

#include <QObject>

namespace mvz {

class FirstPaintWatch : public QObject {
  public:
    // Watches `window` and belongs to it.
    explicit FirstPaintWatch(QObject* window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool seen_ = false;
};

} // namespace mvz
