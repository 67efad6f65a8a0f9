#pragma once

class QWidget;

namespace qm::ui {

// The handheld shows a setup dialog over the whole screen below its 26-pixel top bar, that
// is over the main dialog. A desktop keeps the dialog's own size (its template in the
// desktop font) and puts it at the owner's top-left corner, inside the screen's free area;
// without an owner, in the middle of the screen.
void placeOverOwner(QWidget* window, const QWidget* owner);

}  // namespace qm::ui
