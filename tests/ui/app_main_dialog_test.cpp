// The main dialog's buttons against a started wedge.
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "engine/Packets.h"
#include "tests/PacketBytes.h"
#include "tests/SimPackets.h"
#include "tests/ui/WedgeAppFixture.h"
#include "ui/ControlLookup.h"

namespace qm::test {
namespace {

class MainDialog : public WedgeAppFixture {
protected:
    void click(int id) { ui::controlAs<QPushButton>(app->mainDialog(), id)->click(); }
    size_t received(const FixedPacket& packet) {
        const Bytes wanted(packet.begin(), packet.end());
        const auto packets = packetsReceivedBy(engine);
        return static_cast<size_t>(std::count(packets.begin(), packets.end(), wanted));
    }
};

TEST_F(MainDialog, BarCodeSetupRunsWithScanningOffAndTurnsItBackOn) {
    startUp();
    int scanningDuringSetup = -1;
    app->runBarCodeSetup = [&](QWidget*) { scanningDuringSetup = state->ScanningEnabled; };
    click(ui::CMainDlg::kBarCodeSetup);
    EXPECT_EQ(scanningDuringSetup, 0);
    EXPECT_EQ(state->ScanningEnabled.load(), 1);
}

TEST_F(MainDialog, BeginScanTurnsScanningOnAndMinimisesTheFrame) {
    startUp();
    state->ScanningEnabled = 0;
    click(ui::CMainDlg::kBeginScan);
    EXPECT_EQ(state->ScanningEnabled.load(), 1);
    EXPECT_TRUE(app->frame()->isMinimized());
}

// The application's exit step switches the beam off once more, whatever "Exit" did.
TEST_F(MainDialog, ExitLeavesCustomModeSwitchesAimingOffAndQuitsWithZero) {
    startUp();
    const size_t aimOffsBefore = received(AIM_OFF);
    click(ui::CMainDlg::kExit);
    EXPECT_EQ(device.calls().back(), (sim::DeviceCall{"KVSetKeyboardCustomMode", {0}}));
    EXPECT_EQ(received(AIM_OFF), aimOffsBefore + 1);
    EXPECT_EQ(runEventLoop(), 0);
    app->exitHook();
    EXPECT_EQ(received(AIM_OFF), aimOffsBefore + 2);
}

TEST_F(MainDialog, TurnScannerNamesWhatItsNextPressDoes) {
    startUp(true);
    auto* button = ui::controlAs<QPushButton>(app->mainDialog(), ui::CMainDlg::kTurnScanner);
    click(ui::CMainDlg::kTurnScanner);
    EXPECT_EQ(button->text(), "Turn Scanner\nON");
    EXPECT_EQ(state->ScannerPowerOn.load(), 0);
    click(ui::CMainDlg::kTurnScanner);
    EXPECT_EQ(button->text(), "Turn Scanner\nOFF");
}

TEST_F(MainDialog, BurnDefaultsTellsHowItWent) {
    startUp(true);
    click(ui::CMainDlg::kBurnDefaults);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], (ShownBox{"Defaults burned to scanner.", "Factory Defaults"}));
    EXPECT_EQ(feedback.events().back().call, sim::FeedbackCall::Sound);
    EXPECT_EQ(positions.size(), 2u);  // start-up's dialog and the burn's

    // A folder where the working profile goes: the burn works, its save cannot.
    std::filesystem::remove(profile("LastUser.cfg"));
    std::filesystem::create_directory(profile("LastUser.cfg"));
    click(ui::CMainDlg::kBurnDefaults);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1], (ShownBox{"Defaults burned to scanner.\n\nThe working profile could "
                                        "not be saved: the next start goes back to the settings "
                                        "saved before.",
                                        "Factory Defaults"}));

    std::ofstream(profile("defaults.cfg")) << "not a profile\n";
    click(ui::CMainDlg::kBurnDefaults);
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[2], (ShownBox{"Failed to set Factory Defaults.", "Quillmark"}));
}

}  // namespace
}  // namespace qm::test
