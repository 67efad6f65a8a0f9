#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "PacketBytes.h"
#include "SimPackets.h"
#include "engine/Packets.h"
#include "platform/Platform.h"
#include "platform/sim/RecordingDeviceLibrary.h"
#include "platform/sim/RecordingFeedback.h"
#include "platform/sim/RecordingKeyboard.h"
#include "platform/sim/ScriptedKeyState.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "platform/sim/VirtualClock.h"
#include "session/ApplySettingsToLink.h"
#include "state/ProcessState.h"
#include "wedge/KeystrokeSynthesis.h"

namespace qm::test {

inline Bytes decodePacket(const std::string& data) {
    Bytes packet{static_cast<uint8_t>(5 + data.size()), kOpDecodeData, 0x00, 0x00, 0x03};
    packet.insert(packet.end(), data.begin(), data.end());
    return withChecksum(packet);
}

// The keys `text` gives when typed.
inline std::vector<sim::KeyEvent> keysFor(const std::string& text) {
    sim::RecordingKeyboard keyboard;
    typeDecodedData(keyboard, reinterpret_cast<const uint8_t*>(text.data()),
                    static_cast<int>(text.size()));
    return keyboard.events();
}

// A whole simulated handheld in virtual time: engine on the serial line, recording
// keyboard, feedback and device library, scripted keys; the link open, scanning enabled.
class WedgeFixture : public ::testing::Test {
protected:
    static constexpr uint8_t kScanKey = 0xEB;    // F3
    static constexpr uint8_t kTargetKey = 0xEC;  // F4
    static constexpr uint8_t kTransmitNoRead = 94;

    void SetUp() override {
        ASSERT_EQ(state.link.openPort(u"COM3:"), 1);
        state.scanSettings.scanKeyName = "F3";
        useScanTime(30);
        state.ScanningEnabled = 1;
        engine.setParameter(kTransmitNoRead, 1);
        engine.clearReceived();
    }

    void useScanTime(int tenths) {
        state.scanSettings.scanTimeIndex = tenths;
        applySettingsToLink(state);
        engine.setParameter(136, static_cast<uint8_t>(tenths));
    }

    void useTargetTime(int tenths) {
        state.scanSettings.targetTimeIndex = tenths;
        applySettingsToLink(state);
    }

    void useTwoButtonControl() {
        state.scanSettings.twoButtonControl = 1;
        state.scanSettings.targetKeyName = "F4";
        applySettingsToLink(state);
    }

    void allFeedback(int on) {
        state.scanSettings.beepOnGoodRead = on;
        state.scanSettings.beepOnNoRead = on;
        state.scanSettings.visualOnGoodRead = on;
        state.scanSettings.visualOnNoRead = on;
    }

    std::vector<Bytes> packetsReceived() { return packetsReceivedBy(engine); }

    // Times at which the engine received each copy of `packet`.
    std::vector<int64_t> timesOf(const Bytes& packet) {
        std::vector<int64_t> times;
        for (const auto& received : engine.received()) {
            if (received.bytes == packet) times.push_back(received.timeMicros);
        }
        return times;
    }

    sim::VirtualClock clock;
    sim::SimEngine engine;
    sim::SimSerialPortOpener opener{clock, engine};
    sim::RecordingKeyboard keyboard;
    sim::RecordingFeedback feedback{clock};
    sim::ScriptedKeyState keys{clock};
    sim::RecordingDeviceLibrary device;
    Platform platform{clock, opener, nullptr, &keyboard, &keys, &feedback, &device};
    ProcessState state{platform};
};

}  // namespace qm::test
