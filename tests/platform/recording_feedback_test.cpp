#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/sim/RecordingFeedback.h"
#include "platform/sim/VirtualClock.h"

namespace qm::sim {
namespace {

using E = FeedbackEvent;

TEST(RecordingFeedback, KeepsEveryCallInOrderWithTheClocksTime) {
    VirtualClock clock;
    RecordingFeedback feedback(clock);

    feedback.playSystemSound(kSoundExclamation);
    clock.sleepMs(250);
    feedback.playSystemSound(kSoundExclamation);
    feedback.showPopup(Popup::NoRead);
    clock.sleepMs(1500);
    feedback.destroyPopup(Popup::NoRead);
    feedback.playSystemSound(kSoundAsterisk);
    feedback.showPopup(Popup::GoodRead);

    const std::vector<E> expected{
        E::sound(kSoundExclamation, 0),      E::sound(kSoundExclamation, 250'000),
        E::shown(Popup::NoRead, 250'000),    E::destroyed(Popup::NoRead, 1'750'000),
        E::sound(kSoundAsterisk, 1'750'000), E::shown(Popup::GoodRead, 1'750'000),
    };
    EXPECT_EQ(feedback.events(), expected);

    feedback.clear();
    EXPECT_TRUE(feedback.events().empty());
}

// The scanning thread and a drawing thread may both report at once.
TEST(RecordingFeedback, RecordsFromSeveralThreadsWithoutLosingCalls) {
    VirtualClock clock;
    RecordingFeedback feedback(clock);
    constexpr int kCalls = 2000;
    std::thread sounds([&] {
        for (int i = 0; i < kCalls; ++i) feedback.playSystemSound(kSoundAsterisk);
    });
    std::thread popups([&] {
        for (int i = 0; i < kCalls; ++i) feedback.showPopup(Popup::NoRead);
    });
    sounds.join();
    popups.join();

    int soundCount = 0;
    for (const E& event : feedback.events()) {
        soundCount += event.call == FeedbackCall::Sound ? 1 : 0;
    }
    EXPECT_EQ(soundCount, kCalls);
    EXPECT_EQ(feedback.events().size(), 2u * kCalls);
}

}  // namespace
}  // namespace qm::sim
