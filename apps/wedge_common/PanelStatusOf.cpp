#include "apps/wedge_common/PanelStatusOf.h"

#include "apps/desktop/WedgeControl.h"
#include "state/ProcessState.h"

namespace qm::app {

ui::PanelStatus panelStatusOf(ProcessState& state, const ui::DeliveryStatus& delivery,
                              const ui::PortChoice& port) {
    const desktop::WedgeStatus wedge = desktop::wedgeStatusOf(state);
    ui::PanelStatus status;
    status.scanningEnabled = wedge.scanningEnabled;
    status.engineConnected = wedge.engineConnected;
    status.scannerGone = !state.link.deviceConnected();
    status.decodesDelivered = delivery.canType;
    status.delivery = QString::fromStdString(delivery.typing);
    status.triggerKeys = QString::fromStdString(delivery.triggers);
    if (port.current) status.port = QString::fromStdString(port.current());
    return status;
}

}  // namespace qm::app
