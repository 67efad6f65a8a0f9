#include "platform/linux/SoundThemeFeedback.h"

#include <canberra.h>

namespace qm::linux_platform {

SoundThemeFeedback::SoundThemeFeedback(Feedback* popupDelegate) : popupDelegate_(popupDelegate) {}

SoundThemeFeedback::~SoundThemeFeedback() {
    if (context_ != nullptr) ca_context_destroy(context_);
}

const char* SoundThemeFeedback::soundEventId(uint32_t type) {
    switch (type) {
        case kSoundExclamation:
            return "dialog-warning";
        case kSoundAsterisk:
            return "dialog-information";
        default:
            return nullptr;
    }
}

void SoundThemeFeedback::playSystemSound(uint32_t type) {
    const char* eventId = soundEventId(type);
    if (eventId == nullptr) return;
    std::lock_guard lock(mutex_);
    ca_context* context = openedContext();
    if (context == nullptr) return;
    // The play id is the type, so the two beeps of a no-read may overlap like the handheld's.
    // A missing sound or an unreachable device is not worth telling the scanning thread.
    ca_context_play(context, type, CA_PROP_EVENT_ID, eventId, CA_PROP_EVENT_DESCRIPTION,
                    type == kSoundExclamation ? "No read" : "Good read", nullptr);
}

ca_context* SoundThemeFeedback::openedContext() {
    if (context_ != nullptr || gaveUp_) return context_;
    ca_context* context = nullptr;
    if (ca_context_create(&context) != CA_SUCCESS) {
        gaveUp_ = true;
        return nullptr;
    }
    ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Quillmark", CA_PROP_APPLICATION_ID,
                            "quillmark", nullptr);
    // Opening once up front keeps a missing sound server from costing every scan a retry.
    if (ca_context_open(context) != CA_SUCCESS) {
        ca_context_destroy(context);
        gaveUp_ = true;
        return nullptr;
    }
    context_ = context;
    return context_;
}

void SoundThemeFeedback::showPopup(Popup popup) {
    if (popupDelegate_ != nullptr) popupDelegate_->showPopup(popup);
}

void SoundThemeFeedback::destroyPopup(Popup popup) {
    if (popupDelegate_ != nullptr) popupDelegate_->destroyPopup(popup);
}

}  // namespace qm::linux_platform
