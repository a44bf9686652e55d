#include "shell/application_parameters_window.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/reporter.h"
#include "data/error_reporter.h"
#include "data/tables.h"

namespace mvz {

namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QFont noteFont() {
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    return f;
}

} // namespace

ApplicationParametersWindow::ApplicationParametersWindow(const std::string& dataDir,
                                                         ErrorReporter& errors, QWidget* parent)
    : ApplicationParametersWindow(std::make_unique<Tables>(dataDir, errors), parent) {}

ApplicationParametersWindow::ApplicationParametersWindow(std::unique_ptr<Tables> tables,
                                                         QWidget* parent)
    : ProcedureWindow(*tables, parent), owned_(std::move(tables)) {
    setAttribute(Qt::WA_DeleteOnClose);
}

ApplicationParametersWindow::~ApplicationParametersWindow() {
    endBeforeTables();
}

bool ApplicationParametersWindow::init() {
    if (!ProcedureWindow::init()) return false;
    setCancelAction(0); // leaving never asks about unsaved changes
    setRequest(request::Change);
    setWindowTitle(qs(ApplicationParameters::kTitle));
    parameters_ = std::make_unique<ApplicationParameters>(tables());
    buildControls();
    setOkControl(save_);
    setCancelControl(cancel_);
    setHelpControl(help_);
    for (const Field& f : fields_)
        if (f.name != QStringLiteral("MZ0")) addHistory(f.edit);
    addFormTarget();
    setFirstField(entry(QStringLiteral("JMBG")));
    connect(qApp, &QApplication::focusChanged, this, &ApplicationParametersWindow::focusChanged);

    parameters_->open();
    towns_ = parameters_->municipalities();
    for (const MunicipalityChoice& m : towns_)
        seat_->addItem(QString::fromStdString(m.name));
    connect(seat_, &QComboBox::activated, this, [this](int index) {
        if (index < 0 || index >= static_cast<int>(towns_.size())) return;
        parameters_->chooseMunicipality(towns_[index]);
        entry(QStringLiteral("SIFSJED"))
            ->setText(QString::fromStdString(parameters_->value("SIFSJED")));
    });
    showRecord();
    if (parameters_->readOnly()) {
        // Another program holds the parameters: they can be looked at only.
        for (const Field& f : fields_)
            f.edit->setReadOnly(true);
        seat_->setEnabled(false);
        save_->setEnabled(false);
        for (QToolButton* b : findChildren<QToolButton*>())
            b->setEnabled(false);
    }
    return true;
}

void ApplicationParametersWindow::kill() {
    if (parameters_) parameters_->close(); // lets APLPARAM go
    ProcedureWindow::kill();
}

