#include "platform/sim/RecordingKeyboard.h"

namespace qm::sim {

void RecordingKeyboard::inject(uint8_t virtualKey, uint32_t flags) {
    std::lock_guard lock(mutex_);
    events_.push_back({virtualKey, flags});
}

void RecordingKeyboard::flush() {
    std::lock_guard lock(mutex_);
    flushPoints_.push_back(events_.size());
}

std::vector<KeyEvent> RecordingKeyboard::events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

std::vector<size_t> RecordingKeyboard::flushPoints() const {
    std::lock_guard lock(mutex_);
    return flushPoints_;
}

void RecordingKeyboard::clear() {
    std::lock_guard lock(mutex_);
    events_.clear();
    flushPoints_.clear();
}

}  // namespace qm::sim
