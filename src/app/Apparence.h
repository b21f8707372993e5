#pragma once

#include "platform/Couleurs.h"

class QApplication;

// The program's look, the same in every window: the dark scheme, Qt's own
// texts (context menus, standard buttons) in French, the program's icon.
// Its colours and palettes are in platform/Couleurs.h.
namespace kavel {

// Gives the application that look, its icon included; Qt's French texts
// when installed.
void appliqueApparence(QApplication &app);

} // namespace kavel
