#pragma once

#include <cstdint>
#include <functional>
#include <mutex>

#include "platform/Keyboard.h"

namespace qm::app {

// The typing path as the scanning thread sees it: every decode passes through here, and one
// that reached no application (there is no path, or the path dropped its keys) is told to
// `decodeLost`, on the scanning thread. The path can change while the wedge runs.
class DeliveredKeyboard : public Keyboard {
public:
    // How many key events the path has dropped so far.
    using DroppedSoFar = std::function<uint64_t()>;

    explicit DeliveredKeyboard(std::function<void()> decodeLost)
        : decodeLost_(std::move(decodeLost)) {}

    // From any thread; null: no path.
    void use(Keyboard* path, DroppedSoFar dropped = {});

    void inject(uint8_t virtualKey, uint32_t flags) override;
    void flush() override;

private:
    std::function<void()> decodeLost_;
    std::mutex mutex_;
    Keyboard* path_ = nullptr;
    DroppedSoFar dropped_;
    bool decodeStarted_ = false;
    bool lost_ = false;
    uint64_t droppedBefore_ = 0;
};

}  // namespace qm::app
