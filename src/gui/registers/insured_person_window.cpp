#include "registers/insured_person_window.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

#include "codes/control_table_window.h"
#include "data/error_reporter.h"
#include "data/table_access.h"
#include "data/tables.h"
#include "registers/earlier_payments_list.h"
#include "ui/lookup_drop_list.h"
#include "ui/record_form.h"
#include "ui/window_button.h"
#include "ui/window_host.h"

namespace mvz {

namespace {

const char* fieldOf(PersonField f) {
    switch (f) {
    case PersonField::Identifier:
        return "RAD:JMBG";
    case PersonField::Membership:
        return "RAD:CLANDN";
    case PersonField::Year:
        return "RAD:GODOBRA";
    case PersonField::Month:
        return "RAD:MJEOBRA";
    case PersonField::DayFrom:
        return "RAD:ODDANA";
    case PersonField::DayTo:
        return "RAD:DODANA";
    case PersonField::Gross:
        return "RAD:IZNOS7";
    case PersonField::Base:
        return "RAD:IZNOS8";
    case PersonField::Pillar1:
        return "RAD:IZNOS9";
    case PersonField::Pillar2:
        return "RAD:IZNOS10";
    case PersonField::Net:
        return "RAD:IZNOS11";
    case PersonField::None:
        break;
    }
    return nullptr;
}

const char* const kAmountPicture = "@N-_15`2";

// The code tables whose descriptions the window shows and whose drop lists it offers.
const char* const kCodeTables[] = {"VUP", "TBO", "STA", "VOB", "STO1"};

} // namespace

InsuredPersonWindow::InsuredPersonWindow(Tables& tables, const Record& employer,
                                         std::optional<CopiedPerson> copy, QWidget* parent)
    : ProcedureWindow(tables, parent), employer_(employer), copy_(std::move(copy)) {}

InsuredPersonWindow::~InsuredPersonWindow() = default;

bool InsuredPersonWindow::init() {
    if (!ProcedureWindow::init()) return false;
    setPrimary("RAD");
    setObjectName(QStringLiteral("insuredPerson"));
    switch (request()) {
    case request::Insert:
        setWindowTitle(QStringLiteral("Dodavanje podataka"));
        break;
    default:
        setWindowTitle(QStringLiteral("Promjena podataka"));
        break;
    }
    for (const char* table : kCodeTables)
        tables().access(table).open();
    tablesOpen_ = true;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(addFormToolbar());
    auto* group = new QGroupBox(QStringLiteral("PODACI O OSIGURANIKU I ZADNJOJ UPLATI"), this);
    auto* groupLayout = new QVBoxLayout(group);
    buildForm(group);
    groupLayout->addWidget(form());
    layout->addWidget(group);

    auto* earlierGroup = new QGroupBox(QStringLiteral("RANIJE UPLATE"), this);
    auto* earlierLayout = new QVBoxLayout(earlierGroup);
    earlier_ = new EarlierPaymentsList(
        tables(),
        [this] {
            const Record& r = primary().record();
            return r.display(r.def().fieldIndex("JMBG"));
        },
        earlierGroup);
    earlierLayout->addWidget(earlier_);
    layout->addWidget(earlierGroup, 1);

    auto* row = new QHBoxLayout;
    control_ = windowButton("Kontrola", "Pregled kontrolne tablice", this);
    save_ = windowButton("&Spremi", "Spremi podatke", this);
    cancel_ = windowButton("&Odustani", "Odustani bez spremanja", this);
    help_ = windowButton("Upu&te", "", this);
    if (WindowHost* host = WindowHost::of(this)) help_->setIcon(host->icon("HELP"));
    row->addWidget(control_);
    row->addStretch(1);
    row->addWidget(save_);
    row->addWidget(cancel_);
    row->addWidget(help_);
    layout->addLayout(row);

    setHelpControl(help_);
    setOkControl(save_);
    setCancelControl(cancel_);
    onAccepted(control_, [this] { openControlTable(); });
    addBrowse(earlier_->list(), help_);
    return true;
}

void InsuredPersonWindow::buildForm(QWidget* parent) {
    auto* form = new RecordForm(primary(), errors(), parent, &tables());
    setForm(form);

    FormField number = lineField("RAD:REDBROJ", "Redni broj poslodavca :", "@N03");
    number.readOnly = true;
    QWidget* numberEditor = form->addField(number);
    employerName_ = new QLabel(form);
    employerName_->setText(
        QString::fromStdString(employer_.display(employer_.def().fieldIndex("NAZIV"))).trimmed());
    form->addBeside(numberEditor, employerName_);

    QWidget* id = form->addField(lineField(
        "RAD:JMBG", "Identifikacijski broj osiguranika :", "@s13", "JMBG ili OIB osiguranika"));
    form->addField(
        lineField("RAD:PREZIME", "Prezime i ime :", "@s60", "Prezime i ime osiguranika"));
    FormField municipality =
        lineField("RAD:OPCINA", "Općina prebivališta :", "@s4", "Šifra općine");
    municipality.digitsOnly = true;
    QWidget* municipalityCode = form->addField(municipality);
    municipalities_ = new LookupDropList(tables().access("OPC"), form);
    municipalities_->setObjectName(QStringLiteral("municipalities"));
    municipalities_->setOrder("KEYNAZIV");
    municipalities_->addDisplayField("OPC:NAZIV");
    municipalities_->setToolTip(QStringLiteral("Odaberite općinu po nazivu"));
    municipalities_->refill();
    form->addBeside(municipalityCode, municipalities_);
    connect(municipalities_, &QComboBox::activated, this, [this](int index) {
        Record& r = primary().record();
        const std::string code = municipalities_->entryValue(index, "OPC:SIFRA");
        if (!code.empty()) r.setFromDisplay(r.def().fieldIndex("OPCINA"), code);
        this->form()->displayField("RAD:OPCINA");
    });

    FormField member{"RAD:CLANDN",
                     QStringLiteral("Član obveznom mirovinskog fonda"),
                     "@s1",
                     QStringLiteral("Osoba je član obveznog mirovinskog fonda (D/N)"),
                     FormField::Kind::Choice,
                     {QStringLiteral("D"), QStringLiteral("N")}};
    form->addField(member);
    FormField payerType = lineField("RAD:VRSOBV", "Vrsta obveznika :", "@s2", "Vrsta obveznika");
    payerType.readOnly = true; // the employer's
    QWidget* payerTypeEditor = form->addField(payerType);
    auto* payerTypeText = new QLabel(form);
    form->addBeside(payerTypeEditor, payerTypeText);
    described_.push_back({"RAD:VRSOBV", "VOB", payerTypeText, nullptr});

    // A code typed or chosen from its table's drop list, its description beside it.
    auto code = [&](const char* field, const char* prompt, const char* picture, const char* tip,
                    const char* table) {
        QWidget* editor = form->addField(lineField(field, prompt, picture, tip));
        auto* drop = new LookupDropList(tables().access(table), form);
        drop->setObjectName(QString::fromUtf8(field) + QStringLiteral("-list"));
        drop->setOrder("KEYSIFRA");
        drop->addDisplayField(std::string(table) + ":SKROPIS");
        drop->setToolTip(QString::fromUtf8(tip));
        drop->setMinimumContentsLength(22);
        drop->refill();
        form->addBeside(editor, drop);
        described_.push_back({field, table, nullptr, drop});
        connect(drop, &QComboBox::activated, this, [this, drop, field, table](int index) {
            Record& r = primary().record();
            r.setFromDisplay(r.def().fieldIndex(field),
                             drop->entryValue(index, std::string(table) + ":SIFRA"));
            this->form()->displayField(field);
            showDescriptions();
        });
    };
    code("RAD:VRSTAUPLA", "Vrsta obračuna/ispravka :", "@s2", "Vrsta obračuna ili ispravka", "VUP");
    code("RAD:OSNOVA1", "Osnov osiguranja :", "@s2", "Osnov osiguranja", "TBO");
    code("RAD:OSNOVA3", "Staž s uvećanim trajanjem :", "@s1", "Oznaka staža s uvećanim trajanjem",
         "STA");

    form->newColumn();
    form->addFields({
        lineField("RAD:GODOBRA", "Obračunska godina :", "@N04", "Godina za koju je obračun"),
        lineField("RAD:MJEOBRA", "Obračunski mjesec :", "@N02", "Mjesec za koji je obračun"),
        lineField("RAD:ODDANA", "Razdoblje od (dan) :", "@N02", "Prvi dan razdoblja"),
        lineField("RAD:DODANA", "Razdoblje do (dan) :", "@N02", "Zadnji dan razdoblja"),
        lineField("RAD:IZNOS7", "Iznos obračunane plaće/naknade/dohotka :", kAmountPicture),
        lineField("RAD:IZNOS8", "Iznos osnovice za obračun doprinosa :", kAmountPicture),
        lineField("RAD:IZNOS9", "Doprinosi za I. stup mirovinskog osiguranja :", kAmountPicture),
        lineField("RAD:IZNOS10", "Doprinosi za II. stup mirovinskog osiguranja :", kAmountPicture),
        lineField("RAD:IZNOS11", "Neto iznos :", kAmountPicture),
    });
    for (const char* f : {"RAD:IZNOS9", "RAD:IZNOS10"})
        form->editor(f)->installEventFilter(this);

    connect(form, &RecordForm::left, this, [this](QWidget* editor) { fieldLeft(editor); });
    setFirstField(id);
    for (QWidget* editor : form->editors())
        if (auto* l = qobject_cast<QLineEdit*>(editor); l && !l->isReadOnly()) addHistory(l);
}

void InsuredPersonWindow::kill() {
    if (tablesOpen_) {
        for (const char* table : kCodeTables)
            tables().access(table).close();
        tablesOpen_ = false;
    }
    ProcedureWindow::kill();
}

QWidget* InsuredPersonWindow::fieldEditor(PersonField field) const {
    const char* name = fieldOf(field);
    return name && form() ? form()->editor(name) : nullptr;
}

QString InsuredPersonWindow::description(const char* field) const {
    for (const Described& d : described_)
        if (std::string_view(d.field) == field)
            return d.label ? d.label->text() : d.drop->currentText().trimmed();
    return {};
}

int InsuredPersonWindow::primeFields() {
    int r = ProcedureWindow::primeFields();
    if (r != 0 || request() != request::Insert) return r;
    primeNewEmployee(primary().record(), employer_, copy_,
                     copy_ ? std::string() : seatMunicipality(tables()));
    return 0;
}

void InsuredPersonWindow::display() {
    ProcedureWindow::display();
    const Record& r = primary().record();
    municipalities_->showValue("OPC:SIFRA", r.display(r.def().fieldIndex("OPCINA")));
    showDescriptions();
}

void InsuredPersonWindow::showDescriptions() {
    const Record& r = primary().record();
    for (const Described& d : described_) {
        const int f = r.def().fieldIndex(d.field);
        if (d.label) {
            const std::string code(r.text(f));
            d.label->setText(
                QString::fromStdString(shortDescription(tables().access(d.table), code)));
        } else {
            // A code the table does not have leaves the description blank.
            d.drop->showValue(std::string(d.table) + ":SIFRA", r.display(f));
        }
    }
}

void InsuredPersonWindow::show(const EntryOutcome& outcome) {
    for (const std::string& text : outcome.messages) {
        MessageBox box;
        box.text = messageBoxText(text);
        box.icon = MessageIcon::Exclamation;
        errors().reporter().show(box);
    }
    if (QWidget* editor = fieldEditor(outcome.focus)) {
        editor->setFocus(Qt::OtherFocusReason);
        if (auto* l = qobject_cast<QLineEdit*>(editor)) l->selectAll();
    }
}

void InsuredPersonWindow::fieldLeft(QWidget* editor) {
    Record& row = primary().record();
    const QString name = editor->objectName();
    if (name == QLatin1String("RAD:JMBG")) {
        const EntryOutcome outcome = identifierLeft(row);
        if (outcome.proceed) {
            form()->displayField("RAD:JMBG");
            earlier_->showPerson();
        }
        show(outcome);
    } else if (name == QLatin1String("RAD:OPCINA")) {
        municipalities_->showValue("OPC:SIFRA", row.display(row.def().fieldIndex("OPCINA")));
    } else if (name == QLatin1String("RAD:VRSTAUPLA") || name == QLatin1String("RAD:OSNOVA1") ||
               name == QLatin1String("RAD:OSNOVA3")) {
        showDescriptions();
    } else if (name == QLatin1String("RAD:GODOBRA")) {
        show(yearLeft(form()->editorText(editor).toStdString()));
    } else if (name == QLatin1String("RAD:MJEOBRA")) {
        show(monthLeft(form()->editorText(editor).toStdString()));
    } else if (name == QLatin1String("RAD:ODDANA")) {
        show(dayLeft(row, PersonField::DayFrom));
    } else if (name == QLatin1String("RAD:DODANA")) {
        show(dayLeft(row, PersonField::DayTo));
    } else if (name == QLatin1String("RAD:IZNOS10")) {
        show(pillar2Left(row));
    }
}

bool InsuredPersonWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && form()) {
        if (watched == form()->editor("RAD:IZNOS9")) proposeContribution(Pillar::One);
        if (watched == form()->editor("RAD:IZNOS10")) proposeContribution(Pillar::Two);
    }
    return ProcedureWindow::eventFilter(watched, event);
}

