#include "exchange/folder_run_window.h"

#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/reporter.h"
#include "data/error_reporter.h"
#include "data/tables.h"
#include "ui/report_runner.h"
#include "ui/window_host.h"

namespace mvz {

FolderRunWindow::FolderRunWindow(std::unique_ptr<Tables> tables, FolderRunSpec decl,
                                 QWidget* parent)
    : ProcedureWindow(*tables, parent), owned_(std::move(tables)), spec_(std::move(decl)) {}

FolderRunWindow::~FolderRunWindow() {
    endBeforeTables();
}

bool FolderRunWindow::init() {
    if (!ProcedureWindow::init()) return false;
    setWindowTitle(spec_.title);
    setObjectName(spec_.title);
    auto* layout = new QVBoxLayout(this);
    QWidget* noteBox = this;
    QVBoxLayout* noteLayout = layout;
    if (!spec_.noteTitle.isEmpty()) {
        auto* group = new QGroupBox(spec_.noteTitle, this);
        noteLayout = new QVBoxLayout(group);
        noteBox = group;
        layout->addWidget(group);
    }
    for (const QString& line : spec_.notes)
        noteLayout->addWidget(new QLabel(line, noteBox));

    layout->addWidget(new QLabel(spec_.prompt, this));
    auto* row = new QHBoxLayout;
    folder_ = new QLineEdit(spec_.preset, this);
    folder_->setObjectName(QStringLiteral("folder"));
    folder_->setMaxLength(spec_.width);
    folder_->setMinimumWidth(folder_->fontMetrics().averageCharWidth() * 60);
    choose_ = new QPushButton(QStringLiteral("..."), this);
    choose_->setObjectName(QStringLiteral("choose"));
    choose_->setToolTip(spec_.chooserTitle);
    choose_->setFixedWidth(choose_->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    row->addWidget(folder_, 1);
    row->addWidget(choose_);
    layout->addLayout(row);

    for (const QString& line : spec_.warning) {
        auto* label = new QLabel(line, this);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        layout->addWidget(label);
    }
    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("result"));
    result_->setVisible(spec_.resultLine);
    result_->setWordWrap(true);
    layout->addWidget(result_);
    layout->addStretch(1);

    auto* buttons = new QHBoxLayout;
    run_ = new QPushButton(spec_.runCaption, this);
    cancel_ = new QPushButton(spec_.cancelCaption, this);
    auto* help = new QPushButton(QStringLiteral("Upu&te"), this);
    help->setToolTip(QStringLiteral("Upute za rad"));
    if (WindowHost* host = WindowHost::of(this)) help->setIcon(host->icon("HELP"));
    buttons->addStretch(1);
    buttons->addWidget(run_);
    buttons->addWidget(cancel_);
    buttons->addWidget(help);
    layout->addLayout(buttons);

    setHelpControl(help);
    setCancelControl(cancel_);
    onAccepted(run_, [this] { runNow(); });
    onAccepted(choose_, [this] { chooseFolder(); });
    addFormTarget();
    setFirstField(folder_);
    // Enter in the entry runs, as the window's main button.
    setDefaultControl(run_);
    return true;
}

void FolderRunWindow::chooseFolder() {
    const QString start = folder_->text().trimmed();
    const QString chosen = QFileDialog::getExistingDirectory(
        this, spec_.chooserTitle, QDir(start).exists() ? start : QDir::homePath());
    if (!chosen.isEmpty()) folder_->setText(QDir::toNativeSeparators(chosen));
}

void FolderRunWindow::say(const std::string& text, bool failed) {
    MessageBox box;
    box.title = spec_.title.toStdString();
    box.text = messageBoxText(text);
    box.icon = failed ? MessageIcon::Exclamation : MessageIcon::Information;
    errors().reporter().show(box);
}

bool FolderRunWindow::runNow() {
    QString text = folder_->text();
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    const std::string folder = QDir::cleanPath(text).toStdString();
    if (text.isEmpty()) {
        folder_->setFocus();
        return false;
    }
    if (spec_.before && !spec_.before(*this, folder)) return false;
    if (spec_.alone) {
        WindowHost* host = WindowHost::of(this);
        if (host && !host->closeOtherChildren(this)) {
            say("Zatvorite ostale prozore programa pa pokušajte ponovo.", true);
            return false;
        }
    }
    ExchangeResult result;
    try {
        runWithProgress(this, errors().reporter(), spec_.title,
                        [&](Reporter& reporter) { result = spec_.run(folder, reporter); });
    } catch (const std::exception& e) {
        result.ok = false;
        result.detail = e.what();
    }
    last_ = result;
    std::string text2 = result.message;
    if (!result.detail.empty()) text2 += "|" + result.detail;
    for (const std::string& row : result.refusedRows)
        text2 += "|" + row;
    if (spec_.resultLine) {
        result_->setText(QString::fromStdString(result.message));
        if (!result.ok && (!result.detail.empty() || !result.refusedRows.empty())) say(text2, true);
    } else {
        say(text2, !result.ok);
    }
    return result.ok;
}

} // namespace mvz
