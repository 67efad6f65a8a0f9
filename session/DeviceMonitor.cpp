#include "session/DeviceMonitor.h"

#include "platform/SerialPort.h"
#include "state/ProcessState.h"

namespace qm {

DeviceMonitor::DeviceMonitor(ProcessState& state, std::function<void()> deviceBack)
    : state_(state), deviceBack_(std::move(deviceBack)) {
    ScanEngineLink& link = state_.link;
    watch_ = state_.platform.serial.watchPort(link.portName, [this] { deviceMayHaveChanged(); });
    // A device lost in a transaction may be back already, with no change left to tell of it.
    linkChanges_.emplace(link.deviceChanges.subscribe([this] {
        if (watch_) watch_->setTicking(state_.link.deviceGone());
        deviceMayHaveChanged();
    }));
    if (watch_) watch_->setTicking(link.deviceGone());
}

DeviceMonitor::~DeviceMonitor() {
    linkChanges_.reset();
    watch_.reset();
}

void DeviceMonitor::deviceMayHaveChanged() {
    ScanEngineLink& link = state_.link;
    if (link.probeDevice() || !link.deviceGone()) return;
    if (state_.platform.serial.devicePresent(link.portName)) deviceBack_();
}

}  // namespace qm
