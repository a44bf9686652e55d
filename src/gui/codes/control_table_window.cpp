#include "codes/control_table_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "codes/control_rule_window.h"
#include "data/table_access.h"
#include "data/tables.h"
#include "import/review_support.h"
#include "print/control_table_list.h"
#include "ui/list_report.h"

namespace mvz {

namespace {

constexpr int kVobRole = Qt::UserRole;
constexpr int kVoiRole = Qt::UserRole + 1;
constexpr int kOoRole = Qt::UserRole + 2;

std::string field(const TableAccess& t, const char* name) {
    return t.record().display(t.def().fieldIndex(name));
}

// Every record of an open table in the order of `key`.
template <typename F> void eachRecord(TableAccess& t, const char* key, F f) {
    t.setOrder(t.def().keyIndex(key));
    t.setStart();
    while (t.next() == result::Ok)
        f(t);
}

} // namespace

ControlTableWindow::ControlTableWindow(std::unique_ptr<Tables> tables, QWidget* parent)
    : ProcedureWindow(*tables, parent), owned_(std::move(tables)) {}

ControlTableWindow::~ControlTableWindow() {
    endBeforeTables();
}

int ControlTableWindow::levelOf(const QTreeWidgetItem* item) {
    int level = 0;
    for (const QTreeWidgetItem* i = item; i; i = i->parent())
        ++level;
    return level;
}

Combination ControlTableWindow::nodeCombination(const QTreeWidgetItem* item) const {
    if (!item) return {};
    return {item->data(0, kVobRole).toString().toStdString(),
            item->data(0, kVoiRole).toString().toStdString(),
            item->data(0, kOoRole).toString().toStdString()};
}

QPushButton* ControlTableWindow::button(const char* name) const {
    return findChild<QPushButton*>(QString::fromLatin1(name));
}

bool ControlTableWindow::init() {
    if (!ProcedureWindow::init()) return false;
    setWindowTitle(QStringLiteral("Kontrole podataka u zavisnosti od vrste obveznika, vrste "
                                  "obračuna i osnove obračuna"));
    setObjectName(QStringLiteral("controlTable"));
    auto* layout = new QHBoxLayout(this);
    tree_ = new QTreeWidget(this);
    tree_->setHeaderHidden(true);
    tree_->setMinimumSize(520, 380);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(tree_, 1);

    auto* column = new QVBoxLayout;
    auto add = [&](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        column->addWidget(b);
        return b;
    };
    QPushButton* insert = add("insert", QStringLiteral("&Dodaj"));
    QPushButton* change = add("change", QStringLiteral("&Promijeni"));
    QPushButton* remove = add("delete", QStringLiteral("&Obriši"));
    QPushButton* collapse = add("collapse", QStringLiteral("&Skupi sve"));
    QPushButton* printButton = add("print", QStringLiteral("&Ispiši"));
    column->addStretch(1);
    QPushButton* close = add("close", QStringLiteral("&Zatvori"));
    QPushButton* help = add("help", QStringLiteral("Upu&te"));
    if (WindowHost* host = WindowHost::of(this)) help->setIcon(host->icon("HELP"));
    layout->addLayout(column);

    popup_ = new QMenu(this);
    popup_->addAction(QStringLiteral("&Dodaj"), this, [this] { openRule(request::Insert); });
    popup_->addAction(QStringLiteral("&Promijeni"), this, [this] { openRule(request::Change); });
    popup_->addAction(QStringLiteral("&Obriši"), this, [this] { openRule(request::Delete); });
    popup_->addSeparator();
    popup_->addAction(QStringLiteral("&Otvori sve"), tree_, &QTreeWidget::expandAll);
    popup_->addAction(QStringLiteral("&Skupi sve"), tree_, &QTreeWidget::collapseAll);
    connect(tree_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popup_->popup(tree_->viewport()->mapToGlobal(at)); });

