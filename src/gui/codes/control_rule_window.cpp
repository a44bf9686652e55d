#include "codes/control_rule_window.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/error_reporter.h"
#include "data/table_access.h"
#include "data/tables.h"
#include "ui/lookup_drop_list.h"
#include "ui/window_host.h"

namespace mvz {

namespace {

const char* const kRuleChoices[] = {"= 0", ">=0", ">0"};

struct RuleRow {
    RuleField field;
    const char* prompt;
};

// The three groups of the rule fields and their prompts.
struct RuleGroup {
    const char* caption;
    std::vector<RuleRow> rows;
};

const std::vector<RuleGroup>& ruleGroups() {
    static const std::vector<RuleGroup> groups{
        {"I. OSNOVNI PODACI",
         {{RuleField::Month, "Obračunski mjesec"}, {RuleField::Year, "Obračunska godina"}}},
        {"6.1. Godina isplate plaće",
         {{RuleField::PaymentYear, "Godina isplate plaće"},
          {RuleField::PaymentMonth, "Mjesec isplate plaće"}}},
        {"IV. PODACI PO OSIGURANICIMA",
         {{RuleField::DayFrom, "Razdoblje od (dan)"},
          {RuleField::DayTo, "Razdoblje do (dan)"},
          {RuleField::Gross, "IV.7 Iznos obračunane plaće"},
          {RuleField::Base, "IV.8 Osnovica za doprinose"},
          {RuleField::Pillar1, "IV.9 Doprinos za I. stup"},
          {RuleField::Pillar2, "IV.10 Doprinos za II. stup"},
          {RuleField::Net, "IV.11 Iznos isplaćene plaće"}}},
    };
    return groups;
}

std::string trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

// A stored rule code ("= 0 ") as its drop-list entry ("= 0"), and back.
int choiceOf(const std::string& stored) {
    for (int i = 0; i < 3; ++i)
        if (trimmed(stored) == kRuleChoices[i]) return i;
    return -1;
}

std::string storedOf(int choice) {
    const std::string_view codes[] = {kRuleZero, kRuleZeroOrMore, kRuleAboveZero};
    return choice < 0 ? std::string() : std::string(codes[choice]);
}

} // namespace

ControlRuleWindow::ControlRuleWindow(Tables& tables, Combination at, QWidget* parent)
    : ProcedureWindow(tables, parent), at_(std::move(at)) {}

bool ControlRuleWindow::init() {
    if (!ProcedureWindow::init()) return false;
    const std::uint8_t req = request();
    setWindowTitle(req == request::Insert   ? QStringLiteral("Upis nove kontrole")
                   : req == request::Delete ? QStringLiteral("Brisanje kontrole")
                                            : QStringLiteral("Promjena kontrole"));
    setObjectName(QStringLiteral("controlRule"));
    auto* layout = new QVBoxLayout(this);
    auto* main = new QGroupBox(QStringLiteral("KONTROLA PODATAKA"), this);
    auto* mainLayout = new QVBoxLayout(main);
    layout->addWidget(main);

    auto* codes = new QFormLayout;
    struct CodeList {
        const char* prompt;
        const char* table;
    };
    const CodeList lists[] = {{"Vrsta obveznika (VOB) :", "VOB"},
                              {"Vrsta obračuna (VOI) :", "VUP"},
                              {"Osnova obračuna (OO) :", "TBO"}};
    for (int i = 0; i < 3; ++i) {
        auto* drop = new LookupDropList(tables().access(lists[i].table), main);
        drop->setOrder("KEYSIFRA");
        drop->addDisplayField(std::string(lists[i].table) + ":SIFRA");
        drop->addDisplayField(std::string(lists[i].table) + ":OPIS");
        drop->setEnabled(req != request::Delete);
        drop->setMinimumContentsLength(50);
        codes_[static_cast<std::size_t>(i)] = drop;
        addFileDrop(drop);
        codes->addRow(QString::fromUtf8(lists[i].prompt), drop);
    }
    mainLayout->addLayout(codes);

    auto* groups = new QHBoxLayout;
    for (const RuleGroup& g : ruleGroups()) {
        auto* box = new QGroupBox(QString::fromUtf8(g.caption), main);
        auto* form = new QFormLayout(box);
        for (const RuleRow& row : g.rows) {
            auto* choice = new QComboBox(box);
            for (const char* c : kRuleChoices)
                choice->addItem(QString::fromLatin1(c));
            choice->setCurrentIndex(-1);
            choice->setEnabled(req != request::Delete);
            choice->setObjectName(QString::fromLatin1(ruleFieldName(row.field).data()));
            rules_[static_cast<std::size_t>(row.field)] = choice;
            form->addRow(QString::fromUtf8(row.prompt), choice);
        }
        groups->addWidget(box, 0, Qt::AlignTop);
    }
    mainLayout->addLayout(groups);

    auto* legend = new QGroupBox(
        QStringLiteral("Za navednu kombinaciju VOB, VOI i OO potatak mora biti:"), main);
    auto* legendLayout = new QVBoxLayout(legend);
    legendLayout->addWidget(new QLabel(QStringLiteral("= 0    ( jednak nuli)"), legend));
    legendLayout->addWidget(new QLabel(QStringLiteral(">= 0   (nula ili veći od nule)"), legend));
    legendLayout->addWidget(new QLabel(QStringLiteral("> 0    (veći od nule)"), legend));
    mainLayout->addWidget(legend);

    auto* buttons = new QHBoxLayout;
    save_ = new QPushButton(
        req == request::Delete ? QStringLiteral("Obriši") : QStringLiteral("Spremi/obriši"), this);
    cancel_ = new QPushButton(QStringLiteral("Odustani"), this);
    auto* help = new QPushButton(QStringLiteral("Upu&te"), this);
    if (WindowHost* host = WindowHost::of(this)) help->setIcon(host->icon("HELP"));
    buttons->addStretch(1);
    buttons->addWidget(save_);
    buttons->addWidget(cancel_);
    buttons->addWidget(help);
    layout->addLayout(buttons);
    setHelpControl(help);
    setCancelControl(cancel_);
    onAccepted(save_, [this] { save(); });
    addFormTarget();
    setFirstField(req == request::Delete ? static_cast<QWidget*>(save_) : codes_[0]);

    // The rule of the combination passed, when there is one.
    refresh();
    const std::string values[] = {at_.vob, at_.voi, at_.oo};
    const char* valueFields[] = {"VOB:SIFRA", "VUP:SIFRA", "TBO:SIFRA"};
    for (int i = 0; i < 3; ++i)
        codes_[static_cast<std::size_t>(i)]->showValue(valueFields[i], trimmed(values[i]));
    ControlTableMaintenance maintenance(tables());
    if (std::optional<ControlRule> rule = maintenance.read(at_))
        for (int f = 0; f < kRuleFieldCount; ++f)
            rules_[static_cast<std::size_t>(f)]->setCurrentIndex(choiceOf(rule->codes[f]));
    return true;
}

Combination ControlRuleWindow::chosen() const {
    const char* valueFields[] = {"VOB:SIFRA", "VUP:SIFRA", "TBO:SIFRA"};
    std::string v[3];
    for (int i = 0; i < 3; ++i) {
        const LookupDropList* drop = codes_[static_cast<std::size_t>(i)];
        v[i] = drop->entryValue(drop->currentIndex(), valueFields[i]);
    }
    return {v[0], v[1], v[2]};
}

void ControlRuleWindow::save() {
    MessageBox box;
    box.icon = MessageIcon::Exclamation;
    ControlTableMaintenance maintenance(tables());
    int r = result::Ok;
    if (request() == request::Delete) {
        errors().setFile("VEZNATAB.DAT");
        if (errors().raise(9) != result::Ok) return;
        r = maintenance.remove(at_);
    } else {
        ControlRule rule;
        rule.combination = chosen();
        if (rule.combination.vob.empty() || rule.combination.voi.empty() ||
            rule.combination.oo.empty()) {
            box.text = "Odaberite vrstu obveznika, vrstu obračuna i osnovu obračuna.";
            errors().reporter().show(box);
            return;
        }
        for (int f = 0; f < kRuleFieldCount; ++f) {
            rule.codes[static_cast<std::size_t>(f)] =
                storedOf(rules_[static_cast<std::size_t>(f)]->currentIndex());
            // A rule field left open would leave its checks to chance.
            if (rule.codes[static_cast<std::size_t>(f)].empty()) {
                box.text = "Odaberite pravilo (= 0, >=0 ili >0) za svaki podatak.";
                errors().reporter().show(box);
                rules_[static_cast<std::size_t>(f)]->setFocus();
                return;
            }
        }
        r = request() == request::Insert ? maintenance.insert(rule) : maintenance.change(at_, rule);
        if (r == result::Ok) at_ = rule.combination;
    }
    if (r == result::Ok) setResponse(response::Completed);
}

} // namespace mvz
