#pragma once

#include "ui/app/DeliveryStatus.h"
#include "ui/app/PanelIcon.h"
#include "ui/app/PortChoice.h"

namespace qm {
struct ProcessState;
}

namespace qm::app {

// What the panel icon shows of this run: scanning and the engine as the session bus tells
// them, the port, and how decodes and trigger keys travel on this desktop.
ui::PanelStatus panelStatusOf(ProcessState& state, const ui::DeliveryStatus& delivery,
                              const ui::PortChoice& port);

}  // namespace qm::app
