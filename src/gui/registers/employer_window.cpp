#include "registers/employer_window.h"

#include <QDate>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "data/error_reporter.h"
#include "data/table_access.h"
#include "data/tables.h"
#include "print/insured_person_list.h"
#include "registers/insured_person_window.h"
#include "rules/employer_checks.h"
#include "rules/register_checks.h"
#include "ui/browse_list.h"
#include "ui/list_report.h"
#include "ui/lookup_drop_list.h"
#include "ui/record_form.h"
#include "ui/window_button.h"
#include "ui/window_host.h"

namespace mvz {

namespace {

const char* const kEmployeeFormat =
    "67L(2)|M~Identifikacijski broj~@s13@146L(2)|M~Prezime i ime~L(3)@s35@"
    "34L(2)|M~Općina~L(4)@s4@31L(2)|M~OMF~@s1@20L(2)|M~OO~@s2@18L(2)|M~ B~@s1@"
    "33R(4)|M~GGGG~C(2)@N04@26R(4)|M~MM~C@N02@22R(5)|M~Od~@N02@8R(3)|M~Do~C(2)@N02@";

const char* const kOwnEmployees = "(RAD:RedBroj=POS:RedBroj)";

const char* fieldOf(EmployerField f) {
    switch (f) {
    case EmployerField::Name:
        return "POS:NAZIV";
    case EmployerField::Address:
        return "POS:ADRESA";
    case EmployerField::Contact:
        return "POS:KONTAKT";
    case EmployerField::PayerType:
        return "POS:VRSTOBVEZNIKA";
    case EmployerField::Identifier:
        return "POS:JMBG";
    case EmployerField::None:
        break;
    }
    return nullptr;
}

} // namespace

EmployerWindow::EmployerWindow(Tables& tables, QWidget* parent) : ProcedureWindow(tables, parent) {}

bool EmployerWindow::init() {
    if (!ProcedureWindow::init()) return false;
    setPrimary("POS");
    setObjectName(QStringLiteral("employer"));
    setWindowTitle(QStringLiteral("Poslodavac i zaposlenici"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(addFormToolbar());
    layout->addWidget(buildEmployerGroup());
    layout->addWidget(buildEmployeeGroup(), 1);

    auto* row = new QHBoxLayout;
    save_ = windowButton("&Spremi", "Spremi podatke o poslodavcu", this);
    cancel_ = windowButton("&Prekini", "Zatvori prozor bez spremanja", this);
    help_ = windowButton("&Upute", "", this);
    if (WindowHost* host = WindowHost::of(this)) help_->setIcon(host->icon("HELP"));
    row->addStretch(1);
    row->addWidget(save_);
    row->addWidget(cancel_);
    row->addWidget(help_);
    layout->addLayout(row);

    setHelpControl(help_);
    setOkControl(save_);
    setCancelControl(cancel_);
    addBrowse(employees_, help_);
    return true;
}

QWidget* EmployerWindow::buildEmployerGroup() {
    auto* group = new QGroupBox(QStringLiteral("Poslodavac"), this);
    auto* groupLayout = new QVBoxLayout(group);
    auto* form = new RecordForm(primary(), errors(), group, &tables());
    const bool adding = request() == request::Insert;

    FormField type = lineField("POS:VRSTOBVEZNIKA", "Vrst obveznika :", "@s2", "Vrsta obveznika");
    type.readOnly = true; // chosen from the payer types below
    QWidget* typeCode = form->addField(type);
    payerTypes_ = new LookupDropList(tables().access("VOB"), form);
    payerTypes_->setObjectName(QStringLiteral("payerTypes"));
    payerTypes_->setOrder({}); // the order the types were entered in
    payerTypes_->addDisplayField("VOB:OPIS", "@s60");
    payerTypes_->addUpdateField("VOB:SIFRA", primary().record(), "POS:VRSTOBVEZNIKA");
    payerTypes_->setToolTip(QStringLiteral("Vrsta obveznika"));
    payerTypes_->refill();
    form->addBeside(typeCode, payerTypes_);
    connect(payerTypes_, &QComboBox::activated, this, [this, form] {
        payerTypes_->take();
        form->displayField("POS:VRSTOBVEZNIKA");
    });

    FormField number = lineField("POS:REDBROJ", "Redni broj :", "@N3_", "Redni broj fimre");
    number.readOnly = !adding; // the number names the employer's forms and employees
    FormField id = lineField("POS:JMBG", "Identifikacijski broj obveznika :", "@s13",
                             "Identifikacijki broj obveznika");
    form->addFields({
        number,
        id,
        lineField("POS:NAZIV", "Naziv poslodavca :", "@s50", "Naziv obveznika"),
        lineField("POS:ADRESA", "Adresa poslodavca:", "@s50", "Adresa obveznika"),
        lineField("POS:KONTAKT", "Kontakt osoba :", "@s50", "Kontakt osoba"),
    });
    form->newColumn();
    form->addFields({
        lineField("POS:TELEFON", "Telefon kontakt osobe :", "@s10", "Broj telefona"),
        lineField("POS:EMAIL", "E-mail adresa:", "@s30", "E-mail adresa"),
        lineField("POS:IDENTIFIKATOR", "Zadnji identifikator :", "@n04", "Identifikator obrasca"),
        lineField("POS:OBRGOD", "Obračunska godina", "@N04", "Obračunaska godina"),
    });
    // The identifier is checked when the clerk leaves it (and again on saving,
    // in the order of the save checks); it then shows in its stored form (an
    // OIB after two blanks).
    connect(form, &RecordForm::left, this, [this, form](QWidget* editor) {
        if (editor != form->editor("POS:JMBG")) return;
        const EmployerCheck check = employerIdentifierLeft(primary().record());
        if (!check.ok) {
            MessageBox box;
            box.text = messageBoxText(check.message);
            box.icon = MessageIcon::Exclamation;
            errors().reporter().show(box);
            editor->setFocus(Qt::OtherFocusReason);
            if (auto* l = qobject_cast<QLineEdit*>(editor)) l->selectAll();
            return;
        }
        form->displayField("POS:JMBG");
    });
    groupLayout->addWidget(form);
    setForm(form);
    setFirstField(adding ? form->editor("POS:REDBROJ") : static_cast<QWidget*>(payerTypes_));
    for (QWidget* editor : form->editors())
        if (auto* l = qobject_cast<QLineEdit*>(editor); l && !l->isReadOnly()) addHistory(l);
    return group;
}

QWidget* EmployerWindow::buildEmployeeGroup() {
    auto* group = new QGroupBox(QStringLiteral("Zaposlenici"), this);
    auto* groupLayout = new QVBoxLayout(group);
    employees_ = new BrowseList(tables(), "RAD", group);
    employees_->setObjectName(QStringLiteral("employees"));
    employees_->setFormat(kEmployeeFormat);
    for (const char* f : {"RAD:JMBG", "RAD:PREZIME", "RAD:OPCINA", "RAD:CLANDN", "RAD:OSNOVA1",
                          "RAD:OSNOVA3", "RAD:GODOBRA", "RAD:MJEOBRA", "RAD:ODDANA", "RAD:DODANA"})
        employees_->addField(f);
    const int byIdentifier = employees_->addSortOrder(
        "KEYRBRFIRME", QStringLiteral("Redoslijed : Identifikacijski broj osiguranika"));
    employees_->setFilter(byIdentifier, kOwnEmployees);
    employees_->setLocator(byIdentifier, LocatorKind::Step);
    const int byName =
        employees_->addSortOrder("KEYPREZIME", QStringLiteral("Redoslijed : Prezime i ime"));
    employees_->setFilter(byName, kOwnEmployees);
    employees_->setLocator(byName, LocatorKind::Step);
    // Room for a page of people under the employer's fields.
    employees_->setMinimumHeight(employees_->fontMetrics().lineSpacing() * 17);
    groupLayout->addWidget(employees_, 1);

    add_ = windowButton("&Dodaj", "Upis novog osiguranika", group);
    open_ = windowButton("&Otvori", "Promjena podataka osiguranika", group);
    remove_ = windowButton("&Obriši", "Obriši označenog osiguranika", group);
    copy_ = windowButton("&Kopiraj", "Novi redak s podacima označenog osiguranika", group);
    print_ = windowButton("&Ispiši", "Ispiši osiguranike na pisač", group);
    auto* row = new QHBoxLayout;
    for (QPushButton* b : {add_, open_, remove_, copy_, print_}) {
        b->setFocusPolicy(Qt::TabFocus);
        row->addWidget(b);
    }
    row->addStretch(1);
    groupLayout->addLayout(row);

    BrowseList::Buttons buttons;
    buttons.insert = add_;
    buttons.change = open_;
    buttons.remove = remove_;
    employees_->setButtons(buttons);
    employees_->setUpdateProcedure([this] { return runPerson(); });
    onAccepted(copy_, [this] { copyPerson(); });
    onAccepted(print_, [this] { printPersons(); });

    // Employees are entered for a saved employer: a new one is saved first.
    const bool saved = request() != request::Insert;
    if (!saved) {
        const QString why = QStringLiteral("Spremite poslodavca prije upisa zaposlenika");
        for (QPushButton* b : {add_, open_, remove_, copy_, print_}) {
            b->setEnabled(false);
            b->setToolTip(why);
        }
    }
    auto follow = [this, saved] {
        const bool rows = saved && !employees_->isEmpty();
        open_->setEnabled(rows);
        remove_->setEnabled(rows);
        copy_->setEnabled(rows);
        print_->setEnabled(rows);
        // Printing lists the employees in identifier order, from the first tab.
        print_->setVisible(employees_->order() == 0);
    };
    connect(employees_, &BrowseList::newSelection, this, follow);
    connect(employees_->tabs(), &QTabBar::currentChanged, this, follow);
    return group;
}

int EmployerWindow::primeFields() {
    int r = ProcedureWindow::primeFields();
    if (r != 0 || request() != request::Insert) return r;
    Record& employer = primary().record();
    // A placeholder the clerk must replace: the save refuses it.
    employer.setText(employer.def().fieldIndex("JMBG"), "0000000000000");
    employer.setInteger(employer.def().fieldIndex("OBRGOD"), QDate::currentDate().year());
    return 0;
}

void EmployerWindow::display() {
    ProcedureWindow::display();
    const Record& r = primary().record();
    payerTypes_->showValue("VOB:SIFRA", r.display(r.def().fieldIndex("VRSTOBVEZNIKA")));
}

int EmployerWindow::takeCompleted() {
    const bool saving = request() == request::Insert || request() == request::Change;
    if (!saving) return ProcedureWindow::takeCompleted();
    form()->storeAll();
    Record& employer = primary().record();
    auto refuse = [this](const std::string& text, const char* field) {
        MessageBox box;
        box.text = messageBoxText(text);
        box.icon = MessageIcon::Exclamation;
        errors().reporter().show(box);
        if (QWidget* editor = field ? form()->editor(field) : nullptr)
            editor->setFocus(Qt::OtherFocusReason);
        PendingNavigation = 0;
        return handled::Consumed;
    };
    if (request() == request::Insert) {
        const std::string why = checkEmployerNumber(
            static_cast<long>(employer.integer(employer.def().fieldIndex("REDBROJ"))));
        if (!why.empty()) return refuse(why, "POS:REDBROJ");
    }
    TableAccess& payerTypes = tables().access("VOB");
    if (payerTypes.open() != result::Ok) return handled::Consumed;
    const EmployerCheck check = checkEmployerBeforeSave(payerTypes, employer);
    payerTypes.close();
    if (!check.ok) return refuse(check.message, fieldOf(check.focus));
    // The identifier in its stored form is what is saved and shown.
    form()->displayField("POS:JMBG");
    return ProcedureWindow::takeCompleted();
}

std::uint8_t EmployerWindow::runPerson() {
    InsuredPersonWindow person(tables(), primary().record(), copied_);
    return person.run();
}

void EmployerWindow::copyPerson() {
    if (!employees_->update()) return;
    copied_ = copiedPersonOf(employees_->table().record());
    employees_->askRecord(request::Insert);
    copied_.reset(); // "&Dodaj" starts from a blank row again
}

void EmployerWindow::printPersons() {
    const long number = static_cast<long>(
        primary().record().integer(primary().record().def().fieldIndex("REDBROJ")));
    printList(this, tables().storage().dataDir(), errors(),
              [number](Tables& t, const std::string& stamp, Reporter& reporter) {
                  return printInsuredPersons(t, number, stamp, reporter);
              });
}

} // namespace mvz
