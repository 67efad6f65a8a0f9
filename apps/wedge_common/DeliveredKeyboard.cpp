#include "apps/wedge_common/DeliveredKeyboard.h"

namespace qm::app {

void DeliveredKeyboard::use(Keyboard* path, DroppedSoFar dropped) {
    std::lock_guard lock(mutex_);
    path_ = path;
    dropped_ = std::move(dropped);
}

void DeliveredKeyboard::inject(uint8_t virtualKey, uint32_t flags) {
    std::lock_guard lock(mutex_);
    if (!decodeStarted_) {
        decodeStarted_ = true;
        lost_ = !path_;
        droppedBefore_ = dropped_ ? dropped_() : 0;
    }
    if (path_) path_->inject(virtualKey, flags);
}

void DeliveredKeyboard::flush() {
    bool lost = false;
    {
        std::lock_guard lock(mutex_);
        if (path_) path_->flush();
        lost = decodeStarted_ && (lost_ || !path_ || (dropped_ && dropped_() != droppedBefore_));
        decodeStarted_ = false;
    }
    if (lost && decodeLost_) decodeLost_();
}

}  // namespace qm::app
