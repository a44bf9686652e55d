#include "shell/help_document.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "base/reporter.h"
#include "data/error_reporter.h"

namespace mvz {

namespace {

void tell(Reporter& reporter, const QString& text) {
    MessageBox box;
    box.title = "Upute za rad";
    box.text = messageBoxText(text.toStdString());
    box.icon = MessageIcon::Exclamation;
    reporter.show(box);
}

} // namespace

QString missingUserGuideText(const QString& path) {
    return QStringLiteral("Upute za rad nisu pronađene:|%1").arg(QDir::toNativeSeparators(path));
}

QString unopenedUserGuideText(const QString& path) {
    return QStringLiteral("Upute za rad nije moguće otvoriti:|%1|Za njih je potreban program za "
                          "pregled PDF dokumenata.")
        .arg(QDir::toNativeSeparators(path));
}

bool openUserGuide(const QString& dataDir, Reporter& reporter) {
    const QString path = QDir(dataDir).absoluteFilePath(QString::fromUtf8(kUserGuideFileName));
    if (!QFileInfo(path).isFile()) {
        tell(reporter, missingUserGuideText(path));
        return false;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        tell(reporter, unopenedUserGuideText(path));
        return false;
    }
    return true;
}

} // namespace mvz
