#pragma once
// The credit window shown over the main frame at start: a picture and one
// line naming the project. It closes itself after five seconds, when it gets
// the focus and when it is clicked; the frame closes it on the first
// accepted control.

#include <QFrame>

namespace mvz {

class CreditWindow : public QFrame {
    Q_OBJECT
  public:
    static constexpr int kCloseAfterMs = 5000;

    explicit CreditWindow(QWidget* parent = nullptr, int closeAfterMs = kCloseAfterMs);

    static QString creditLine();
    int closeAfterMs() const { return closeAfterMs_; }

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    int closeAfterMs_;
};

} // namespace mvz