void ApplicationParametersWindow::buildControls() {
    // The authorised person and the seat.
    auto* person = new QGroupBox(QStringLiteral("  PODACI O OVLAŠTENOJ OSOBI"), this);
    auto* pg = new QGridLayout(person);
    int row = 0;
    auto addRow = [&](QGridLayout* grid, const QString& prompt, QWidget* w, int span = 2) {
        auto* label = new QLabel(prompt, grid->parentWidget());
        label->setBuddy(w);
        grid->addWidget(label, row, 0);
        grid->addWidget(w, row, 1, 1, span);
        ++row;
    };
    addRow(pg, QStringLiteral("Identifikacijski broj"),
           addEntry(QStringLiteral("JMBG"), 13,
                    QStringLiteral("Identifikacijski broj ovlaštene osobe se obavezno upisuje")));
    addRow(pg, QStringLiteral("Naziv obveznika :"),
           addEntry(QStringLiteral("NAZIV"), 50, QStringLiteral("Naziv servisa")));
    addRow(pg, QStringLiteral("Adresa :"),
           addEntry(QStringLiteral("ADRESA"), 50, QStringLiteral("Adresa servisa")));
    addRow(pg, QStringLiteral("Kontakt osoba :"),
           addEntry(QStringLiteral("KONOSO"), 50, QStringLiteral("Kontak osoba")));
    addRow(pg, QStringLiteral("Telefon :"),
           addEntry(QStringLiteral("TELEFON"), 10, QStringLiteral("Telefon")));
    addRow(pg, QStringLiteral("E-mail adresa"),
           addEntry(QStringLiteral("EMAIL"), 30, QStringLiteral("Email adresa")));
    seat_ = new QComboBox(person);
    seat_->setEditable(false);
    seat_->setToolTip(QStringLiteral("Naziv općine"));
    seat_->setMinimumContentsLength(40);
    seat_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    QLineEdit* code = addEntry(QStringLiteral("SIFSJED"), 4, QStringLiteral("Sjedište firme"));
    code->setMaximumWidth(code->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    {
        auto* label = new QLabel(QStringLiteral("Sjedište :"), person);
        label->setBuddy(seat_);
        pg->addWidget(label, row, 0);
        pg->addWidget(seat_, row, 1);
        pg->addWidget(code, row, 2);
        ++row;
    }
    pg->setColumnStretch(1, 1);

    // The folders.
    auto* folders = new QGroupBox(QStringLiteral("RADNO OKRUŽENJE (pretinci-mape)"), this);
    auto* fg = new QGridLayout(folders);
    row = 0;
    auto addFolder = [&](const QString& name, const QString& prompt, const QString& tip) {
        QLineEdit* edit = addEntry(name, 128, tip);
        auto* label = new QLabel(prompt, folders);
        label->setBuddy(edit);
        auto* choose = new QToolButton(folders);
        choose->setText(QStringLiteral("..."));
        choose->setObjectName(name + QStringLiteral("Chooser"));
        choose->setToolTip(QStringLiteral("Odabir pretinca"));
        connect(choose, &QToolButton::clicked, this,
                [this, edit, prompt] { chooseFolder(edit, prompt); });
        fg->addWidget(label, row, 0);
        fg->addWidget(edit, row, 1);
        fg->addWidget(choose, row, 2);
        ++row;
    };
    addFolder(QStringLiteral("RADDIR"), QStringLiteral("Radni pretinac :"),
              QStringLiteral("Radni direktorij"));
    addFolder(QStringLiteral("ULAZDIR"), QStringLiteral("Ulazni podaci :"),
              QStringLiteral("Direktorij za ulazne datoteke"));
    addFolder(QStringLiteral("IZLAZDIR"), QStringLiteral("Izlazni podaci :"),
              QStringLiteral("Direktorj za izlazne datoteke"));
    addFolder(QStringLiteral("MZ0"), QStringLiteral("MZ0 pretinac :"), QString());
    fg->setColumnStretch(1, 1);

    // How identifiers are written.
    auto* note = new QGroupBox(QStringLiteral("Napomena"), this);
    auto* ng = new QGridLayout(note);
    const char* const pairs[][2] = {{"MBG ili MBS upisati : ", "MBROJXXXXXXXX"},
                                    {"OIB(11) se upisuje :", "XXXXXXXXXXX"},
                                    {"Sistemski broj PU(13) :", "JXXXXXXXXHHHH"},
                                    {"Sitemski broj PU :", "XXXXXXXXXXXXX"}};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 2; ++j) {
            auto* text = new QLabel(QString::fromUtf8(pairs[i][j]), note);
            text->setFont(noteFont());
            ng->addWidget(text, i, j);
        }
    ng->setColumnStretch(2, 1);

    save_ = new QPushButton(QStringLiteral("&Spremi"), this);
    save_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("&Prekini"), this);
    help_ = new QPushButton(QStringLiteral("Upu&te"), this);
    help_->setToolTip(QStringLiteral("Upute za rad"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save_);
    buttons->addWidget(cancel_);
    buttons->addWidget(help_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(person);
    layout->addWidget(folders);
    layout->addWidget(note);
    layout->addLayout(buttons);
}

QLineEdit* ApplicationParametersWindow::addEntry(const QString& name, int width,
                                                 const QString& tip) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setMaxLength(width);
    if (!tip.isEmpty()) edit->setToolTip(tip);
    const int chars = std::min(width, 50);
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QString(chars, QLatin1Char('n'))));
    fields_.push_back({name, edit});
    return edit;
}

