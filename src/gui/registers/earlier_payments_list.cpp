#include "registers/earlier_payments_list.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/tables.h"
#include "registers/page_b_windows.h"
#include "ui/browse_list.h"

namespace mvz {

namespace {

QPushButton* button(const QString& caption, const QString& tip, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setToolTip(tip);
    b->setStatusTip(tip);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

} // namespace

EarlierPaymentsList::EarlierPaymentsList(Tables& tables, std::function<std::string()> identifier,
                                         QWidget* parent)
    : QWidget(parent), tables_(tables) {
    setObjectName(QStringLiteral("earlierPayments"));
    list_ = new BrowseList(tables, "OSI", this);
    list_->setFormat("30R(2)|M~Godina~C@N04@"
                     "28R(2)|M~Mjesec~C@N02@"
                     "18R(2)|M~Od~C@N02@"
                     "18R(2)|M~Do~C@N02@"
                     "16C|M~OO~@s2@"
                     "12C|M~B~@s1@"
                     "56R(2)|M~Bruto iznos~C@n-13.2@"
                     "56R(2)|M~Osnovica~C@n-13.2@"
                     "56R(2)|M~Iznos I. stupa~C@n-13.2@"
                     "56R(2)|M~Iznos II. stupa~C@n-13.2@"
                     "56R(2)|M~Neto~C@n-13.2@");
    for (const char* field :
         {"OSI:GODOBRA", "OSI:OBRMJE", "OSI:OBRRAZD1", "OSI:OBRRAZD2", "OSI:OSNOVA1", "OSI:OSNOVA3",
          "OSI:IZNOS7", "OSI:IZNOS8", "OSI:IZNOS9", "OSI:IZNOS10", "OSI:IZNOS11"})
        list_->addField(field);
    // The person's rows: the identifier fixes the first component of the key.
    const int byPerson = list_->addSortOrder("KEYJMBG");
    list_->setRange(byPerson, {RangeValue{std::move(identifier)}});

    open_ = button(QStringLiteral("&Otvori"), QStringLiteral("Pregled i promjena označene uplate"),
                   this);
    delete_ = button(QStringLiteral("&Delete"), QStringLiteral("Brisanje označene uplate"), this);
    BrowseList::Buttons buttons;
    buttons.change = open_;
    buttons.remove = delete_;
    list_->setButtons(buttons);
    list_->setUpdateProcedure([this] { return runPageBRow(tables_); });
    // The buttons act on a highlighted row.
    connect(list_, &BrowseList::newSelection, this, [this] {
        const bool rows = !list_->isEmpty();
        open_->setEnabled(rows);
        delete_->setEnabled(rows);
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_, 1);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(open_);
    row->addWidget(delete_);
    layout->addLayout(row);
}

void EarlierPaymentsList::showPerson() {
    list_->resetRange();
}

} // namespace mvz
