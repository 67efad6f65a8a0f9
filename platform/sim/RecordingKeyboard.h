#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/Keyboard.h"

namespace qm::sim {

struct KeyEvent {
    uint8_t virtualKey = 0;
    uint32_t flags = 0;

    bool operator==(const KeyEvent&) const = default;
};

// Keeps every injected event so a test can compare the exact stream. The scan thread
// injects while a test may read, hence the lock.
class RecordingKeyboard : public Keyboard {
public:
    void inject(uint8_t virtualKey, uint32_t flags) override;
    void flush() override;

    std::vector<KeyEvent> events() const;
    // How many events had been injected at each flush, in order.
    std::vector<size_t> flushPoints() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<KeyEvent> events_;
    std::vector<size_t> flushPoints_;
};

}  // namespace qm::sim
