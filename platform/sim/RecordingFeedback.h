#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/Clock.h"
#include "platform/Feedback.h"

namespace qm::sim {

enum class FeedbackCall { Sound, ShowPopup, DestroyPopup };

// One call as it reached the seam. soundType is 0 for popup calls; popup is GoodRead for sounds.
struct FeedbackEvent {
    FeedbackCall call = FeedbackCall::Sound;
    uint32_t soundType = 0;
    Popup popup = Popup::GoodRead;
    int64_t atMicros = 0;

    static FeedbackEvent sound(uint32_t type, int64_t atMicros) {
        return {FeedbackCall::Sound, type, Popup::GoodRead, atMicros};
    }
    static FeedbackEvent shown(Popup popup, int64_t atMicros) {
        return {FeedbackCall::ShowPopup, 0, popup, atMicros};
    }
    static FeedbackEvent destroyed(Popup popup, int64_t atMicros) {
        return {FeedbackCall::DestroyPopup, 0, popup, atMicros};
    }

    bool operator==(const FeedbackEvent&) const = default;
};

// Keeps every feedback call with the clock's time, so a test can check the order and the
// pauses between beeps and popups. The scanning thread records while a test may read; the
// lock is held only to append, so every call returns at once.
class RecordingFeedback : public Feedback {
public:
    explicit RecordingFeedback(Clock& clock) : clock_(clock) {}

    void playSystemSound(uint32_t type) override;
    void showPopup(Popup popup) override;
    void destroyPopup(Popup popup) override;

    std::vector<FeedbackEvent> events() const;
    void clear();

private:
    void record(FeedbackEvent event);

    Clock& clock_;
    mutable std::mutex mutex_;
    std::vector<FeedbackEvent> events_;
};

}  // namespace qm::sim
