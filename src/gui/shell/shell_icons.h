#pragma once
// The shell's pictures, drawn with QPainter (no image files): the toolbar
// icons, the program icon, the credit window's picture and the about
// window's picture.

#include <QIcon>
#include <QPixmap>

#include <string_view>

namespace mvz {

// The toolbar icon by name ("VCRFIRST", "VCRPRIOR", "VCRUP", "FIND",
// "VCRDOWN", "VCRNEXT", "VCRLAST", "SELECT", "ADD", "CHANGE", "DELETE",
// "DITTO", "HELP"); a null icon for an unknown name.
QIcon toolbarIcon(std::string_view name);

// The program's window icon: a form sheet.
QIcon programIcon();

// The credit window's picture and the about window's picture.
QPixmap creditPicture();
QPixmap aboutPicture();

} // namespace mvz
