#pragma once
// "O programu": the program's picture, its three lines and one button that
// closes the window.

#include <QWidget>

namespace mvz {

class AboutWindow : public QWidget {
    Q_OBJECT
  public:
    explicit AboutWindow(QWidget* parent = nullptr);

    // The three lines, top to bottom.
    static QStringList lines();
};

} // namespace mvz
