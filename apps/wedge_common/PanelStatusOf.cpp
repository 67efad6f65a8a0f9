#include "apps/wedge_common/PanelStatusOf.h"

#include "apps/desktop/WedgeControl.h"

namespace qm::app {

ui::PanelStatus panelStatusOf(ProcessState& state, const DesktopInput& input,
                              const ui::PortChoice& port) {
    const desktop::WedgeStatus wedge = desktop::wedgeStatusOf(state);
    ui::PanelStatus status;
    status.scanningEnabled = wedge.scanningEnabled;
    status.engineConnected = wedge.engineConnected;
    status.decodesDelivered = input.keyboard != nullptr;
    const bool x11 = input.grab != nullptr;
    status.delivery = !status.decodesDelivered ? QString::fromStdString(input.problem)
                      : x11                    ? QStringLiteral("through XTest")
                                               : QStringLiteral("through /dev/uinput");
    if (input.keys) status.triggerKeys = x11 ? "by XInput2" : "by evdev";
    if (port.current) status.port = QString::fromStdString(port.current());
    return status;
}

}  // namespace qm::app
