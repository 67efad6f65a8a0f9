#include "ui/DropDownList.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

#include "ui/ControlHandlers.h"

namespace qm::ui {

DropDownList::DropDownList(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this] { chosenWhileClosed(); });
}

void DropDownList::showPopup() {
    QComboBox::showPopup();
    if (QItemSelectionModel* selection = view()->selectionModel()) {
        connect(selection, &QItemSelectionModel::selectionChanged, this,
                &DropDownList::selectedInOpenList, Qt::UniqueConnection);
    }
}

void DropDownList::hidePopup() {
    // Hiding the list or its window calls this too, with no list open: that is no closing.
    const bool wasOpen = view()->isVisible();
    QComboBox::hidePopup();
    if (!wasOpen) return;
    // The list is hidden before the clicked entry becomes the current one; report the closing
    // from the event loop, when the choice has been taken.
    closingQueued_ = true;
    QMetaObject::invokeMethod(this, &DropDownList::reportClosing, Qt::QueuedConnection);
}

void DropDownList::reportClosing() {
    closingQueued_ = false;
    runHandler(this, [this] { emit listClosed(); });
}

// An entry taken from the open list is reported by the closing queued before it.
void DropDownList::chosenWhileClosed() {
    if (!closingQueued_ && !view()->isVisible()) reportClosing();
}

// Moving through the open list moves its current entry along with the selection; assistive
// technology selects an entry without moving there, and means it as a click would.
void DropDownList::selectedInOpenList() {
    if (!view()->isVisible()) return;
    const QModelIndexList rows = view()->selectionModel()->selectedRows(modelColumn());
    if (rows.size() != 1 || rows.front() == view()->currentIndex()) return;
    setCurrentIndex(rows.front().row());
    hidePopup();
}

}  // namespace qm::ui
