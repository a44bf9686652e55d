#include "submission/page_a_window.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

#include "data/error_reporter.h"
#include "data/table_access.h"
#include "data/tables.h"
#include "print/page_a_print.h"
#include "print/page_b_print.h"
#include "registers/page_b_windows.h"
#include "ui/list_report.h"
#include "ui/record_form.h"
#include "ui/window_button.h"
#include "ui/window_host.h"

namespace mvz {

namespace {

FormField field(const char* name, const char* prompt, const char* picture, bool readOnly = false) {
    FormField f{name, QString::fromUtf8(prompt), picture, {}};
    f.readOnly = readOnly;
    return f;
}

} // namespace

PageAWindow::PageAWindow(Tables& tables, std::string linkKey, QWidget* parent)
    : ProcedureWindow(tables, parent), linkKey_(std::move(linkKey)) {}

bool PageAWindow::init() {
    if (!ProcedureWindow::init()) return false;
    setPrimary("A");
    setObjectName(QStringLiteral("pageA"));
    setWindowTitle(QString::fromUtf8(kPageAWindowTitle));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(addFormToolbar());
    auto* form = new RecordForm(primary(), errors(), this, &tables());
    form->addCaption(QStringLiteral("PODACI O OBVEZNIKU"));
    auto* sequence = new QLineEdit(this);
    sequence->setObjectName(QStringLiteral("sequence"));
    sequence->setReadOnly(true);
    sequence->setText(QString::fromStdString(linkKey_.substr(3, 4)));
    form->addRow(QStringLiteral("1. Identifikator obrasca"), sequence);
    form->addField(field("A:OBRGOD", "Godina", "@s4"));
    form->addCaption(QStringLiteral("I. OSNOVNI PODACI"));
    form->addFields({
        // The calculation type is part of the form's name (its link key).
        field("A:VRSUPLA", "3. Vrsta obračuna / ispravke", "@s2", true),
        field("A:OBRMJE", "2. Podaci za obračunski mjesec i godinu", "@s2"),
        field("A:BROJOSIG", "4. Broj osiguranika za koje se podnosi obrazac M-Vz", "@n5"),
        field("A:BROJSTRANA", "5. Broj stranica B koje se prilažu stranici A", "@n5"),
    });
    form->newColumn();
    form->addCaption(QStringLiteral("II. PODACI O OBVEZNIKU UPLATE"));
    form->addFields({
        field("A:JMBG", "1. Identifikacijski broj", "@s13"),
        field("A:NAZIV", "2. Naziv/prezime i ime obevznika ", "@s60"),
        field("A:ADRESA", "3. Adresa obveznika", "@s60"),
        field("A:VRSTOBVEZNIKA", "4. Vrsta obveznika", "@s2"),
    });
    form->addCaption(QStringLiteral("III. KONTROLNI PODACI PO OBVEZNIKU"));
    form->addFields({
        field("A:IZNOS7", "1. Iznos obračunane plaće/naknade/dohotka", "@n-18.2"),
        field("A:IZNOS8", "2. Iznos osnovice za obračun doprinosa", "@n-18.2"),
        field("A:IZNOS9", "3. Iznos obračunanog doprinosa za I. stup", "@n-18.2"),
        field("A:IZNOS10", "4. Iznos obračunanog doprinosa za II. stup", "@n-18.2"),
        field("A:IZNOS11", "6. Iznos isplaćene plaće/naknade/dohotka", "@n-18.2"),
    });
    layout->addWidget(form);
    setForm(form);
    setFirstField(form->editor("A:OBRGOD"));

    pageA_ = windowButton("Stranica &A", "Ispis stranice A s kontrolnim brojem", this);
    pageAPlain_ = windowButton("A bez HASH", "Ispis stranice A bez kontrolnog broja", this);
    pageB_ = windowButton("Stranica &B", "Ispis stranica B po redoslijedu osiguranika", this);
    pageB2_ = windowButton("Stranica B-2", "Ispis stranica B po prezimenu i imenu", this);
    rows_ = windowButton("&Pregled", "Pregled podataka po osiguranicima (stranica B)", this);
    ok_ = windowButton("&U redu", "Spremi promjene stranice A", this);
    close_ = windowButton("&Zatvori", "Zatvori prozor", this);
    auto* row = new QHBoxLayout;
    for (QPushButton* b : {pageA_, pageAPlain_, pageB_, pageB2_, rows_})
        row->addWidget(b);
    row->addStretch(1);
    row->addWidget(ok_);
    row->addWidget(close_);
    layout->addLayout(row);
    setOkControl(ok_);
    setCancelControl(close_);
    onAccepted(pageA_, [this] { printPageA(true); });
    onAccepted(pageAPlain_, [this] { printPageA(false); });
    onAccepted(pageB_, [this] { printPageB(false); });
    onAccepted(pageB2_, [this] { printPageB(true); });
    onAccepted(rows_, [this] { showRows(); });

    return true;
}

int PageAWindow::primeForRequest() {
    if (request() == request::Delete) {
        // The list read the highlighted form; it goes at once (after asking).
        found_ = true;
        return ProcedureWindow::primeForRequest();
    }
    // The form is read before the window takes its reference copy of it.
    TableAccess& a = primary();
    const bool opened = a.open() == result::Ok;
    if (opened) readForm();
    const int r = ProcedureWindow::primeForRequest();
    if (opened) a.close();
    if (!found_)
        for (QPushButton* b : {ok_, pageA_, pageAPlain_, pageB_, pageB2_, rows_})
            b->setEnabled(false);
    return r;
}

bool PageAWindow::readForm(bool quiet) {
    Record& a = primary().record();
    a.clear();
    a.setText(a.def().fieldIndex("KONVEZA"), linkKey_);
    found_ = primary().fetch(a.def().keyIndex("KEYIDENTIKATOR")) == result::Ok;
    if (!found_) {
        a.clear();
        if (!quiet) {
            MessageBox box;
            box.text = missingFormText(linkKey_);
            box.icon = MessageIcon::Exclamation;
            errors().reporter().show(box);
        }
    }
    return found_;
}

void PageAWindow::printPageA(bool withMark) {
    if (!readForm()) return;
    display();
    const std::string key = linkKey_;
    const PageAMode mode = withMark ? PageAMode::WithControlCode : PageAMode::WithoutControlCode;
    printList(this, tables().storage().dataDir(), errors(),
              [key, mode](Tables& t, const std::string&, Reporter& reporter) {
                  return mvz::printPageA(t, key, mode, reporter);
              });
}

void PageAWindow::printPageB(bool byName) {
    if (!readForm()) return;
    display();
    const std::string key = linkKey_;
    const PageBOrder order = byName ? PageBOrder::Names : PageBOrder::Rows;
    printList(this, tables().storage().dataDir(), errors(),
              [key, order](Tables& t, const std::string&, Reporter& reporter) {
                  return mvz::printPageB(t, key, order, reporter);
              });
}

void PageAWindow::showRows() {
    if (!readForm()) return;
    display();
    runPageBList(tables());
}

std::uint8_t runPageAWindow(Tables& tables, const std::string& linkKey) {
    PageAWindow window(tables, linkKey);
    return window.run();
}

} // namespace mvz