void InsuredPersonWindow::proposeContribution(Pillar pillar) {
    // The proposal reads the base and the codes as they stand in the window.
    form()->storeAll();
    if (!mvz::proposeContribution(tables().access("STO1"), primary().record(), pillar)) return;
    form()->displayField(pillar == Pillar::One ? "RAD:IZNOS9" : "RAD:IZNOS10");
    if (auto* l = qobject_cast<QLineEdit*>(
            form()->editor(pillar == Pillar::One ? "RAD:IZNOS9" : "RAD:IZNOS10")))
        l->selectAll();
}

int InsuredPersonWindow::takeCompleted() {
    const bool saving = request() == request::Insert || request() == request::Change;
    if (!saving) return ProcedureWindow::takeCompleted();
    if (!form()->storeAll()) {
        form()->validateAll(); // shows the field that cannot be read
        return handled::Consumed;
    }
    SaveRequest check;
    check.storedPosition = request() == request::Change ? primary().position() : 0;
    check.yearText = form()->editorText(form()->editor("RAD:GODOBRA")).toStdString();
    check.monthText = form()->editorText(form()->editor("RAD:MJEOBRA")).toStdString();
    const EntryOutcome outcome = checkBeforeSave(tables(), primary().record(), check);
    show(outcome);
    if (!outcome.proceed) {
        PendingNavigation = 0;
        return handled::Consumed;
    }
    form()->displayField("RAD:JMBG"); // its stored form
    return ProcedureWindow::takeCompleted();
}

void InsuredPersonWindow::openControlTable() {
    WindowHost* host = WindowHost::of(this);
    if (!host) return;
    WindowContext context{tables().storage().dataDir(), errors(), *host};
    QWidget* tree = createControlTableWindow(context);
    if (!tree) return;
    // Over this (modal) window, so the clerk can use it before going on.
    tree->setParent(this, Qt::Window);
    tree->setAttribute(Qt::WA_DeleteOnClose);
    tree->show();
}

} // namespace mvz
