#pragma once

#include <QAction>
#include <QMenuBar>

#include "ui/Template.h"

namespace qm::ui {

// The menu bar of a menu resource: its soft keys, each a command or the pop-up it opens.
// Every command's action carries its number as the property "commandId" and the object name
// "cmd<N>".
QMenuBar* buildMenuBar(const MenuTemplate& menu, QWidget* parent);

// The action of that command number under `root` (a menu bar or its window); nullptr if none.
QAction* menuCommand(const QObject* root, int command);

}  // namespace qm::ui
