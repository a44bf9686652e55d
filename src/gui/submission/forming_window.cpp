#include "submission/forming_window.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <filesystem>
#include <stdexcept>

#include "base/day_number.h"
#include "base/fixed_text.h"
#include "base/picture.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/table_access.h"
#include "data/tables.h"
#include "print/page_a_print.h"
#include "rules/insured_person_checks.h"
#include "setup/initialize.h"
#include "submission/collective.h"
#include "submission/collective_list_window.h"
#include "submission/copy_file_window.h"
#include "submission/form_files.h"
#include "submission/form_id.h"
#include "submission/page_a_window.h"
#include "ui/date_picker.h"
#include "ui/list_report.h"
#include "ui/lookup_drop_list.h"
#include "ui/report_runner.h"
#include "ui/window_button.h"

namespace mvz {

namespace {

// Message boxes through the window's reporter; status texts into its status line.
class StatusLineReporter : public Reporter {
  public:
    StatusLineReporter(Reporter& boxes, QLabel* line) : boxes_(boxes), line_(line) {}
    Button show(const MessageBox& box) override { return boxes_.show(box); }
    void status(const std::string& text) override {
        line_->setText(QString::fromStdString(text).left(80));
    }

  private:
    Reporter& boxes_;
    QLabel* line_;
};

QLineEdit* newEntry(QWidget* parent, int width, const char* objectName, const char* tip,
                    bool digits = true) {
    auto* e = new QLineEdit(parent);
    e->setMaxLength(width);
    e->setObjectName(QString::fromUtf8(objectName));
    e->setToolTip(QString::fromUtf8(tip));
    e->setStatusTip(QString::fromUtf8(tip));
    if (digits)
        e->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
    e->setMaximumWidth(e->fontMetrics().averageCharWidth() * (width + 4) + 12);
    return e;
}

QString digits(int value, int width) {
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

const Picture& datePicture() {
    static const Picture picture = *Picture::parse("@D6.");
    return picture;
}

// A field of the first APLPARAM record, as stored.
std::string parameter(Tables& tables, const char* field) {
    TableAccess& apl = tables.access("APL");
    if (apl.open(true) != result::Ok) return {};
    apl.setOrder(apl.def().primaryKey());
    apl.setStart();
    std::string value;
    if (apl.next() == result::Ok)
        value = std::string(apl.record().text(apl.def().fieldIndex(field)));
    apl.close();
    return value;
}

} // namespace

FormingWindow::FormingWindow(std::unique_ptr<Tables> tables, QWidget* parent)
    : ProcedureWindow(*tables, parent), owned_(std::move(tables)) {}

FormingWindow::~FormingWindow() {
    endBeforeTables();
}

QLineEdit* FormingWindow::entry(FormingField field) const {
    switch (field) {
    case FormingField::Sequence:
        return sequence_;
    case FormingField::Type:
        return type_;
    case FormingField::Year:
        return year_;
    case FormingField::Month:
        return month_;
    case FormingField::FirstDay:
        return firstDay_;
    case FormingField::LastDay:
        return lastDay_;
    case FormingField::PayYear:
        return payYear_;
    case FormingField::PayMonth:
        return payMonth_;
    case FormingField::None:
        break;
    }
    return nullptr;
}

bool FormingWindow::init() {
    if (!ProcedureWindow::init()) return false;
    setObjectName(QStringLiteral("forming"));
    setWindowTitle(QString::fromUtf8(kFormingTitle));

    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    left->addWidget(buildPreparation());
    left->addWidget(buildSending());
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setFrameShape(QFrame::Panel);
    status_->setFrameShadow(QFrame::Sunken);
    status_->setMinimumWidth(status_->fontMetrics().averageCharWidth() * 80);
    left->addWidget(status_);
    left->addStretch(1);
    layout->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    process_ =
        windowButton("&Obrada obveznika", "Formiranje obrasca i datoteke za obveznika", this);
    check_ = windowButton("&Provjera obrade za obveznika", "Pregled stranice A obrasca", this);
    copy_ = windowButton("Prijepis file-a", "Prijepis datoteke obveznika na disketu", this);
    hash_ =
        windowButton("&Odredi zbirni HASH", "Spajanje datoteka u zbirnu datoteku ZOVAK.MZ0", this);
    list_ = windowButton("Obrađeni obveznici", "Popis obveznika i datoteka za zbirno slanje", this);
    print_ = windowButton("&Ispis A stranica", "Ispis stranica A obrađenih obveznika", this);
    guide_ = windowButton("&Uputa za obradu", "Upute za rad", this);
    close_ = windowButton("&Zatvori", "Zatvori prozor", this);
    for (QPushButton* b : {process_, check_, copy_, hash_, list_, print_, guide_}) {
        right->addWidget(b);
    }
    right->addStretch(1);
    right->addWidget(close_);
    layout->addLayout(right);

    setCancelControl(close_);
    setHelpControl(guide_);
    setDefaultControl(process_);
    onAccepted(process_, [this] { process(); });
    onAccepted(check_, [this] { checkForm(); });
    onAccepted(copy_, [this] { copyPayerFile(); });
    onAccepted(hash_, [this] { collectiveHash(); });
    onAccepted(list_, [this] { showCollectiveList(); });
    onAccepted(print_, [this] { printPagesA(); });
    setFirstField(payers_);

    // Unset parameters are corrected first: the defaults wait until then.
    if (trim(parameter(tables(), "JMBG")) == kPlaceholderIdentifier) {
        say("Obavezno ispravite podatke o ovlaštenoj osobi. | Izmjenu izvršite kroz "
            "Servisi/Aplikacijski parametri");
    } else {
        setDefaults();
    }
    return true;
}

QWidget* FormingWindow::buildPreparation() {
    auto* group =
        new QGroupBox(QStringLiteral("Priprema i formiranje podataka za slanje u ZOVAK"), this);
    auto* form = new QFormLayout(group);

    payers_ = new LookupDropList(tables().access("POS"), group);
    payers_->setObjectName(QStringLiteral("payers"));
    payers_->setOrder("KEYREDBROJ");
    payers_->addDisplayField("POS:NAZIV", "@s50");
    payers_->setToolTip(QStringLiteral("Naziv obveznika"));
    payers_->setMinimumContentsLength(30);
    payers_->refill();
    payers_->setCurrentIndex(-1);
    connect(payers_, &QComboBox::activated, this, [this](int index) { choosePayer(index); });
    payerNumber_ = new QLabel(group);
    payerNumber_->setObjectName(QStringLiteral("payerNumber"));
    sequence_ = newEntry(group, 4, "sequence", "Redni broj obrasca obveznika (1 do 9899)");
    auto* payerRow = new QHBoxLayout;
    payerRow->addWidget(payers_, 1);
    payerRow->addWidget(payerNumber_);
    payerRow->addWidget(new QLabel(QStringLiteral("Identifikator"), group));
    payerRow->addWidget(sequence_);
    form->addRow(QStringLiteral("Naziv obveznika :"), payerRow);

    type_ = newEntry(group, 2, "type", "Vrsta obračuna/ispravka", false);
    types_ = new LookupDropList(tables().access("VUP"), group);
    types_->setObjectName(QStringLiteral("types"));
    types_->setOrder("KEYSIFRA");
    types_->addDisplayField("VUP:SIFRA");
    types_->setToolTip(QStringLiteral("Šifra"));
    types_->refill();
    types_->setCurrentIndex(-1);
    connect(types_, &QComboBox::activated, this, [this](int index) {
        type_->setText(QString::fromStdString(types_->entryValue(index, "VUP:SIFRA")));
        typeLeft();
    });
    typeText_ = new QLabel(group);
    typeText_->setObjectName(QStringLiteral("typeText"));
    typeText_->setWordWrap(true);
    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(type_);
    typeRow->addWidget(types_);
    typeRow->addWidget(typeText_, 1);
    form->addRow(QStringLiteral("Vrsta obračuna/ispravka :"), typeRow);

    auto pair = [&](const char* prompt, QLineEdit* a, const char* second, QLineEdit* b) {
        auto* row = new QHBoxLayout;
        row->addWidget(a);
        row->addWidget(new QLabel(QString::fromUtf8(second), group));
        row->addWidget(b);
        row->addStretch(1);
        form->addRow(QString::fromUtf8(prompt), row);
    };
    year_ = newEntry(group, 4, "year", "Obračunska godina");
    month_ = newEntry(group, 2, "month", "Obračunski mjesec");
    pair("Obračunska godina :", year_, "mjesec", month_);
    firstDay_ = newEntry(group, 2, "firstDay", "Prvi dan razdoblja");
    lastDay_ = newEntry(group, 2, "lastDay", "Zadnji dan razdoblja");
    pair("Za razdoblje od", firstDay_, "do", lastDay_);
    payYear_ = newEntry(group, 4, "payYear", "Godina isplate plaće");
    payMonth_ = newEntry(group, 2, "payMonth", "Mjesec isplate plaće");
    pair("Isplata plaće: godina :", payYear_, "mjesec", payMonth_);

    date_ = newEntry(group, 10, "sendingDate", "Datum slanja", false);
    auto* pick = new QPushButton(QStringLiteral("..."), group);
    pick->setObjectName(QStringLiteral("pickDate"));
    pick->setToolTip(QStringLiteral("Izbor datuma"));
    pick->setMaximumWidth(pick->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    connect(pick, &QPushButton::clicked, this, [this] { pickDate(); });
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(date_);
    dateRow->addWidget(pick);
    dateRow->addStretch(1);
    form->addRow(QStringLiteral("Datum slanja :"), dateRow);

    for (QLineEdit* e : {sequence_, year_, month_, firstDay_, lastDay_, payYear_, payMonth_})
        connect(e, &QLineEdit::editingFinished, this, [this, e] {
            if (e->isModified()) fieldLeft(e);
        });
    connect(type_, &QLineEdit::editingFinished, this, [this] {
        if (type_->isModified()) typeLeft();
    });
    connect(date_, &QLineEdit::editingFinished, this, [this] {
        if (!date_->isModified()) return;
        date_->setModified(false);
        if (!datePicture().readDate(date_->text().toStdString())) say("Pogrešan datum", date_);
    });
    return group;
}

QWidget* FormingWindow::buildSending() {
    auto* group = new QGroupBox(QStringLiteral("Formiranje datoteke za ZOVAK"), this);
    auto* form = new QFormLayout(group);
    single_ = new QRadioButton(QStringLiteral("Pojedinačno slanje"), group);
    collective_ = new QRadioButton(QStringLiteral("Zbirno slanje"), group);
    modes_ = new QButtonGroup(this);
    modes_->addButton(single_);
    modes_->addButton(collective_);
    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(single_);
    modeRow->addWidget(collective_);
    modeRow->addStretch(1);
    form->addRow(QStringLiteral("Način dostave podataka: "), modeRow);

    jobBox_ = new QWidget(group);
    newFile_ = new QRadioButton(QStringLiteral("Novi file"), jobBox_);
    addToFile_ = new QRadioButton(QStringLiteral("Dodaj u file"), jobBox_);
    jobs_ = new QButtonGroup(this);
    jobs_->addButton(newFile_);
    jobs_->addButton(addToFile_);
    newFile_->setChecked(true);
    auto* jobRow = new QHBoxLayout(jobBox_);
    jobRow->setContentsMargins(0, 0, 0, 0);
    jobRow->addWidget(new QLabel(QStringLiteral("Izbor posla"), jobBox_));
    jobRow->addWidget(newFile_);
    jobRow->addWidget(addToFile_);
    jobRow->addStretch(1);
    form->addRow(jobBox_);
    jobBox_->setVisible(false);
    connect(modes_, &QButtonGroup::buttonToggled, this, [this] { sendingModeChanged(); });

    printFlag_ =
        newEntry(group, 1, "printFlag", "Ispis kontrolnog broja na stranici A (D/N)", false);
    printFlag_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[DNdn]?")), printFlag_));
    form->addRow(QStringLiteral("Ispis kontrolnog broja D/N"), printFlag_);
    return group;
}

void FormingWindow::setDefaults() {
    const CivilDate today = civilDate(todayDayNumber());
    year_->setText(QString::number(today.year));
    month_->setText(digits(today.month, 2));
    payYear_->setText(QString::number(today.year));
    payMonth_->setText(digits(today.month, 2));
    firstDay_->setText(QStringLiteral("00"));
    lastDay_->setText(QStringLiteral("00"));
    date_->setText(QString::fromStdString(datePicture().format(todayDayNumber())));
    printFlag_->setText(QStringLiteral("D"));
}

void FormingWindow::choosePayer(int index) {
    if (index < 0) return;
    payer_ = std::atoi(payers_->entryValue(index, "POS:REDBROJ").c_str());
    payerNumber_->setText(digits(payer_, 3));
    const int last = std::atoi(payers_->entryValue(index, "POS:IDENTIFIKATOR").c_str());
    sequence_->setText(digits(last + 1, 4));
}

void FormingWindow::typeLeft() {
    type_->setModified(false);
    const std::string code = type_->text().trimmed().toStdString();
    typeText_->setText(QString::fromStdString(shortDescription(tables().access("VUP"), code)));
    types_->showValue("VUP:SIFRA", code);
}

FormingFields FormingWindow::fields() const {
    FormingFields f;
    f.payer = payer_;
    f.sequence = sequence_->text().toStdString();
    f.type = type_->text().toStdString();
    f.year = year_->text().toStdString();
    f.month = month_->text().toStdString();
    f.firstDay = firstDay_->text().toStdString();
    f.lastDay = lastDay_->text().toStdString();
    f.payYear = payYear_->text().toStdString();
    f.payMonth = payMonth_->text().toStdString();
    f.sendingDate = datePicture().readDate(date_->text().toStdString()).value_or(0);
    f.mode = single_->isChecked()       ? SendingMode::Single
             : collective_->isChecked() ? SendingMode::Collective
                                        : SendingMode::Unset;
    f.job = addToFile_->isChecked() ? CollectiveJob::AddToFile : CollectiveJob::NewFile;
    return f;
}

void FormingWindow::fieldLeft(QLineEdit* editor) {
    editor->setModified(false);
    for (FormingField f :
         {FormingField::Sequence, FormingField::Year, FormingField::Month, FormingField::FirstDay,
          FormingField::LastDay, FormingField::PayYear, FormingField::PayMonth})
        if (entry(f) == editor) {
            const std::string message = checkFormingField(fields(), f);
            if (!message.empty()) say(message, editor);
            return;
        }
}

void FormingWindow::pickDate() {
    const std::int32_t start = datePicture().readDate(date_->text().toStdString()).value_or(0);
    if (std::optional<std::int32_t> day = mvz::pickDate(this, start))
        date_->setText(QString::fromStdString(datePicture().format(*day)));
}

void FormingWindow::sendingModeChanged() {
    jobBox_->setVisible(collective_->isChecked());
}

void FormingWindow::say(const std::string& text, QWidget* focus) {
    MessageBox box;
    box.title = kFormingTitle;
    box.text = messageBoxText(text);
    box.icon = MessageIcon::Exclamation;
    errors().reporter().show(box);
    if (focus) {
        focus->setFocus(Qt::OtherFocusReason);
        if (auto* e = qobject_cast<QLineEdit*>(focus)) e->selectAll();
    }
}

std::string FormingWindow::linkKey() const {
    const FormingFields f = fields();
    try {
        return FormId{payer_, std::atoi(f.sequence.c_str()), std::string(trim(f.type))}.linkKey();
    } catch (const std::out_of_range&) {
        return {};
    }
}

void FormingWindow::process() {
    if (payer_ <= 0) return say("Obavezno izaberite obveznika", payers_);
    if (datePicture().readDate(date_->text().toStdString()).value_or(0) == 0)
        return say("Pogrešan datum", date_);
    FormingRequest request;
    const FormingFieldCheck check = formingRequestOf(fields(), request);
    if (!check.message.empty()) return say(check.message, entry(check.field));

    const std::string dataDir = tables().storage().dataDir();
    StatusLineReporter gui(errors().reporter(), status_);
    FormingResult result;
    try {
        runWithProgress(this, gui, QString::fromUtf8(kFormingTitle), [&](Reporter& reporter) {
            ErrorReporter runErrors(reporter);
            runErrors.addMessages(standardMessages());
            Tables runTables(dataDir, runErrors);
            result = formPayer(runTables, request);
        });
    } catch (const std::exception& e) {
        say(std::string("Greška pri formiranju: ") + e.what());
        return;
    }
    last_ = result;
    if (!result.done) return;
    // The next payers of a new collective list are added to it.
    if (request.mode == SendingMode::Collective && request.job == CollectiveJob::NewFile) {
        addToFile_->setChecked(true);
        single_->setEnabled(false);
        newFile_->setEnabled(false);
    }
    payers_->refill(); // the payer's last sequence number moved on
    offerCopy(tables(), CopyOffer::PayerFormed, result.payerFile, result.mz0Target, this);
}

void FormingWindow::checkForm() {
    const std::string key = linkKey();
    TableAccess& a = tables().access("A");
    bool found = false;
    if (!key.empty() && a.open() == result::Ok) {
        a.record().clear();
        a.record().setText(a.def().fieldIndex("KONVEZA"), key);
        found = a.fetch(a.def().keyIndex("KEYIDENTIKATOR")) == result::Ok;
        a.close();
    }
    if (!found) {
        const int sequence = std::atoi(sequence_->text().toStdString().c_str());
        say("Nema obrasca broj " + digits(sequence, 4).toStdString() + " za firmu " +
            digits(payer_, 3).toStdString());
        return;
    }
    runPageAWindow(tables(), key);
}

void FormingWindow::copyPayerFile() {
    const FormFiles files =
        formFiles(tables(), payer_, std::atoi(sequence_->text().toStdString().c_str()));
    std::error_code ec;
    if (payer_ <= 0 || !std::filesystem::is_regular_file(files.payerFile, ec))
        return say("File: " + files.payerFile + " nije pronađen");
    offerCopy(tables(), CopyOffer::PayerFile, files.payerFile, files.mz0Target, this);
}

void FormingWindow::collectiveHash() {
    const std::int32_t date = datePicture().readDate(date_->text().toStdString()).value_or(0);
    if (date == 0) return say("Pogrešan datum", date_);
    const std::string dataDir = tables().storage().dataDir();
    StatusLineReporter gui(errors().reporter(), status_);
    CollectiveResult result;
    try {
        runWithProgress(this, gui, QString::fromUtf8(kFormingTitle), [&](Reporter& reporter) {
            ErrorReporter runErrors(reporter);
            runErrors.addMessages(standardMessages());
            Tables runTables(dataDir, runErrors);
            result = CollectiveHash(runTables, date);
        });
    } catch (const std::exception& e) {
        say(std::string("Greška pri spajanju datoteka: ") + e.what());
        return;
    }
    if (!result.done) return;
    status_->setText(QString::fromStdString("Zbirni HASH: " + result.controlMark));
    offerCopy(tables(), CopyOffer::CollectiveFormed, result.file,
              formFiles(tables(), payer_, 0).mz0Target, this);
}

void FormingWindow::showCollectiveList() {
    WindowHost* host = WindowHost::of(this);
    QWidget* list = createCollectiveList(tables().storage().dataDir(), errors());
    if (!list) return;
    if (host)
        host->openChild(list);
    else
        list->show();
}

void FormingWindow::printPagesA() {
    const PageAMode mode = printFlag_->text().trimmed().toUpper() == QLatin1String("N")
                               ? PageAMode::WithoutControlCode
                               : PageAMode::WithControlCode;
    printList(this, tables().storage().dataDir(), errors(),
              [mode](Tables& t, const std::string&, Reporter& reporter) {
                  return printPagesAOfRun(t, mode, reporter);
              });
}

QWidget* createFormingWindow(const WindowContext& context) {
    auto* window = new FormingWindow(std::make_unique<Tables>(context.dataDir, context.errors));
    if (!window->start()) return nullptr; // it deletes itself
    return window;
}

} // namespace mvz
