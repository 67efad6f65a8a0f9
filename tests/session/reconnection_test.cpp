// An engine unplugged and plugged back in: the link finds it gone, a change made meanwhile is
// still saved, and the engine, powered up afresh, is brought back in line packet for packet.
#include "session/Reconnection.h"

#include <gtest/gtest.h>

#include "SyncFixture.h"
#include "session/DeviceMonitor.h"
#include "session/EngineSync.h"
#include "session/SettingChange.h"
#include "session/StatusLine.h"
#include "settings/ParameterCatalogue.h"

namespace qm::test {
namespace {

class RecordingStatus : public StatusLine {
public:
    void showStatus(std::string_view text) override { texts.emplace_back(text); }
    std::vector<std::string> texts;
};

class Reconnection : public SyncFixture {
protected:
    // What start-up sends to an engine fresh from the factory for the profile saved now.
    std::vector<Bytes> startUpPacketsForTheSavedProfile() {
        sim::SimEngine fresh;
        sim::SimSerialPortOpener freshLine{clock, fresh};
        Platform platform{clock, freshLine, files.get()};
        ProcessState twin(platform);
        EXPECT_EQ(loadSettings(twin, "LastUser.cfg"), 1);
        EXPECT_EQ(twin.link.openPort(u"COM3:"), 1);
        initializeEngine(twin, nullptr);
        return packetsReceivedBy(fresh);
    }
};

TEST_F(Reconnection, AfterAPowerCycleTheEngineIsBroughtBackPacketForPacket) {
    initializeEngine(*state, nullptr);
    RecordingStatus status;
    changeCheckBox(*state, &status, *findCatalogueEntry("enableCode93"), true);
    engine.unplug();
    EXPECT_FALSE(state->link.probeDevice());
    status.texts.clear();
    EXPECT_EQ(changeCheckBox(*state, &status, *findCatalogueEntry("enableCodabar"), true),
              kLinkDeviceGone);
    EXPECT_EQ(status.texts,
              (std::vector<std::string>{"Updating settings...", "Failed to update settings."}));

    engine.plugIn();
    engine.clearReceived();
    RecordingProgressFactory dialogs;
    ASSERT_TRUE(reconnectEngine(*state, dialogs));
    EXPECT_TRUE(state->link.deviceConnected());
    EXPECT_EQ(packetsReceived(), startUpPacketsForTheSavedProfile());
    // Both the change the engine forgot and the one it never had are in it now.
    EXPECT_EQ(engine.parameter(9), 1);
    EXPECT_EQ(engine.parameter(7), 1);
    EXPECT_EQ(dialogs.created, 1);
    EXPECT_EQ(dialogs.positions.back(), ProgressReporter::kLastPosition);
    EXPECT_EQ(dialogs.closes, 1);
}

TEST_F(Reconnection, WithNoDeviceBackTheLinkStaysGoneAndNoProgressIsShown) {
    engine.unplug();
    EXPECT_FALSE(state->link.probeDevice());
    RecordingProgressFactory dialogs;
    EXPECT_FALSE(reconnectEngine(*state, dialogs));
    EXPECT_TRUE(state->link.deviceGone());
    EXPECT_EQ(dialogs.created, 0);
}

TEST_F(Reconnection, TheMonitorFindsAnIdleLossAndTellsOfTheDeviceBackOnce) {
    int back = 0;
    DeviceMonitor monitor(*state, [&back] { ++back; });
    engine.unplug();
    EXPECT_TRUE(state->link.deviceGone());
    EXPECT_EQ(back, 0);
    engine.plugIn();
    EXPECT_EQ(back, 1);
    RecordingProgressFactory dialogs;
    ASSERT_TRUE(reconnectEngine(*state, dialogs));
    EXPECT_EQ(back, 1);
}

}  // namespace
}  // namespace qm::test
