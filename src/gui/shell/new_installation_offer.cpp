#include "shell/new_installation_offer.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>

#include "data/error_reporter.h"
#include "setup/initialize.h"
#include "setup/installation_probe.h"
#include "shell/main_frame.h"

namespace mvz {

OfferOutcome offerNewInstallation(const QString& dataDir, ErrorReporter& errors) {
    if (holdsDataFiles(dataDir.toStdString())) return OfferOutcome::NotNeeded;
    QMessageBox box(QMessageBox::Question, MainFrame::caption(),
                    QStringLiteral("U mapi %1 nema podataka ovog programa.\n\n"
                                   "Želite li ovdje napraviti novu instalaciju?")
                        .arg(dataDir));
    box.setObjectName(QStringLiteral("newInstallationOffer"));
    QPushButton* empty =
        box.addButton(QStringLiteral("&Prazna instalacija"), QMessageBox::AcceptRole);
    QPushButton* demo = box.addButton(QStringLiteral("S &demo podacima"), QMessageBox::AcceptRole);
    QPushButton* leave = box.addButton(QStringLiteral("&Izlaz"), QMessageBox::RejectRole);
    empty->setObjectName(QStringLiteral("emptyInstallation"));
    demo->setObjectName(QStringLiteral("demoInstallation"));
    box.setDefaultButton(demo);
    box.setEscapeButton(leave);
    auto* shared = new QCheckBox(
        QStringLiteral("&Zajednička mapa: podaci su dostupni i korisnicima moje grupe"), &box);
    shared->setObjectName(QStringLiteral("sharedInstallation"));
    box.setCheckBox(shared);
    box.exec();
    if (box.clickedButton() != empty && box.clickedButton() != demo) return OfferOutcome::Declined;

    InitOptions options;
    options.demo = box.clickedButton() == demo;
    options.shared = shared->isChecked();
    const InitResult r = initializeDataDirectory(dataDir.toStdString(), errors, options);
    if (r.ok) return OfferOutcome::Created;
    QMessageBox::critical(nullptr, MainFrame::caption(),
                          QStringLiteral("Nova instalacija nije napravljena:\n%1")
                              .arg(QString::fromStdString(r.error)));
    return OfferOutcome::Failed;
}

} // namespace mvz
