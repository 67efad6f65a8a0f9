#include "ui/DropDownList.h"

namespace qm::ui {

DropDownList::DropDownList(QWidget* parent) : QComboBox(parent) {}

void DropDownList::hidePopup() {
    QComboBox::hidePopup();
    // The list is hidden before the clicked entry becomes the current one; report the closing
    // from the event loop, when the choice has been taken.
    QMetaObject::invokeMethod(this, &DropDownList::listClosed, Qt::QueuedConnection);
}

}  // namespace qm::ui
