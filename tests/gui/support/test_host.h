#pragma once
// A host for windows under test, without the main frame: children open as
// top-level windows, the toolbar state and the guide requests are recorded.

#include <QPointer>
#include <QWidget>

#include <map>
#include <utility>
#include <vector>

#include "ui/window_host.h"

namespace mvz {

class TestHost : public QWidget, public WindowHost {
  public:
    TestHost();
    // Children still open go with their host.
    ~TestHost() override;

    void openChild(QWidget* window, ChildPlacement placement = ChildPlacement::Remembered) override;
    QWidget* currentChild() const override { return current_; }
    bool closeOtherChildren(QWidget* keep) override;
    void setToolbarState(int control, bool enabled, const QString& tooltip) override;
    QIcon icon(std::string_view name) const override;
    void openUserGuide() override { ++guideOpened; }
    QString outputFolder() const override { return output; }
    void prepareSavedFile(const QString& path) override { prepared.push_back(path); }

    // Makes `window` the current child (as activating it in the frame does).
    void setCurrentChild(QWidget* window) { current_ = window; }

    int guideOpened = 0;
    QString output;
    std::vector<QString> prepared;
    std::vector<std::pair<QPointer<QWidget>, ChildPlacement>> children;
    std::map<int, std::pair<bool, QString>> toolbar; // control: enabled, tooltip

  private:
    QPointer<QWidget> current_;
};

} // namespace mvz
