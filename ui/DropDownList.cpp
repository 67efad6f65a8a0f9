#include "ui/DropDownList.h"

#include <QAbstractItemView>

namespace qm::ui {

DropDownList::DropDownList(QWidget* parent) : QComboBox(parent) {}

void DropDownList::hidePopup() {
    // Hiding the list or its window calls this too, with no list open: that is no closing.
    const bool wasOpen = view()->isVisible();
    QComboBox::hidePopup();
    if (!wasOpen) return;
    // The list is hidden before the clicked entry becomes the current one; report the closing
    // from the event loop, when the choice has been taken.
    QMetaObject::invokeMethod(this, &DropDownList::listClosed, Qt::QueuedConnection);
}

}  // namespace qm::ui
