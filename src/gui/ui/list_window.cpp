#include "ui/list_window.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "data/tables.h"
#include "ui/window_host.h"
#include "ui/window_memory.h"
#include "ui_model/list_key_hint.h"

namespace mvz {

ListWindow::ListWindow(Tables& tables, ListWindowSpec decl, QWidget* parent)
    : ProcedureWindow(tables, parent), spec_(std::move(decl)) {}

ListWindow::ListWindow(std::unique_ptr<Tables> tables, ListWindowSpec decl, QWidget* parent)
    : ProcedureWindow(*tables, parent), owned_(std::move(tables)), spec_(std::move(decl)) {}

ListWindow::~ListWindow() {
    endBeforeTables();
}

void ListWindow::kill() {
    if (!isDead() && list_ && list_->order() >= 0)
        WindowMemory::setNumber(WindowMemory::keyOf(this) + QStringLiteral("/tab"), list_->order());
    ProcedureWindow::kill();
}

bool ListWindow::init() {
    if (!ProcedureWindow::init()) return false;
    setWindowTitle(spec_.title);
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("list-%1").arg(QString::fromStdString(spec_.table)));
    auto* layout = new QVBoxLayout(this);
    list_ = new BrowseList(tables(), spec_.table, this);
    list_->setFormat(spec_.format);
    for (const std::string& f : spec_.fields)
        list_->addField(f);
    for (const ListWindowSpec::Tab& tab : spec_.tabs) {
        const int order = list_->addSortOrder(tab.key, tab.text);
        if (!tab.filter.empty()) list_->setFilter(order, tab.filter);
        if (tab.locator != LocatorKind::None)
            list_->setLocator(order, tab.locator, tab.locatorPrompt);
    }
    layout->addWidget(list_, 1);

    auto button = [this](const ListWindowSpec::ButtonText& t) {
        auto* b = new QPushButton(t.caption, this);
        b->setToolTip(t.tip);
        b->setStatusTip(t.tip);
        b->setFocusPolicy(Qt::TabFocus);
        return b;
    };
    const bool selecting = request() == request::Select;
    select_ = button(spec_.selectButton);
    insert_ = button(spec_.insertButton);
    change_ = button(spec_.changeButton);
    remove_ = button(spec_.removeButton);
    print_ = button(spec_.printButton);
    close_ = button(spec_.closeButton);
    help_ = button(spec_.helpButton);
    if (WindowHost* host = WindowHost::of(this)) help_->setIcon(host->icon("HELP"));
    select_->setVisible(selecting);
    print_->setVisible(static_cast<bool>(spec_.print));
    insert_->setEnabled(static_cast<bool>(spec_.update));
    change_->setEnabled(static_cast<bool>(spec_.update));
    remove_->setEnabled(static_cast<bool>(spec_.update));

    auto* row = new QHBoxLayout;
    for (QPushButton* b : {select_, insert_, change_, remove_, print_})
        row->addWidget(b);
    row->addStretch(1);
    row->addWidget(close_);
    row->addWidget(help_);
    layout->addLayout(row);
    status_ = new QStatusBar(this);
    status_->setObjectName(QStringLiteral("keyHint"));
    status_->setSizeGripEnabled(false);
    layout->addWidget(status_);

    BrowseList::Buttons lb;
    lb.insert = insert_;
    lb.change = change_;
    lb.remove = remove_;
    lb.select = selecting ? select_ : nullptr;
    lb.print = spec_.print ? print_ : nullptr;
    list_->setButtons(lb);
    if (spec_.update) {
        list_->setUpdateProcedure([this] { return spec_.update(tables()); });
    }
    if (spec_.print)
        list_->setPrintProcedure([this](int order) { spec_.print(tables(), order, this); });

    setHelpControl(help_);
    if (selecting) addButton(select_, response::Completed);
    setCancelControl(close_);
    addBrowse(list_, help_);
    setFirstField(list_->control());
    // The tab the list was left on last time.
    const int tab = WindowMemory::number(WindowMemory::keyOf(this) + QStringLiteral("/tab"), 0);
    if (tab > 0 && tab < list_->orderCount()) list_->setOrder(tab);
    // The change, delete and select buttons need a highlighted row.
    connect(list_, &BrowseList::newSelection, this, [this] {
        const bool rows = !list_->isEmpty();
        const bool editable = static_cast<bool>(spec_.update);
        change_->setEnabled(editable && rows);
        remove_->setEnabled(editable && rows);
        select_->setEnabled(rows);
        ListKeys keys;
        keys.insert = insert_->isEnabled();
        keys.change = change_->isEnabled();
        keys.remove = remove_->isEnabled();
        keys.select = request() == request::Select && rows;
        keys.locator = list_->hasLocator();
        const QString hint = QString::fromStdString(listKeyHint(keys));
        if (status_->currentMessage() != hint) status_->showMessage(hint);
    });
    return true;
}

} // namespace mvz
