#include "registers/page_b_windows.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include <memory>

#include "data/error_reporter.h"
#include "data/table_access.h"
#include "data/tables.h"
#include "ui/record_form.h"

namespace mvz {

namespace {

const QString kListTitle = QStringLiteral("IV. PODACI PO OSIGURANICIMA (obrazac M Vz - strana B)");
const char* const kRowTitle = "Pregled podataka";
// The form's rows: both orders are limited to the form in the page-A buffer.
const char* const kFormFilter = "(OSI:KonVeza=A:konVeza)";
// The page-B amounts (13 digits, 2 of them decimals) with their sign.
const char* const kAmountPicture = "@N-_15`2";
// The code tables whose texts the row window shows beside the codes.
const char* const kCodeTables[] = {"OPC", "TBO", "STA"};

// A text of the code table's row with the code (its KEYSIFRA); empty when the
// code is not in the table (or the table could not be opened).
QString codeText(TableAccess& codes, std::string_view code, const char* field) {
    if (!codes.isOpen()) return {};
    Record& r = codes.record();
    r.clear();
    r.setText(r.def().fieldIndex("SIFRA"), code);
    if (codes.fetch(codes.def().keyIndex("KEYSIFRA")) != result::Ok) return {};
    return QString::fromStdString(r.display(r.def().fieldIndex(field)));
}

} // namespace

// --- the row window ---

RecordWindowSpec pageBRowSpec() {
    RecordWindowSpec decl;
    decl.table = "OSI";
    decl.insertTitle = decl.changeTitle = decl.deleteTitle = decl.viewTitle =
        QString::fromUtf8(kRowTitle);
    decl.groupCaption = QStringLiteral("PODACI O OSIGURANIKU; PRIHODU I UPLATI");
    decl.okCaption = QStringLiteral("&U redu");
    decl.cancelCaption = QStringLiteral("&Zatvori");
    decl.helpCaption = QStringLiteral("Upu&te");
    // The rows are made by forming; here they are only looked at and corrected.
    decl.allowsInsert = false;
    decl.allowsDelete = false;

    FormField municipality =
        lineField("OSI:OPCINA", "Općina :", "@s4", "Šifra općine/grada prebivališta");
    municipality.digitsOnly = true;
    FormField member{"OSI:CLANDN",
                     QStringLiteral("Osoba je član (OMF D/N)"),
                     "@s1",
                     QStringLiteral("Osoba je član obveznog mirovinskog fonda (D/N)"),
                     FormField::Kind::Choice,
                     {QStringLiteral("D"), QStringLiteral("N")}};
    decl.fields = {
        lineField("OSI:JMBG", "MBG osobe", "@s13",
                  "Identifikacijski broj osiguranika (JMBG ili OIB)"),
        lineField("OSI:PREZIME", "Prezime i ime :", "@s60", "Prezime i ime osiguranika"),
        municipality,
        member,
        lineField("OSI:OSNOVA1", "Osnov obračuna :", "@s2", "Šifra osnove osiguranja"),
        lineField("OSI:OSNOVA3", "Uvećani staž :", "@s1", "Oznaka staža s uvećanim trajanjem"),
        lineField("OSI:GODOBRA", "Godina obračuna :", "@N04", "Godina za koju je obračun"),
        lineField("OSI:OBRMJE", "Mjesec obračuna :", "@N02", "Mjesec za koji je obračun"),
        lineField("OSI:OBRRAZD1", "Razdoblje od :", "@N02", "Prvi dan razdoblja"),
        lineField("OSI:OBRRAZD2", "Razdoblje do :", "@N02", "Zadnji dan razdoblja"),
        lineField("OSI:IZNOS7", "Iznos obračunane plaće/naknade/dohotka :", kAmountPicture),
        lineField("OSI:IZNOS8", "Osnovica za obračun doprinosa za MO :", kAmountPicture),
        lineField("OSI:IZNOS9", "Doprinosi za I. stup MO :", kAmountPicture),
        lineField("OSI:IZNOS10", "Doprinosi za II. stup MO :", kAmountPicture),
        lineField("OSI:IZNOS11", "Neto isplata :", kAmountPicture),
    };
    return decl;
}

PageBRowWindow::PageBRowWindow(Tables& tables, QWidget* parent)
    : RecordWindow(tables, pageBRowSpec(), parent) {}

bool PageBRowWindow::init() {
    if (!RecordWindow::init()) return false;
    setObjectName(QStringLiteral("pageBRow"));
    for (const char* table : kCodeTables)
        if (TableAccess& codes = tables().access(table); codes.open() == result::Ok)
            openCodes_.push_back(&codes);

    RecordForm* form = this->form();
    auto beside = [form](const char* field) {
        auto* label = new QLabel(form);
        label->setObjectName(QString::fromUtf8(field) + QStringLiteral("-text"));
        form->addBeside(form->editor(field), label);
        return label;
    };
    municipality_ = beside("OSI:OPCINA");
    basis_ = beside("OSI:OSNOVA1");
    service_ = beside("OSI:OSNOVA3");
    // Codes, days and amounts as wide as what they hold, not the whole row.
    const int letter = fontMetrics().averageCharWidth();
    for (const char* field : {"OSI:OPCINA", "OSI:OSNOVA1", "OSI:OSNOVA3", "OSI:GODOBRA",
                              "OSI:OBRMJE", "OSI:OBRRAZD1", "OSI:OBRRAZD2"})
        form->editor(field)->setFixedWidth(letter * 8);
    for (const char* field :
         {"OSI:IZNOS7", "OSI:IZNOS8", "OSI:IZNOS9", "OSI:IZNOS10", "OSI:IZNOS11"})
        form->editor(field)->setFixedWidth(letter * 20);

    // The form the row belongs to, by its sequence number: shown only, as the
    // identifier is the form's (page A and all its rows carry it).
    auto* sequenceBox = new QWidget(form);
    auto* sequenceRow = new QHBoxLayout(sequenceBox);
    sequenceRow->setContentsMargins(0, 0, 0, 0);
    sequence_ = new QLineEdit(sequenceBox);
    sequence_->setObjectName(QStringLiteral("OSI:IDENTIFIKATOR"));
    sequence_->setReadOnly(true);
    sequence_->setFocusPolicy(Qt::ClickFocus);
    sequence_->setMaxLength(4);
    sequence_->setFixedWidth(letter * 8);
    sequence_->setToolTip(QStringLiteral("Redni broj obrasca poslodavca"));
    auto* prompt = new QLabel(QStringLiteral("Identifikator:"), sequenceBox);
    sequenceRow->addSpacing(fontMetrics().averageCharWidth() * 2);
    sequenceRow->addWidget(prompt);
    sequenceRow->addWidget(sequence_);
    sequenceRow->addStretch(1);
    form->addBeside(form->editor("OSI:CLANDN"), sequenceBox);

    connect(form, &RecordForm::accepted, this, [this](QWidget* editor) {
        const QString name = editor->objectName();
        if (name == QLatin1String("OSI:OPCINA") || name == QLatin1String("OSI:OSNOVA1") ||
            name == QLatin1String("OSI:OSNOVA3"))
            showDescriptions();
    });
    return true;
}

void PageBRowWindow::kill() {
    for (TableAccess* codes : openCodes_)
        codes->close();
    openCodes_.clear();
    RecordWindow::kill();
}

void PageBRowWindow::display() {
    RecordWindow::display();
    if (!sequence_) return;
    const Record& r = primary().record();
    const QString identifier =
        QString::fromStdString(r.display(r.def().fieldIndex("IDENTIFIKATOR")));
    sequence_->setText(identifier.mid(3, 4));
    showDescriptions();
}

void PageBRowWindow::showDescriptions() {
    const Record& r = primary().record();
    auto code = [&r](const char* field) { return r.text(r.def().fieldIndex(field)); };
    municipality_->setText(codeText(tables().access("OPC"), code("OPCINA"), "NAZIV"));
    basis_->setText(codeText(tables().access("TBO"), code("OSNOVA1"), "SKROPIS"));
    // The mark's short text, its whole description when pointed at.
    service_->setText(codeText(tables().access("STA"), code("OSNOVA3"), "SKROPIS"));
    service_->setToolTip(codeText(tables().access("STA"), code("OSNOVA3"), "OPIS"));
}

QLabel* PageBRowWindow::description(std::string_view field) const {
    if (field == "OSI:OPCINA") return municipality_;
    if (field == "OSI:OSNOVA1") return basis_;
    if (field == "OSI:OSNOVA3") return service_;
    return nullptr;
}

std::uint8_t runPageBRow(Tables& tables) {
    PageBRowWindow window(tables);
    return window.run();
}

// --- the list of a form's rows ---

ListWindowSpec pageBListSpec() {
    ListWindowSpec decl;
    decl.title = kListTitle;
    decl.table = "OSI";
    decl.format = "72L(2)|M~Identifikacijski broj~@s13@"
                  "112L(2)|M~Prezime i ime osiguranika~@s35@"
                  "26L(2)|M~Opcina~@s4@"
                  "20C|M~OMF~@s1@"
                  "16C|M~OO~@s2@"
                  "12C|M~B~@s1@"
                  "16R(2)|M~od~C@N02@"
                  "16R(2)|M~do~C@N02@"
                  "48R(2)|M~Bruto~C@n-13.2@"
                  "48R(2)|M~Osnovica~C@n-13.2@"
                  "48R(2)|M~MO I. stup~C@n-13.2@"
                  "48R(2)|M~MO II. stup~C@n-13.2@"
                  "48R(2)|M~Neto~C@n-13.2@";
    decl.fields = {"OSI:JMBG",    "OSI:PREZIME",  "OSI:OPCINA",   "OSI:CLANDN", "OSI:OSNOVA1",
                   "OSI:OSNOVA3", "OSI:OBRRAZD1", "OSI:OBRRAZD2", "OSI:IZNOS7", "OSI:IZNOS8",
                   "OSI:IZNOS9",  "OSI:IZNOS10",  "OSI:IZNOS11"};
    decl.tabs = {
        {"KEYOBRGODMJE", QStringLiteral("REDOSLIJED: Identifikacijski broj osiguranika"),
         LocatorKind::Incremental, QStringLiteral("Traži se identifikacijski broj:"), kFormFilter},
        {"KEYPREZIME", QStringLiteral("Redoslijed : Prezime i ime"), LocatorKind::Incremental,
         QStringLiteral("Traži se prezime i ime:"), kFormFilter},
    };
    decl.insertButton = {QStringLiteral("&Dodaj"), QStringLiteral("Dodavanje retka stranice B")};
    decl.changeButton = {QStringLiteral("&Otvori"),
                         QStringLiteral("Pregled i promjena označenog retka")};
    decl.removeButton = {QStringLiteral("&Obriši"), QStringLiteral("Brisanje označenog retka")};
    decl.closeButton = {QStringLiteral("&Zatvori"), QStringLiteral("Zatvori prozor")};
    decl.helpButton = {QStringLiteral("Upu&te"), QStringLiteral("Upute za rad")};
    decl.update = runPageBRow;
    return decl;
}

std::uint8_t runPageBList(Tables& tables) {
    PendingRequest = request::View;
    ListWindow window(tables, pageBListSpec());
    window.setObjectName(QString::fromUtf8(kPageBListWindow.data(), kPageBListWindow.size()));
    return window.run();
}

QWidget* createPageBList(const WindowContext& context, const std::string& formLink) {
    auto tables = std::make_unique<Tables>(context.dataDir, context.errors);
    Record& form = tables->access("A").record();
    form.clear();
    form.setFromDisplay(form.def().fieldIndex("KONVEZA"), formLink);
    PendingRequest = request::View;
    auto* window = new ListWindow(std::move(tables), pageBListSpec());
    window->setObjectName(QString::fromUtf8(kPageBListWindow.data(), kPageBListWindow.size()));
    if (!window->start()) return nullptr; // it deletes itself
    return window;
}

std::string lastFormedLink(Tables& tables) {
    TableAccess& rows = tables.access("OSI");
    if (rows.open() != result::Ok) return {};
    rows.setOrder(-1);
    rows.setStart();
    std::string link;
    if (rows.previous() == result::Ok)
        link = rows.record().display(rows.def().fieldIndex("KONVEZA"));
    rows.close();
    return link;
}

void registerPageBWindows(WindowRegistry& registry) {
    registry.registerNamedWindow(kPageBListWindow, [](const WindowContext& context) -> QWidget* {
        std::string link;
        {
            Tables tables(context.dataDir, context.errors);
            link = lastFormedLink(tables);
        }
        if (link.empty()) {
            MessageBox box;
            box.title = kListTitle.toStdString();
            box.text = "Nema formiranih obrazaca: nijedan obrazac još nema redaka stranice B.";
            box.icon = MessageIcon::Exclamation;
            context.errors.reporter().show(box);
            return nullptr;
        }
        return createPageBList(context, link);
    });
}

} // namespace mvz
