#include "platform/linux/GrabbingDeviceLibrary.h"

#include "platform/linux/X11KeyGrab.h"

namespace qm::linux_platform {

namespace {
constexpr uint32_t kNormalMode = 0;
}  // namespace

GrabbingDeviceLibrary::GrabbingDeviceLibrary(X11KeyGrab* grab,
                                             std::function<std::vector<uint8_t>()> triggerKeys)
    : grab_(grab), triggerKeys_(std::move(triggerKeys)) {}

void GrabbingDeviceLibrary::KVSetKeyboardCustomMode(uint32_t mode) {
    DesktopDeviceLibrary::KVSetKeyboardCustomMode(mode);
    grabForMode();
}

void GrabbingDeviceLibrary::triggerKeysChanged() { grabForMode(); }

void GrabbingDeviceLibrary::grabForMode() {
    if (!grab_) return;
    if (keyboardCustomMode() == kNormalMode)
        grab_->grabOnly({});
    else
        grab_->grabOnly(triggerKeys_());
}

}  // namespace qm::linux_platform
