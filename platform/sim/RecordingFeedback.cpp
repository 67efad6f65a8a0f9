#include "platform/sim/RecordingFeedback.h"

namespace qm::sim {

void RecordingFeedback::playSystemSound(uint32_t type) {
    record(FeedbackEvent::sound(type, clock_.nowMicros()));
}

void RecordingFeedback::showPopup(Popup popup) {
    record(FeedbackEvent::shown(popup, clock_.nowMicros()));
}

void RecordingFeedback::destroyPopup(Popup popup) {
    record(FeedbackEvent::destroyed(popup, clock_.nowMicros()));
}

std::vector<FeedbackEvent> RecordingFeedback::events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

void RecordingFeedback::clear() {
    std::lock_guard lock(mutex_);
    events_.clear();
}

void RecordingFeedback::record(FeedbackEvent event) {
    std::lock_guard lock(mutex_);
    events_.push_back(event);
}

}  // namespace qm::sim
