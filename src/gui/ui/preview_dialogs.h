#pragma once
// The small windows of the report preview: the page selection ("Pages to
// Print"), the jump to a page and the number of pages displayed.

#include <QDialog>

class QLineEdit;
class QPushButton;
class QSpinBox;

namespace mvz {

// "Pages to Print": the selection text (up to 255 characters) with "&Reset"
// back to every page, "&Ok" and "&Cancel".
class PagesToPrintDialog : public QDialog {
    Q_OBJECT
  public:
    PagesToPrintDialog(const QString& current, int pageCount, QWidget* parent = nullptr);
    QString text() const;
    QLineEdit* entry() const { return entry_; }
    QPushButton* resetButton() const { return reset_; }

  private:
    QLineEdit* entry_;
    QPushButton* reset_;
};

// "Jump to a Report Page".
class JumpToPageDialog : public QDialog {
    Q_OBJECT
  public:
    JumpToPageDialog(int current, int pageCount, QWidget* parent = nullptr);
    int page() const;
    QSpinBox* pageSpin() const { return page_; }

  private:
    QSpinBox* page_;
};

// "Change the Report Display": pages across and down.
class ChangeDisplayDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kMaxPages = 8;
    ChangeDisplayDialog(int across, int down, QWidget* parent = nullptr);
    int across() const;
    int down() const;

  private:
    QSpinBox* across_;
    QSpinBox* down_;
};

// The tip of a page control: "Enter a page number from 1 to " and the count.
QString pageNumberTip(int pageCount);

} // namespace mvz