QLineEdit* ApplicationParametersWindow::entry(const QString& field) const {
    for (const Field& f : fields_)
        if (f.name == field) return f.edit;
    return nullptr;
}

void ApplicationParametersWindow::showRecord() {
    for (const Field& f : fields_) {
        const std::string value = f.name == QStringLiteral("MZ0")
                                      ? parameters_->mz0Folder
                                      : parameters_->value(f.name.toStdString());
        f.edit->setText(QString::fromStdString(value));
    }
    const QString seat = QString::fromStdString(parameters_->value("NAZSJED"));
    const int index = seat_->findText(seat);
    seat_->setCurrentIndex(index);
    // A seat that is not in the table is still shown.
    seat_->setPlaceholderText(index < 0 ? seat : QString());
}

bool ApplicationParametersWindow::takeFields() {
    for (const Field& f : fields_) {
        const std::string text = f.edit->text().toStdString();
        if (f.name == QStringLiteral("MZ0")) {
            parameters_->mz0Folder = text;
            continue;
        }
        const std::string why = parameters_->setValue(f.name.toStdString(), text);
        if (!why.empty()) {
            MessageBox box;
            box.title = std::string(ApplicationParameters::kTitle);
            box.text = why;
            box.icon = MessageIcon::Exclamation;
            errors().reporter().show(box);
            f.edit->setFocus();
            return false;
        }
    }
    return true;
}

void ApplicationParametersWindow::focusIdentifier() {
    // Back into the field once the message has gone.
    QLineEdit* id = entry(QStringLiteral("JMBG"));
    QTimer::singleShot(0, id, [id] {
        id->setFocus(Qt::OtherFocusReason);
        id->selectAll();
    });
}

bool ApplicationParametersWindow::checkIdentifierField() {
    QLineEdit* id = entry(QStringLiteral("JMBG"));
    checking_ = true;
    std::optional<std::string> stored = parameters_->checkIdentifier(id->text().toStdString());
    checking_ = false;
    if (!stored) {
        focusIdentifier();
        return false;
    }
    id->setText(QString::fromStdString(*stored));
    return true;
}

void ApplicationParametersWindow::focusChanged(QWidget* old, QWidget* now) {
    // Leaving the identifier field for another control of this window; not
    // for "&Prekini", which can always leave, nor for "&Spremi", which checks
    // it itself, nor for other windows.
    if (checking_ || isDead() || old != entry(QStringLiteral("JMBG")) || !now || now == cancel_ ||
        now == save_ || !isAncestorOf(now) || parameters_->readOnly())
        return;
    checkIdentifierField();
}

bool ApplicationParametersWindow::save() {
    saved_ = false;
    pressOk();
    return saved_;
}

int ApplicationParametersWindow::takeCompleted() {
    storeHistory();
    if (saveParameters()) {
        saved_ = true;
        // Nothing waits for the window's answer; it ends as cancelled.
        setResponse(response::Cancelled);
    }
    return handled::Consumed;
}

bool ApplicationParametersWindow::saveParameters() {
    if (parameters_->readOnly()) return false;
    if (!takeFields()) return false;
    checking_ = true; // the message box of a refused identifier takes the focus
    const ApplicationParameters::SaveResult r = parameters_->save();
    checking_ = false;
    showRecord();
    switch (r) {
    case ApplicationParameters::SaveResult::Saved:
        return true;
    case ApplicationParameters::SaveResult::IdentifierRefused:
        focusIdentifier();
        return false;
    case ApplicationParameters::SaveResult::Failed:
        break;
    }
    return false;
}

void ApplicationParametersWindow::chooseFolder(QLineEdit* edit, const QString& prompt) {
    QString folder = QFileDialog::getExistingDirectory(this, prompt, edit->text());
    if (folder.isEmpty()) return;
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    edit->setText(folder);
}

QWidget* createApplicationParametersWindow(const std::string& dataDir, ErrorReporter& errors,
                                           QWidget* parent) {
    auto* window = new ApplicationParametersWindow(dataDir, errors, parent);
    if (!window->start()) return nullptr; // it deletes itself
    return window;
}

} // namespace mvz
