#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "BoundedWait.h"
#include "platform/Feedback.h"
#include "platform/Platform.h"
#include "platform/linux/RealClock.h"
#include "platform/sim/ScriptedKeyState.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "session/ApplySettingsToLink.h"
#include "session/ScanningControl.h"
#include "state/ProcessState.h"
#include "wedge/ScanWedgeThread.h"

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
    bool shownWithin() {
        return posted_.until([this] {
            std::lock_guard lock(mutex_);
            return !queue_.empty();
        });
    }

private:
    void post(PopupRequest request) {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(request);
        }
        posted_.changed();
    }

    std::mutex mutex_;
    std::vector<PopupRequest> queue_;
    BoundedWait posted_;
};

// Real threads in real time: the GUI thread, the one that serves the popups, stops or pauses
// the scanning thread while a good read's popup is up.
class PostedPopups : public ::testing::Test {
protected:
    void SetUp() override {
        engine.setParameter(237, 0);
        engine.setParameter(136, 5);
        engine.placeBarcode({sim::Symbology::Code128, "gui"});
        ASSERT_EQ(state.link.openPort(u"COM3:"), 1);
        state.scanSettings.scanTimeIndex = 5;
        state.scanSettings.twoButtonControl = 1;
        applySettingsToLink(state);
        state.scanSettings.visualOnGoodRead = 1;
        keys.holdFrom(state.linkSettings.scanKey(), 0);
        state.ScanningEnabled = 1;
        ASSERT_EQ(startWedgeThread(state), 1);
        ASSERT_TRUE(feedback.shownWithin()) << "no good read";
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

// Of the popup's 1500 ms nothing is waited for: the cycle takes its popup down and aims off.
TEST_F(PostedPopups, PausingTakesThePopupDownAndEndsTheCycleAtOnce) {
    const int64_t took = timeOnGuiThread([this] { pauseScanning(state); });
    EXPECT_LT(took, 500 * kMs);
    EXPECT_EQ(feedback.serve(), kShownAndDestroyed);
}

TEST_F(PostedPopups, ClosingEndsTheCycleAndTheThreadAtOnce) {
    const int64_t took = timeOnGuiThread([this] { state.link.closePort(); });
    EXPECT_LT(took, 500 * kMs);
    EXPECT_EQ(state.link.threadHandle, nullptr);
    EXPECT_EQ(feedback.serve(), kShownAndDestroyed);
}

}  // namespace
}  // namespace qm::test
