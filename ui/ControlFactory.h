#pragma once

#include <QWidget>

#include "ui/DialogUnits.h"
#include "ui/Template.h"

namespace qm::ui {

// Makes the widget of one control as a child of `host`, placed by its rectangle, with its
// text, items and styles, tagged with its id.
QWidget* createControl(const ControlTemplate& control, QWidget* host, const DialogUnits& units);

}  // namespace qm::ui
