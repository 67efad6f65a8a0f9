#pragma once

#include <array>
#include <atomic>

#include "platform/KeyChangeSignal.h"
#include "platform/KeyState.h"

namespace qm::app {

// The simulated handheld's own trigger buttons, held down from the GUI thread and read by
// the scanning thread.
class VirtualKeys : public KeyState {
public:
    void setDown(uint8_t virtualKey, bool down) {
        down_[virtualKey].store(down);
        changed_.changed();
    }
    uint16_t asyncKeyState(uint8_t virtualKey) override {
        return down_[virtualKey].load() ? kKeyDownBit : 0;
    }
    bool watch(Wakeup* wake) override {
        changed_.watch(wake);
        return true;
    }

private:
    std::array<std::atomic<bool>, 256> down_{};
    KeyChangeSignal changed_;
};

}  // namespace qm::app
