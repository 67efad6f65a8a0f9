#pragma once

#include <mutex>

#include "platform/Wakeup.h"

namespace qm {

// The wake-up a key-state backend raises on every change it sees. The watcher sets and clears
// it while the backend's own thread raises it, so a watcher that has let go is never raised.
class KeyChangeSignal {
public:
    void watch(Wakeup* wake) {
        std::lock_guard lock(mutex_);
        wake_ = wake;
    }
    void changed() {
        std::lock_guard lock(mutex_);
        if (wake_) wake_->raise();
    }

private:
    std::mutex mutex_;
    Wakeup* wake_ = nullptr;
};

}  // namespace qm
