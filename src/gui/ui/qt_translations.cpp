#include "ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace mvz {

bool installCroatianQtTexts(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    // "qt_hr" brings in qtbase_hr and the other modules' Croatian files.
    if (!translator->load(QLocale(QLocale::Croatian, QLocale::Croatia), QStringLiteral("qt"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

} // namespace mvz
