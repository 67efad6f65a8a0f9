#include <gtest/gtest.h>

#include "WedgeFixture.h"
#include "wedge/Aiming.h"
#include "wedge/ScanCycle.h"

namespace qm::test {
namespace {

using sim::FeedbackEvent;
using ScanCycle = WedgeFixture;

constexpr int64_t kByte = sim::SimEngine::kByteMicros;

TEST_F(ScanCycle, GoodReadTypesTheDataThenBeepsAndShowsThePopup) {
    engine.placeBarcode({sim::Symbology::Code128, "Ab1;\"x"});
    allFeedback(1);
    EXPECT_EQ(runScanCycle(state), kLinkOk);
    EXPECT_EQ(keyboard.events(), keysFor("Ab1;\"x"));
    const auto events = feedback.events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].soundType, kSoundAsterisk);
    EXPECT_EQ(events[1], FeedbackEvent::shown(Popup::GoodRead, events[1].atMicros));
    EXPECT_EQ(events[2], FeedbackEvent::destroyed(Popup::GoodRead, events[1].atMicros + 1'500'000));
    // No STOP_DECODE on a good read; the decode is acknowledged and aiming switched off.
    EXPECT_EQ(packetsReceived(),
              (std::vector<Bytes>{bytesOf(START_DECODE), bytesOf(CMD_ACK), bytesOf(AIM_OFF)}));
    EXPECT_EQ(state.AimingActive.load(), 0);
}

TEST_F(ScanCycle, NoReadMarkerTakesTheFailurePathAndTheCycleStillReturnsZero) {
    allFeedback(1);
    startAiming(state);
    engine.clearReceived();
    EXPECT_EQ(runScanCycle(state), kLinkOk);
    EXPECT_TRUE(keyboard.events().empty());
    const auto packets = packetsReceived();
    ASSERT_EQ(packets.size(), 4u);
    EXPECT_EQ(packets[1], bytesOf(CMD_ACK));
    EXPECT_EQ(packets[2], bytesOf(STOP_DECODE));
    EXPECT_EQ(packets[3], bytesOf(AIM_OFF));
    const auto events = feedback.events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0], FeedbackEvent::sound(kSoundExclamation, events[0].atMicros));
    EXPECT_EQ(events[1], FeedbackEvent::sound(kSoundExclamation, events[0].atMicros + 250'000));
    EXPECT_EQ(events[2], FeedbackEvent::shown(Popup::NoRead, events[1].atMicros));
    EXPECT_EQ(events[3], FeedbackEvent::destroyed(Popup::NoRead, events[2].atMicros + 1'500'000));
    EXPECT_EQ(state.AimingActive.load(), 0);
}

TEST_F(ScanCycle, WaitsTheTargetTimeThenReadsWithTheScanTimeTimeoutAndPausesAtTheEnd) {
    engine.setParameter(kTransmitNoRead, 0);  // nothing ever comes
    allFeedback(0);
    useScanTime(30);
    useTargetTime(30);
    const int64_t start = clock.nowMicros();
    runScanCycle(state);
    const int64_t started = timesOf(bytesOf(START_DECODE)).at(0);
    const int64_t stopped = timesOf(bytesOf(STOP_DECODE)).at(0);
    // After START_DECODE: its 10 ms, the 3 s one-button wait, two reads of 2 ms + 3200 ms
    // with 1 ms between them, then STOP_DECODE's wake and wire time.
    EXPECT_EQ(stopped - started,
              10'000 + 3'000'000 + 3'202'000 + 1'000 + 3'202'000 + 10'000 + 6 * kByte);
    // Then its 10 ms, the 10 ms drain (twice, 1 ms apart), the 100 ms pause, and AIM_OFF
    // with its 50 ms.
    const int64_t aimOff = timesOf(bytesOf(AIM_OFF)).at(0);
    EXPECT_EQ(aimOff - stopped, 10'000 + 12'000 + 1'000 + 12'000 + 100'000 + 10'000 + 6 * kByte);
    EXPECT_EQ(clock.nowMicros() - aimOff, 10'000 + 50'000);
    EXPECT_EQ(started - start, 10'000 + 6 * kByte);
}

TEST_F(ScanCycle, TwoButtonControlReadsAtOnce) {
    engine.setParameter(kTransmitNoRead, 0);
    useTwoButtonControl();
    useTargetTime(30);
    useScanTime(5);
    runScanCycle(state);
    const int64_t started = timesOf(bytesOf(START_DECODE)).at(0);
    const int64_t stopped = timesOf(bytesOf(STOP_DECODE)).at(0);
    EXPECT_EQ(stopped - started, 10'000 + 702'000 + 1'000 + 702'000 + 10'000 + 6 * kByte);
}

TEST_F(ScanCycle, EmptyDecodeTypesNothingButStillSignalsAGoodRead) {
    engine.placeBarcode({sim::Symbology::Code128, ""});
    state.scanSettings.beepOnGoodRead = 1;
    runScanCycle(state);
    EXPECT_TRUE(keyboard.events().empty());
    ASSERT_EQ(feedback.events().size(), 1u);
    EXPECT_EQ(feedback.events()[0].soundType, kSoundAsterisk);
    EXPECT_TRUE(timesOf(bytesOf(STOP_DECODE)).empty());
}

TEST_F(ScanCycle, FailedStartDecodeDoesNotEndTheCycle) {
    engine.faults().nakNextCommands = 3;
    engine.setParameter(kTransmitNoRead, 0);
    EXPECT_EQ(runScanCycle(state), kLinkOk);
    EXPECT_EQ(timesOf(bytesOf(START_DECODE)).size(), 3u);
    EXPECT_EQ(timesOf(bytesOf(STOP_DECODE)).size(), 1u);
    EXPECT_EQ(timesOf(bytesOf(AIM_OFF)).size(), 1u);
}

}  // namespace
}  // namespace qm::test
