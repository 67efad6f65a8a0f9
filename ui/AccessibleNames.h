#pragma once

#include <QWidget>
#include <vector>

#include "ui/Template.h"

namespace qm::ui {

// Gives every control of a built template the name assistive technology announces: buttons,
// check boxes, group boxes and labels their own text; lists, edits and spins the text of the
// label that names them, which also becomes that label's buddy. A label names the control
// right after it in the template, or the controls its "labels" lists; an up-down control
// takes the name of the edit it steps. `widgets` are the template's controls, in order.
void nameControls(const DialogTemplate& dialog, const std::vector<QWidget*>& widgets);

}  // namespace qm::ui
