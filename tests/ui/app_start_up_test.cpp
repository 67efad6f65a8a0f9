// Start-up to the main dialog, and its failures: which box, and what they keep from happening.
#include <QPushButton>
#include <filesystem>

#include "engine/Packets.h"
#include "tests/PacketBytes.h"
#include "tests/SimPackets.h"
#include "tests/ui/WedgeAppFixture.h"
#include "ui/ControlLookup.h"

namespace qm::test {
namespace {

struct StartUpCase {
    const char* name;
    bool portOpens;
    bool lastUserPresent;
    bool anotherInstance;
    ShownBox box;
    bool engineInitialised;
};

class StartUpFailure : public WedgeAppFixture, public ::testing::WithParamInterface<StartUpCase> {
protected:
    StartUpFailure() : WedgeAppFixture(GetParam().portOpens ? u"COM3:" : u"COM9:") {}
};

TEST_P(StartUpFailure, ShowsItsBoxSkipsTheEngineAndQuitsOnceTheLoopRuns) {
    const StartUpCase& c = GetParam();
    if (!c.lastUserPresent) std::filesystem::remove(profile("LastUser.cfg"));
    std::unique_ptr<NamedMutex> first;
    if (c.anotherInstance) first = mutexes.createMutex(u"Quillmark").mutex;

    startUp();

    ASSERT_EQ(boxes.shown, std::vector<ShownBox>{c.box});
    EXPECT_EQ(!positions.empty(), c.engineInitialised);
    EXPECT_EQ(!packetsReceivedBy(engine).empty(), c.engineInitialised);
    EXPECT_TRUE(app->quitRequested());
    // The steps after the failure still ran: the main dialog is there, scanning is on.
    EXPECT_NE(app->mainDialog(), nullptr);
    EXPECT_EQ(state->ScanningEnabled.load(), 1);
    EXPECT_EQ(runEventLoop(), ui::CScanWedgeApp::kFailureExitCode);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartUpFailure,
    ::testing::Values(
        StartUpCase{
            "PortNotOpened", false, true, false, {"CommPort failed to Open!", "Quillmark"}, false},
        StartUpCase{"ProfileMissing",
                    true,
                    false,
                    false,
                    {"Configuration file failed to load!", "Error"},
                    false},
        StartUpCase{
            "AlreadyRunning", true, true, true, {"Quillmark already running.", "Results"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

class StartUp : public WedgeAppFixture {};

TEST_F(StartUp, InitialisesTheEngineWithTheBarFrom0To85ThenScans) {
    startUp();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(app->quitRequested());
    ASSERT_EQ(positions.size(), 1u);
    const auto& shown = positions.front();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), 0);
    EXPECT_EQ(shown.back(), 85);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    EXPECT_EQ(state->ScanningEnabled.load(), 1);
    EXPECT_EQ(device.calls().back(), (sim::DeviceCall{"KVSetKeyboardCustomMode", {2}}));
    EXPECT_EQ(app->frame()->windowTitle(), "Quillmark 0.1");
}

TEST_F(StartUp, TheLockGoesWithTheInstanceThatHeldIt) {
    startUp();
    app.reset();
    EXPECT_NE(mutexes.createMutex(u"Quillmark").mutex, nullptr);
}

TEST_F(StartUp, ServiceButtonsOnlyInServiceMode) {
    for (const bool service : {false, true}) {
        app.reset();
        state.reset();
        startUp(service);
        for (const int id : {ui::CMainDlg::kBurnDefaults, ui::CMainDlg::kTurnScanner})
            EXPECT_EQ(ui::control(app->mainDialog(), id)->isVisibleTo(app->mainDialog()), service)
                << id;
        for (const int id :
             {ui::CMainDlg::kBeginScan, ui::CMainDlg::kBarCodeSetup, ui::CMainDlg::kExit})
            EXPECT_TRUE(ui::control(app->mainDialog(), id)->isVisibleTo(app->mainDialog()));
    }
}

}  // namespace
}  // namespace qm::test
