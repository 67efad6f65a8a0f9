#include "wedge/ReadFeedback.h"

#include "platform/Feedback.h"
#include "state/ProcessState.h"
#include "wedge/WedgeWaits.h"

namespace qm {

namespace {

constexpr int64_t kBeepPauseMs = 250;
constexpr int64_t kPopupMs = 1500;

void showPopupBriefly(ProcessState& state, bool wanted, Popup popup) {
    Feedback* feedback = state.platform.feedback;
    if (!wanted || !feedback || state.link.linkWanted()) return;
    feedback->showPopup(popup);
    waitInConversation(state, kPopupMs);
    feedback->destroyPopup(popup);
}

}  // namespace

void giveGoodReadFeedback(ProcessState& state) {
    if (state.scanSettings.beepOnGoodRead && state.platform.feedback) {
        state.platform.feedback->playSystemSound(kSoundAsterisk);
    }
    showPopupBriefly(state, state.scanSettings.visualOnGoodRead != 0, Popup::GoodRead);
}

void playNoReadBeeps(ProcessState& state) {
    Feedback* feedback = state.platform.feedback;
    if (!state.scanSettings.beepOnNoRead || !feedback) return;
    feedback->playSystemSound(kSoundExclamation);
    waitInConversation(state, kBeepPauseMs);
    feedback->playSystemSound(kSoundExclamation);
}

void showNoReadPopup(ProcessState& state) {
    showPopupBriefly(state, state.scanSettings.visualOnNoRead != 0, Popup::NoRead);
}

}  // namespace qm
