#pragma once
// "KONTROLA PODATAKA": the rule of one combination of payer type,
// calculation type and insurance basis, for insert, change or delete. The
// three codes come from drop lists of their code tables, each of the eleven
// rule fields from a drop list of "= 0", ">=0" and ">0" in its group, with
// the legend of the three. Saving goes through the control-table
// maintenance service (the rule and its tree labels in one transaction).

#include <array>

#include "rules/control_table.h"
#include "ui/procedure_window.h"

class QComboBox;
class QPushButton;

namespace mvz {

class LookupDropList;

class ControlRuleWindow : public ProcedureWindow {
    Q_OBJECT
  public:
    // `at` is the combination the tree passes (blank codes where none).
    ControlRuleWindow(Tables& tables, Combination at, QWidget* parent = nullptr);

    LookupDropList* codeList(int which) const { return codes_[which]; } // 0 VOB, 1 VOI, 2 OO
    QComboBox* ruleList(RuleField field) const { return rules_[static_cast<int>(field)]; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }
    // The combination of the rule (after a save: the one saved).
    const Combination& combination() const { return at_; }

  protected:
    bool init() override;

  private:
    void save();
    Combination chosen() const;

    Combination at_;
    std::array<LookupDropList*, 3> codes_{};
    std::array<QComboBox*, kRuleFieldCount> rules_{};
    QPushButton *save_ = nullptr, *cancel_ = nullptr;
};

} // namespace mvz
