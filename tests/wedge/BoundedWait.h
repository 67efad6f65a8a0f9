#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "engine/ScanEngineLink.h"

namespace qm::test {

// A condition another thread makes true, waited for with a bound: the other side calls
// `changed()` whenever the condition may have become true.
class BoundedWait {
public:
    void changed() {
        std::lock_guard lock(mutex_);
        changed_.notify_all();
    }
    bool until(const std::function<bool()>& condition,
               std::chrono::milliseconds bound = std::chrono::seconds(5)) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, bound, condition);
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

// True once another thread waits for the link (it raises the scanning thread's wake-up as it
// starts to), false after the bound.
inline bool linkWantedWithin(ScanEngineLink& link,
                             std::chrono::milliseconds bound = std::chrono::seconds(5)) {
    BoundedWait wait;
    const auto raised = link.threadWake.subscribe([&wait] { wait.changed(); });
    return wait.until([&link] { return link.linkWanted(); }, bound);
}

}  // namespace qm::test
