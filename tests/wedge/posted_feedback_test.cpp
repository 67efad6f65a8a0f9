#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/Feedback.h"
#include "platform/Platform.h"
#include "platform/linux/RealClock.h"
#include "platform/sim/ScriptedKeyState.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "state/ProcessState.h"
#include "wedge/ScanWedgeThread.h"
#include "wedge/ScanningControl.h"

namespace qm::test {
namespace {

constexpr int64_t kMs = 1000;

struct PopupRequest {
    bool show;
    Popup popup;
    bool operator==(const PopupRequest&) const = default;
};

// Popups as a GUI backend serves them: each call only posts a request to the GUI thread's
// queue, which that thread works through when it next gets to it.
class PostedFeedback : public Feedback {
public:
    void playSystemSound(uint32_t) override {}
    void showPopup(Popup popup) override { post({true, popup}); }
    void destroyPopup(Popup popup) override { post({false, popup}); }

    std::vector<PopupRequest> serve() {
        std::lock_guard lock(mutex_);
        return std::exchange(queue_, {});
    }

private:
    void post(PopupRequest request) {
        std::lock_guard lock(mutex_);
        queue_.push_back(request);
    }

    std::mutex mutex_;
    std::vector<PopupRequest> queue_;
};

// Real threads in real time: the GUI thread, the one that serves the popups, stops or pauses
// the scanning thread while a good read's cycle is on its way to its popup.
class PostedPopups : public ::testing::Test {
protected:
    void SetUp() override {
        engine.setParameter(237, 0);
        engine.setParameter(136, 5);
        engine.placeBarcode({sim::Symbology::Code128, "gui"});
        ASSERT_EQ(state.link.openPort(u"COM3:"), 1);
        state.link.scanTime = 5;
        state.link.twoButtonMode = 1;
        state.scanSettings.visualOnGoodRead = 1;
        keys.holdFrom(state.link.scanKey, 0);
        state.ScanningEnabled = 1;
        ASSERT_EQ(startWedgeThread(state), 1);
        const int64_t deadline = clock.nowMicros() + 5'000 * kMs;
        while (engine.received().empty() && clock.nowMicros() < deadline) clock.sleepMs(1);
        ASSERT_FALSE(engine.received().empty()) << "no scan cycle started";
    }

    // How long the GUI thread spent in `call`.
    int64_t timeOnGuiThread(const std::function<void()>& call) {
        const int64_t start = clock.nowMicros();
        call();
        return clock.nowMicros() - start;
    }

    linux_platform::RealClock clock;
    sim::SimEngine engine;
    sim::SimSerialPortOpener opener{clock, engine};
    sim::ScriptedKeyState keys{clock};
    PostedFeedback feedback;
    Platform platform{clock, opener, nullptr, nullptr, &keys, &feedback, nullptr};
    ProcessState state{platform};
};

const std::vector<PopupRequest> kShownAndDestroyed = {{true, Popup::GoodRead},
                                                      {false, Popup::GoodRead}};

// The cycle still has its read (at most 700 ms), its 1500 ms popup and AIM_OFF to go.
TEST_F(PostedPopups, PausingEndsWithTheCycleThatPostsItsPopupMeanwhile) {
    const int64_t took = timeOnGuiThread([this] { pauseScanning(state); });
    EXPECT_GE(took, 1'500 * kMs);
    EXPECT_LT(took, (700 + 1'500 + 500) * kMs);
    EXPECT_EQ(feedback.serve(), kShownAndDestroyed);
}

TEST_F(PostedPopups, ClosingEndsWithinItsTwoSecondsAndTheThreadWithIt) {
    const int64_t took = timeOnGuiThread([this] { state.link.closePort(); });
    EXPECT_LT(took, (2'000 + 500) * kMs);
    EXPECT_EQ(state.link.threadHandle, nullptr);
    EXPECT_EQ(feedback.serve(), kShownAndDestroyed);
}

}  // namespace
}  // namespace qm::test
