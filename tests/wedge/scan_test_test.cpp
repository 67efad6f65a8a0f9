#include <gtest/gtest.h>

#include "WedgeFixture.h"
#include "session/ScannerTests.h"
#include "ui/WedgeTexts.h"
#include "wedge/Aiming.h"

namespace qm::test {
namespace {

struct ShownText {
    std::u16string text;
    int64_t atMicros;
};

// Words what it is told as the Scanner page does, and keeps each text with its time.
class RecordingScannerPage : public ScanTestPage {
public:
    explicit RecordingScannerPage(Clock& clock) : clock_(clock) {}
    void preparing() override { show(std::u16string(ui::kPreparingToScanText)); }
    void showData(const std::u16string& data) override { show(data); }
    void failed() override { show(std::u16string(ui::kFailedToScanText)); }
    void refreshControls() override { ++refreshes; }

    std::vector<ShownText> texts;
    int refreshes = 0;

private:
    void show(const std::u16string& text) { texts.push_back({text, clock_.nowMicros()}); }

    Clock& clock_;
};

class ScanTest : public WedgeFixture {
protected:
    RecordingScannerPage page{clock};
};

TEST_F(ScanTest, ShowsTheDataWidenedInsteadOfTypingIt) {
    engine.placeBarcode({sim::Symbology::Code128, "Q\xE9!"});
    runScanTest(state, page);
    ASSERT_EQ(page.texts.size(), 2u);
    EXPECT_EQ(page.texts[0].text, u"Preparing to Scan...");
    EXPECT_EQ(page.texts[1].text, (std::u16string{u'Q', char16_t{0xE9}, u'!'}));
    EXPECT_TRUE(keyboard.events().empty());
    EXPECT_EQ(page.refreshes, 1);
    EXPECT_EQ(packetsReceived().back(), bytesOf(AIM_OFF));
}

TEST_F(ScanTest, FailureShowsItsTextBetweenTheBeepsAndThePopup) {
    allFeedback(1);
    runScanTest(state, page);
    ASSERT_EQ(page.texts.size(), 2u);
    EXPECT_EQ(page.texts[1].text, u"Failed to Scan!");
    const auto events = feedback.events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_LE(events[1].atMicros, page.texts[1].atMicros);
    EXPECT_EQ(events[2].call, sim::FeedbackCall::ShowPopup);
    EXPECT_GE(events[2].atMicros, page.texts[1].atMicros);
    // No final 100 ms pause: AIM_OFF goes out as soon as the popup is gone.
    const int64_t aimOff = timesOf(bytesOf(AIM_OFF)).at(0);
    EXPECT_EQ(aimOff - events[3].atMicros, 10'000 + 6 * sim::SimEngine::kByteMicros);
}

TEST_F(ScanTest, EndsAimingFirstAndWaitsAQuarterSecondMoreBeforeReading) {
    engine.setParameter(kTransmitNoRead, 0);
    useTwoButtonControl();
    useScanTime(5);
    startAiming(state);
    engine.clearReceived();
    runScanTest(state, page);
    const auto packets = packetsReceived();
    ASSERT_GE(packets.size(), 2u);
    EXPECT_EQ(packets[0], bytesOf(AIM_OFF));
    EXPECT_EQ(packets[1], bytesOf(START_DECODE));
    EXPECT_EQ(state.AimStartTime.load(), 0);
    EXPECT_EQ(state.AimingActive.load(), 0);
    const int64_t started = timesOf(bytesOf(START_DECODE)).at(0);
    const int64_t stopped = timesOf(bytesOf(STOP_DECODE)).at(0);
    EXPECT_EQ(stopped - started, 10'000 + 250'000 + 702'000 + 1'000 + 702'000 + 10'000 +
                                     6 * sim::SimEngine::kByteMicros);
}

}  // namespace
}  // namespace qm::test
