#include <gtest/gtest.h>

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <atomic>
#include <memory>

#include "PacketBytes.h"
#include "PrivateBus.h"
#include "apps/desktop/BusNames.h"
#include "apps/desktop/WedgeControl.h"
#include "platform/Platform.h"
#include "platform/linux/RealClock.h"
#include "platform/sim/RecordingKeyboard.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "state/ProcessState.h"
#include "wedge/KeystrokeSynthesis.h"
#include "wedge/ScanWedgeThread.h"

namespace qm::test {
namespace {

using namespace qm::desktop;

// The remote keys as the scanning thread reads them, counting its looks at the scan key.
class CountedKeys : public KeyState {
public:
    explicit CountedKeys(KeyState& keys) : keys_(keys) {}
    uint16_t asyncKeyState(uint8_t virtualKey) override {
        ++reads;
        return keys_.asyncKeyState(virtualKey);
    }
    std::atomic<int> reads{0};

private:
    KeyState& keys_;
};

// The whole road in real time: a script presses and releases the scan key on the bus, the
// running scanning thread scans the simulated engine's bar code and types it.
TEST(ScanThroughTheBus, APressAndItsReleaseGiveOneScanCycle) {
    PrivateBus bus;
    if (!bus.running()) GTEST_SKIP() << "no dbus-daemon to run a private bus";
    linux_platform::RealClock clock;
    sim::SimEngine engine;
    sim::SimSerialPortOpener opener{clock, engine};
    sim::RecordingKeyboard keyboard;
    Platform platform{clock, opener, nullptr, &keyboard};
    ProcessState state{platform};
    RemoteTriggerKeys remote{clock, [&] { return triggerKeysOf(state); }};
    CountedKeys keys{remote};
    platform.keys = &keys;
    ASSERT_EQ(state.link.openPort(u"COM3:"), 1);
    state.link.scanKey = 0xEB;
    state.link.scanTime = 30;
    engine.placeBarcode({sim::Symbology::Code128, "Qz-1"});
    state.ScanningEnabled = 1;
    ASSERT_EQ(startWedgeThread(state), 1);
    // The thread stops before the keys it reads go, whatever the test's outcome.
    const std::unique_ptr<ScanEngineLink, void (*)(ScanEngineLink*)> stop{
        &state.link, [](ScanEngineLink* link) { link->closePort(); }};

    WedgeControlService control(bus.connect("wedge"), kWedgeSimService, remote,
                                [&] { return wedgeStatusOf(state); });
    ASSERT_TRUE(control.isActive());
    const QDBusConnection script = bus.connect("script");
    const auto call = [&](const char* method) {
        QDBusPendingCall pending = script.asyncCall(
            QDBusMessage::createMethodCall(kWedgeSimService, kWedgePath, kWedgeInterface, method));
        return spinUntil([&] { return pending.isFinished(); }) && !pending.isError();
    };
    const auto received = [&](const Bytes& packet) {
        int count = 0;
        for (const auto& arrived : engine.received()) count += arrived.bytes == packet;
        return count;
    };

    ASSERT_TRUE(call("PressScanKey"));
    ASSERT_TRUE(spinUntil([&] { return received(bytesOf(START_DECODE)) == 1; }));
    ASSERT_TRUE(call("ReleaseScanKey"));
    ASSERT_TRUE(spinUntil([&] { return received(bytesOf(AIM_OFF)) == 1; }));
    // Once the thread has looked at the key again after the cycle, no other cycle can start.
    const int readsAfterCycle = keys.reads;
    ASSERT_TRUE(spinUntil([&] { return keys.reads > readsAfterCycle + 2; }));
    state.link.closePort();
    EXPECT_EQ(received(bytesOf(START_DECODE)), 1);
    EXPECT_EQ(received(bytesOf(AIM_OFF)), 1);

    sim::RecordingKeyboard expected;
    typeDecodedData(expected, reinterpret_cast<const uint8_t*>("Qz-1"), 4);
    EXPECT_EQ(keyboard.events(), expected.events());
}

}  // namespace
}  // namespace qm::test
