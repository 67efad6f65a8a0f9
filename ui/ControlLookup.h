#pragma once

#include <QWidget>

namespace qm::ui {

// Every control built from a template carries its numeric id as this property and as the
// object name "id<N>" (controls without an id carry -1 and no name).
inline constexpr char ControlIdProperty[] = "controlId";

void tagControl(QWidget* widget, int id);
int controlId(const QWidget* widget);

// The control with that id among the dialog's or page's own controls (those of a page shown
// in its tab control are the page's, not the dialog's); nullptr when there is none.
QWidget* control(const QWidget* dialog, int id);

// The same, as the widget class it was built as; nullptr when it is another.
template <typename Widget>
Widget* controlAs(const QWidget* dialog, int id) {
    return qobject_cast<Widget*>(control(dialog, id));
}

}  // namespace qm::ui
