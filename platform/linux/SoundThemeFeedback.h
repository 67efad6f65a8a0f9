#pragma once

#include <cstdint>
#include <mutex>

#include "platform/Feedback.h"

struct ca_context;

namespace qm::linux_platform {

// Read-feedback sounds from the desktop's sound theme: the no-read type plays the theme's
// warning, the good-read type its information sound; any other type is silent. Playing never
// waits for the sound. Without a sound server the sounds are silent; a context that cannot be
// opened is not tried again. Popups are not drawn here: they go to the delegate, if any.
class SoundThemeFeedback : public Feedback {
public:
    explicit SoundThemeFeedback(Feedback* popupDelegate = nullptr);
    ~SoundThemeFeedback() override;
    SoundThemeFeedback(const SoundThemeFeedback&) = delete;
    SoundThemeFeedback& operator=(const SoundThemeFeedback&) = delete;

    void playSystemSound(uint32_t type) override;
    void showPopup(Popup popup) override;
    void destroyPopup(Popup popup) override;

    // The theme's event name for a system sound type, or nullptr when the type is silent.
    static const char* soundEventId(uint32_t type);

private:
    ca_context* openedContext();

    Feedback* popupDelegate_;
    std::mutex mutex_;
    ca_context* context_ = nullptr;
    bool gaveUp_ = false;
};

}  // namespace qm::linux_platform
