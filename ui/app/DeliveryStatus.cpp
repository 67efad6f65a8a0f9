#include "ui/app/DeliveryStatus.h"

namespace qm::ui {

void DeliveryStatusBoard::set(const DeliveryStatus& status) {
    if (status == status_) return;
    status_ = status;
    emit changed(status_);
}

// A call by name carries nothing of ours for the GUI thread to free.
void DeliveryStatusBoard::decodeLost() {
    lostUntold_.fetch_add(1);
    QMetaObject::invokeMethod(this, "takeLostDecodes", Qt::QueuedConnection);
}

void DeliveryStatusBoard::takeLostDecodes() {
    const int lost = lostUntold_.exchange(0);
    if (lost == 0) return;
    DeliveryStatus status = status_;
    status.lostDecodes += lost;
    set(status);
}

}  // namespace qm::ui
