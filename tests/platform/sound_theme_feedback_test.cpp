#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "platform/linux/SoundThemeFeedback.h"
#include "platform/sim/RecordingFeedback.h"
#include "platform/sim/VirtualClock.h"

namespace qm::linux_platform {
namespace {

TEST(SoundThemeFeedback, MapsTheTwoSystemSoundsToTheThemeAndSilencesTheRest) {
    EXPECT_STREQ(SoundThemeFeedback::soundEventId(0x30), "dialog-warning");
    EXPECT_STREQ(SoundThemeFeedback::soundEventId(0x40), "dialog-information");
    for (uint32_t silent : {0x00u, 0x10u, 0x20u, 0x31u, 0x3Fu, 0xFFFFFFFFu}) {
        EXPECT_EQ(SoundThemeFeedback::soundEventId(silent), nullptr) << silent;
    }
}

// Here no sound server answers: every sound must give up quickly and quietly, again and again,
// because the scanning thread plays them between its engine transactions.
TEST(SoundThemeFeedback, PlayingWithoutASoundServerReturnsPromptly) {
    SoundThemeFeedback feedback;
    const auto start = std::chrono::steady_clock::now();
    for (int scan = 0; scan < 5; ++scan) {
        feedback.playSystemSound(kSoundExclamation);
        feedback.playSystemSound(kSoundExclamation);
        feedback.playSystemSound(kSoundAsterisk);
        feedback.playSystemSound(0x10);
        feedback.showPopup(Popup::NoRead);  // no delegate: nothing to draw
        feedback.destroyPopup(Popup::NoRead);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(SoundThemeFeedback, ForwardsPopupsToItsDelegateButNotSounds) {
    sim::VirtualClock clock;
    sim::RecordingFeedback drawn(clock);
    SoundThemeFeedback feedback(&drawn);

    feedback.showPopup(Popup::NoRead);
    feedback.playSystemSound(kSoundAsterisk);
    clock.sleepMs(1500);
    feedback.destroyPopup(Popup::NoRead);
    feedback.showPopup(Popup::GoodRead);

    using E = sim::FeedbackEvent;
    const std::vector<E> expected{E::shown(Popup::NoRead, 0),
                                  E::destroyed(Popup::NoRead, 1'500'000),
                                  E::shown(Popup::GoodRead, 1'500'000)};
    EXPECT_EQ(drawn.events(), expected);
}

}  // namespace
}  // namespace qm::linux_platform
