// Start-up to the main dialog, and its failures: which box, and what they keep from happening.
#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <sstream>

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

    ASSERT_EQ(boxes.shown.size(), 1u);
    // The described text comes first; what follows it says why.
    EXPECT_EQ(boxes.shown[0].text.section('\n', 0, 0), c.box.text);
    EXPECT_EQ(boxes.shown[0].caption, c.box.caption);
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

std::string bytesOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class RefusedWorkingProfile : public WedgeAppFixture {
protected:
    void startUpOn(const char* lastUser, bool restore) {
        std::ofstream(profile("LastUser.cfg"), std::ios::binary) << lastUser;
        boxes.chooseOffered = restore;
        log = std::make_unique<std::ostringstream>();
        services.log = log.get();
        startUp();
    }
    std::unique_ptr<std::ostringstream> log;
};

TEST_F(RefusedWorkingProfile, TheBoxSaysWhyAndOffersTheFactoryDefaults) {
    startUpOn("0 F3", false);

    const QString reason = QString::fromStdString(profile("LastUser.cfg").string()) +
                           ": line 1: the file ends before field 2 (targetKeyName)";
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              "Configuration file failed to load!\n\n" + reason +
                  ".\n\n\"Use Factory Defaults\" starts with the factory settings; a file that "
                  "cannot be read is kept beside it as LastUser.cfg.unreadable. \"OK\" ends "
                  "Quillmark.");
    EXPECT_EQ(boxes.offered, std::vector<QString>{"Use Factory Defaults"});
    EXPECT_NE(
        log->str().find("Configuration file failed to load! (" + reason.toStdString() + ")\n"),
        std::string::npos);
    EXPECT_TRUE(app->quitRequested());
    EXPECT_EQ(bytesOf(profile("LastUser.cfg")), "0 F3");
    EXPECT_TRUE(positions.empty());
}

TEST_F(RefusedWorkingProfile, TheFactoryDefaultsStartTheWedgeAndTheRefusedFileIsKept) {
    startUpOn("0 F3", true);

    EXPECT_FALSE(app->quitRequested());
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(bytesOf(profile("LastUser.cfg.unreadable")), "0 F3");
    EXPECT_EQ(bytesOf(profile("LastUser.cfg")), bytesOf(profile("defaults.cfg")));
    ASSERT_EQ(positions.size(), 1u);
    EXPECT_EQ(positions[0].back(), 85);
    EXPECT_NE(log->str().find("kept as " + profile("LastUser.cfg.unreadable").string()),
              std::string::npos);
}

class StartUp : public WedgeAppFixture {};

class FailingMutexes : public NamedMutexes {
public:
    MutexCreation createMutex(std::u16string_view) override { return {nullptr, 30}; }
};

TEST_F(StartUp, AReadOnlyDeviceRootIsNamedInTheLockBox) {
    FailingMutexes readOnly;
    platform.mutexes = &readOnly;
    startUp();
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown[0],
              (ShownBox{"CreateMutex error: 30.\n\nThe device root's lock file cannot be created: "
                        "Read-only file system. No setting can be saved there, and a second "
                        "Quillmark would not be stopped.",
                        "Error"}));
    EXPECT_FALSE(app->quitRequested());
}

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