    onAccepted(insert, [this] { openRule(request::Insert); });
    onAccepted(change, [this] { openRule(request::Change); });
    onAccepted(remove, [this] { openRule(request::Delete); });
    onAccepted(collapse, [this] { tree_->collapseAll(); });
    onAccepted(printButton, [this] { print(); });
    setHelpControl(help);
    setCancelControl(close);
    addFormTarget();
    // Keys as in a list: Enter changes, Insert adds, Delete deletes.
    connect(tree_, &QTreeWidget::itemActivated, this, [this] { openRule(request::Change); });
    auto key = [this](QKeySequence k, std::uint8_t req) {
        auto* s = new QShortcut(k, tree_);
        s->setContext(Qt::WidgetShortcut);
        connect(s, &QShortcut::activated, this, [this, req] { openRule(req); });
    };
    key(QKeySequence(Qt::Key_Insert), request::Insert);
    key(QKeySequence(Qt::Key_Delete), request::Delete);
    // Open and closed folders.
    auto icon = [this](QTreeWidgetItem* item, bool open) {
        item->setIcon(
            0, style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon));
    };
    connect(tree_, &QTreeWidget::itemExpanded, this, [icon](QTreeWidgetItem* i) { icon(i, true); });
    connect(tree_, &QTreeWidget::itemCollapsed, this,
            [icon](QTreeWidgetItem* i) { icon(i, false); });
    setFirstField(tree_);
    reload({});
    return true;
}

void ControlTableWindow::reload(const Combination& at) {
    Tables& t = tables();
    TableAccess& vob = t.access("VOB");
    TableAccess& labels2 = t.access("STA2");
    TableAccess& labels3 = t.access("STA3");
    for (TableAccess* table : {&vob, &labels2, &labels3})
        if (table->open() != result::Ok) return;
    tree_->clear();
    QTreeWidgetItem* current = nullptr;
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto node = [&](QTreeWidgetItem* parent, const std::string& code, const std::string& text,
                    const Combination& c) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
        item->setText(0, QString::fromStdString(code + " " + text));
        item->setIcon(0, closed);
        item->setData(0, kVobRole, QString::fromStdString(c.vob));
        item->setData(0, kVoiRole, QString::fromStdString(c.voi));
        item->setData(0, kOoRole, QString::fromStdString(c.oo));
        if (c == at && !at.vob.empty()) current = item;
        return item;
    };
    std::vector<std::pair<std::string, std::string>> payerTypes;
    eachRecord(vob, "KEYSIFRA", [&](TableAccess& r) {
        payerTypes.emplace_back(field(r, "SIFRA"), field(r, "SKROPIS"));
    });
    for (const auto& [code, name] : payerTypes) {
        QTreeWidgetItem* level1 = node(nullptr, code, name, {code, {}, {}});
        std::vector<std::pair<std::string, std::string>> types;
        eachRecord(labels2, "KEYVOB_VOI", [&](TableAccess& r) {
            if (field(r, "VOB") == code) types.emplace_back(field(r, "VOI"), field(r, "NAZIV"));
        });
        for (const auto& [voi, label] : types) {
            QTreeWidgetItem* level2 = node(level1, voi, label, {code, voi, {}});
            eachRecord(labels3, "KEYOO", [&](TableAccess& r) {
                if (field(r, "VOB") == code && field(r, "VOI") == voi)
                    node(level2, field(r, "OO"), field(r, "NAZIV"), {code, voi, field(r, "OO")});
            });
        }
    }
    for (TableAccess* table : {&labels3, &labels2, &vob})
        table->close();
    if (current) {
        tree_->setCurrentItem(current);
        tree_->scrollToItem(current);
    } else if (tree_->topLevelItemCount() > 0) {
        tree_->setCurrentItem(tree_->topLevelItem(0));
    }
}

std::uint8_t ControlTableWindow::openRule(std::uint8_t req) {
    QTreeWidgetItem* item = tree_->currentItem();
    if (!item) {
        if (req != request::Insert) return 0;
    } else if (req != request::Insert && levelOf(item) != 3) {
        return 0; // a rule is changed or deleted on its basis only
    }
    PendingRequest = req;
    ControlRuleWindow rule(tables(), nodeCombination(item), this);
    const std::uint8_t r = rule.run();
    if (r == response::Completed)
        reload(req == request::Delete ? Combination{} : rule.combination());
    tree_->setFocus();
    return r;
}

void ControlTableWindow::print() {
    printList(this, tables().storage().dataDir(), tables().errors(),
              [](Tables& t, const std::string&, Reporter& reporter) {
                  review::useWorkFolder(t);
                  return printControlTable(t, reporter);
              });
}

QWidget* createControlTableWindow(const WindowContext& context) {
    auto* window =
        new ControlTableWindow(std::make_unique<Tables>(context.dataDir, context.errors));
    if (!window->start()) return nullptr; // it deletes itself
    return window;
}

} // namespace mvz
