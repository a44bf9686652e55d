#include "submission/copy_file_window.h"

#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/error_reporter.h"
#include "submission/file_copy.h"

namespace mvz {

namespace {

struct OfferTexts {
    const char* title;
    const char* line1;
    const char* line2;
    const char* sourcePrefix;
};

OfferTexts textsOf(CopyOffer offer) {
    switch (offer) {
    case CopyOffer::PayerFormed:
        return {"Upozorenje 2", "Završena je obrada za jednog obveznika",
                "Za obveznika je određen i HASH broj", "Formiran je file "};
    case CopyOffer::CollectiveFormed:
        return {"Upozorenje 3", "Završeno je spajanje datoteka", "Određen je i zbirni HASH broj",
                "Formiran je file "};
    case CopyOffer::PayerFile:
        break;
    }
    return {"Upozorenje", "", "", "File: "};
}

QLabel* line(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text.left(80), parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(label->fontMetrics().averageCharWidth() * 70);
    return label;
}

} // namespace

CopyFileWindow::CopyFileWindow(Tables& tables, CopyOffer offer, std::string source,
                               std::string target, QWidget* parent)
    : ProcedureWindow(tables, parent), offer_(offer), source_(std::move(source)),
      target_(std::move(target)) {}

bool CopyFileWindow::init() {
    if (!ProcedureWindow::init()) return false;
    const OfferTexts t = textsOf(offer_);
    setWindowTitle(QString::fromUtf8(t.title));
    setObjectName(QStringLiteral("copyFile"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(line(QString::fromUtf8(t.line1), this));
    layout->addWidget(line(QString::fromUtf8(t.line2), this));
    layout->addWidget(
        line(QString::fromUtf8(t.sourcePrefix) + QString::fromStdString(source_), this));
    layout->addWidget(line(QStringLiteral("Želite li prepisati file na disketu"), this));
    auto* form = new QFormLayout;
    destination_ = new QLineEdit(QString::fromStdString(target_), this);
    destination_->setMaxLength(80);
    destination_->setObjectName(QStringLiteral("destination"));
    form->addRow(QStringLiteral("Ime izlazne datoteke-file"), destination_);
    layout->addLayout(form);
    auto* row = new QHBoxLayout;
    copy_ = new QPushButton(QStringLiteral("Kopiraj datoteku"), this);
    cancel_ = new QPushButton(QStringLiteral("Odustani"), this);
    row->addStretch(1);
    row->addWidget(copy_);
    row->addWidget(cancel_);
    layout->addLayout(row);
    setOkControl(copy_);
    setCancelControl(cancel_);
    setDefaultControl(copy_);
    setFirstField(destination_);
    return true;
}

int CopyFileWindow::takeCompleted() {
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        copySubmissionFile(source_, destination_->text().toStdString(), errors().reporter());
        QGuiApplication::restoreOverrideCursor();
    }
    // Whatever the copy did, it has said so; the window closes.
    setResponse(response::Completed);
    return handled::Consumed;
}

void offerCopy(Tables& tables, CopyOffer offer, const std::string& source,
               const std::string& target, QWidget* parent) {
    CopyFileWindow window(tables, offer, source, target, parent);
    window.run();
}

} // namespace mvz
