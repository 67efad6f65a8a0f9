#pragma once

namespace qm::ui {

// What assistive technology sees of the template's check boxes (ui/CheckBox.h) and up-down
// controls (ui/UpDownControl.h), so that what it does through them runs the handlers a click,
// a key or an arrow runs: a check box's "Toggle" clicks it; an up-down is a spin box whose
// "Increase" and "Decrease" step it and whose value, when set, is one step to that value.
// Installed once, before the first such control is asked for.
void installAccessibleControls();

}  // namespace qm::ui
