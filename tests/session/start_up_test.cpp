#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/RecordingDeviceLibrary.h"
#include "session/RestoreWorkingProfile.h"
#include "session/StartUp.h"
#include "session/SyncFixture.h"

namespace qm::test {
namespace {

class RecordingStartUp : public StartUpObserver {
public:
    explicit RecordingStartUp(RecordingProgressFactory& dialogs) : dialogs_(dialogs) {}
    void startUpFailed(StartUpFailure failure, const std::string& reason) override {
        failures.push_back(failure);
        reasons.push_back(reason);
    }
    std::unique_ptr<ProgressReporter> createProgressDialog() override {
        return dialogs_.createProgressDialog();
    }
    std::vector<StartUpFailure> failures;
    std::vector<std::string> reasons;

private:
    RecordingProgressFactory& dialogs_;
};

class StartUp : public SyncFixture {
protected:
    // A process of its own, on `serial`, its port not yet open.
    std::unique_ptr<ProcessState> freshProcess(SerialPortOpener& serial) {
        state->link.closePort();
        platforms_.push_back(std::make_unique<Platform>(
            Platform{clock, serial, state->platform.files, nullptr, nullptr, nullptr, &device}));
        return std::make_unique<ProcessState>(*platforms_.back());
    }
    sim::RecordingDeviceLibrary device;
    RecordingProgressFactory dialogs;
    RecordingStartUp observer{dialogs};
    std::vector<std::unique_ptr<Platform>> platforms_;
};

TEST_F(StartUp, EachFailureStopsTheSequenceWhereItHappens) {
    sim::SimSerialPortOpener otherLine(clock, engine, u"COM9:");
    auto noPort = freshProcess(otherLine);
    EXPECT_FALSE(openSession(*noPort, observer));
    EXPECT_EQ(observer.failures, std::vector<StartUpFailure>{StartUpFailure::PortNotOpened});
    EXPECT_FALSE(observer.reasons[0].empty());
    EXPECT_TRUE(packetsReceived().empty());
    EXPECT_EQ(dialogs.created, 0);

    std::filesystem::remove(profilePath("LastUser.cfg"));
    auto noProfile = freshProcess(opener);
    EXPECT_FALSE(openSession(*noProfile, observer));
    EXPECT_EQ(observer.failures.back(), StartUpFailure::ProfileNotLoaded);
    EXPECT_EQ(observer.reasons.back(), "the file cannot be opened: No such file or directory");
    EXPECT_EQ(profileDisplayPath(*noProfile, "LastUser.cfg"), profilePath("LastUser.cfg").string());
    EXPECT_TRUE(packetsReceived().empty());  // no engine initialisation
    EXPECT_EQ(dialogs.created, 0);
}

TEST_F(StartUp, InitialisesWithProgressAndEndsInOrder) {
    auto process = freshProcess(opener);
    ASSERT_TRUE(openSession(*process, observer));
    EXPECT_TRUE(observer.failures.empty());
    EXPECT_EQ(packetsReceived().front(), Bytes(PARAM_REQUEST_ALL.begin(), PARAM_REQUEST_ALL.end()));
    EXPECT_EQ(dialogs.created, 1);
    EXPECT_EQ(dialogs.positions.front(), 0);
    EXPECT_EQ(dialogs.positions.back(), 85);
    EXPECT_EQ(dialogs.closes, 1);

    leaveScanning(*process);
    EXPECT_EQ(device.calls(), (std::vector<sim::DeviceCall>{{"KVSetGPIODirection", {0, 255}},
                                                            {"KVSetKeyboardCustomMode", {0}}}));
    EXPECT_EQ(packetsReceived().back(), Bytes(AIM_OFF.begin(), AIM_OFF.end()));
    endSession(*process);
    EXPECT_FALSE(process->link.isOpen());
    EXPECT_FALSE(process->link.threadHandle);
}

std::string bytesOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct RestoreCase {
    const char* description;
    const char* lastUser;  // null: missing
    bool renamesFail;
    bool factoryMissing;
    const char* fault;  // empty: restored
};

// The factory defaults become the working profile only where nothing the user had is lost.
TEST_F(StartUp, TheWayBackFromARefusedWorkingProfileLosesNothing) {
    const RestoreCase cases[] = {
        {"missing", nullptr, false, false, ""},
        {"garbled", "garbled", false, false, ""},
        {"garbled, not to be renamed", "garbled", true, false,
         "LastUser.cfg could not be kept aside: Read-only file system."},
        {"missing without factory defaults", nullptr, false, true,
         "Factory Defaults Config does not exist."},
    };
    const std::string factory = bytesOf(profilePath("defaults.cfg"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        std::filesystem::remove(profilePath("LastUser.cfg"));
        std::filesystem::remove(profilePath("LastUser.cfg.unreadable"));
        if (c.lastUser) std::ofstream(profilePath("LastUser.cfg")) << c.lastUser;
        if (c.factoryMissing)
            std::filesystem::rename(profilePath("defaults.cfg"), profilePath("d"));
        files->failRenames = c.renamesFail;

        const WorkingProfileRestore restore = restoreWorkingProfile(*state);

        EXPECT_EQ(restore.fault, c.fault);
        EXPECT_EQ(restore.restored, std::string(c.fault).empty());
        EXPECT_EQ(restore.aside.kept, c.lastUser && !c.renamesFail);
        if (restore.restored) {
            EXPECT_EQ(bytesOf(profilePath("LastUser.cfg")), factory);
        } else if (c.lastUser) {
            EXPECT_EQ(bytesOf(profilePath("LastUser.cfg")), c.lastUser);
        }
        if (restore.aside.kept) {
            EXPECT_EQ(restore.aside.where, profilePath("LastUser.cfg.unreadable").string());
            EXPECT_EQ(bytesOf(profilePath("LastUser.cfg.unreadable")), c.lastUser);
        }
        if (c.factoryMissing)
            std::filesystem::rename(profilePath("d"), profilePath("defaults.cfg"));
    }
}

}  // namespace
}  // namespace qm::test
