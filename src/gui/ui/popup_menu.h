#pragma once
// The context menu of a browse list, built from the buttons its window has:
// choosing an item acts exactly like pressing that button.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <vector>

class QAbstractButton;
class QPoint;
class QWidget;

namespace mvz {

class PopupMenu : public QObject {
    Q_OBJECT
  public:
    struct Item {
        int controlId = 0; // the toolbar control the item stands for (0 none)
        QString text;      // with "&" before the hot letter; empty for a separator
        QPointer<QAbstractButton> button;
    };

    explicit PopupMenu(QObject* parent = nullptr);

    void addItem(int controlId, const QString& text, QAbstractButton* button);
    void addSeparator();
    void clear();

    const std::vector<Item>& items() const { return items_; }
    // The texts in order; a separator is "-".
    QStringList texts() const;
    // An item whose button is gone or disabled.
    bool isDisabled(int index) const;

    // Acts as the item's button; false when it is a separator or disabled.
    bool choose(int index);
    // Shows the menu and acts on the choice; the index chosen, or -1.
    int exec(const QPoint& globalPos, QWidget* parent);
    int lastSelection() const { return lastSelection_; }

  private:
    std::vector<Item> items_;
    int lastSelection_ = -1;
};

} // namespace mvz
