#pragma once
// "O programu": the program's picture, its three lines and, below them, the
// program's version, the data folder in use and the licence; one button
// closes the window.

#include <QWidget>

namespace mvz {

class AboutWindow : public QWidget {
    Q_OBJECT
  public:
    explicit AboutWindow(const QString& dataDir = {}, QWidget* parent = nullptr);

    // The three lines, top to bottom.
    static QStringList lines();
    // The lines below them.
    static QStringList detailLines(const QString& dataDir);
};

} // namespace mvz
