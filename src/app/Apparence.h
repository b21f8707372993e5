#pragma once

#include <QPalette>

class QApplication;

// The program's look, the same in every window: the dark scheme, Qt's own
// texts (context menus, standard buttons) in French, the program's icon.
namespace kavel {

// Black input boxes with light text on a dark window; dark tooltips, menus
// and lists too.
QPalette paletteSombre();
// Gives the application that look, its icon included; Qt's French texts
// when installed.
void appliqueApparence(QApplication &app);

} // namespace kavel
