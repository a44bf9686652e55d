#pragma once
// Qt's own dialogs (file, print, colour, the standard Yes/No/Cancel/OK
// buttons) in Croatian, from Qt's translations installed with the system.
// The program's own texts are not translated: they are shown as written.

class QCoreApplication;

namespace mvz {

// Loads Qt's Croatian translations into the application; false when they
// are not installed (Qt's texts then stay English).
bool installCroatianQtTexts(QCoreApplication& app);

} // namespace mvz
