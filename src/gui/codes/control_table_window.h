#pragma once
// "Kontrole podataka u zavisnosti od vrste obveznika, vrste obračuna i
// osnove obračuna": the control table as a tree of payer types (level 1),
// their calculation types (level 2, the STABLO02 labels) and bases (level 3,
// the STABLO03 labels), with folder icons. "&Dodaj" opens the rule window
// for a new rule on any node, "&Promijeni" and "&Obriši" on a basis only;
// after a completed change the tree is read again at the node. "&Ispiši"
// prints the control table (and rewrites TEXTSIF.TXT).

#include <memory>

#include "rules/control_table.h"
#include "ui/procedure_window.h"
#include "ui/window_host.h"

class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace mvz {

class ControlTableWindow : public ProcedureWindow {
    Q_OBJECT
  public:
    ControlTableWindow(std::unique_ptr<Tables> tables, QWidget* parent = nullptr);
    ~ControlTableWindow() override;

    QTreeWidget* tree() const { return tree_; }
    QPushButton* button(const char* name) const;
    // Opens the rule window for the request (1 insert, 2 change, 3 delete) at
    // the current node, as the buttons do; returns its completion code (0:
    // the node takes no such request).
    std::uint8_t openRule(std::uint8_t request);
    // Reads the tree again and makes the node of the combination current.
    void reload(const Combination& at);
    void print();

  protected:
    bool init() override;

  private:
    Combination nodeCombination(const QTreeWidgetItem* item) const;
    static int levelOf(const QTreeWidgetItem* item);

    std::unique_ptr<Tables> owned_;
    QTreeWidget* tree_ = nullptr;
    QMenu* popup_ = nullptr;
};

QWidget* createControlTableWindow(const WindowContext& context);

} // namespace mvz
