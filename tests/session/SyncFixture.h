#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "FaultyFileSystem.h"
#include "SimPackets.h"
#include "engine/Packets.h"
#include "platform/Platform.h"
#include "platform/linux/DeviceRootFileSystem.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "platform/sim/VirtualClock.h"
#include "session/LoadSettings.h"
#include "session/ProgressReporter.h"
#include "state/ProcessState.h"

namespace qm::test {

using Bytes = std::vector<uint8_t>;

class RecordingProgress : public ProgressReporter {
public:
    explicit RecordingProgress(std::vector<int>& positions, int& closes)
        : positions_(positions), closes_(closes) {}
    void setPosition(int position) override { positions_.push_back(position); }
    void close() override { ++closes_; }

private:
    std::vector<int>& positions_;
    int& closes_;
};

class RecordingProgressFactory : public ProgressDialogFactory {
public:
    std::unique_ptr<ProgressReporter> createProgressDialog() override {
        ++created;
        return std::make_unique<RecordingProgress>(positions, closes);
    }
    std::vector<int> positions;
    int closes = 0;
    int created = 0;
};

inline Bytes paramPacket(bool permanent, bool extended, uint8_t number, uint8_t value) {
    return paramSendPacket(number, value, extended ? Bank::Extended : Bank::Simple,
                           permanent ? Storage::Permanent : Storage::Temporary);
}

inline Bytes setPacket(uint8_t number, uint8_t value) { return paramSendPacket(number, value); }
inline Bytes setExtendedPacket(uint8_t number, uint8_t value) {
    return paramSendPacket(number, value, Bank::Extended);
}

// A process on a fresh device root holding the shipped profiles, its link open on a
// simulated engine, the factory profile loaded.
class SyncFixture : public ::testing::Test {
protected:
    SyncFixture() {
        std::random_device random;
        root_ = std::filesystem::temp_directory_path() /
                ("qm-sync-" + std::to_string(random()) + std::to_string(random()));
        prepareDeviceRoot(root_, std::filesystem::path(QM_SOURCE_DIR) / "resources");
        files = std::make_unique<FaultyFileSystem>(root_);
        platform_ = std::make_unique<Platform>(Platform{clock, opener, files.get()});
        state = std::make_unique<ProcessState>(*platform_);
    }
    ~SyncFixture() override {
        state.reset();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    void SetUp() override {
        ASSERT_EQ(loadSettings(*state, "LastUser.cfg"), 1);
        ASSERT_EQ(state->link.openPort(u"COM3:"), 1);
        engine.clearReceived();
    }

    std::vector<Bytes> packetsReceived() { return packetsReceivedBy(engine); }

    std::filesystem::path profilePath(const std::string& name) const {
        return root_ / "Program Files/Quillmark" / name;
    }

    sim::VirtualClock clock;
    sim::SimEngine engine;
    sim::SimSerialPortOpener opener{clock, engine};
    std::unique_ptr<FaultyFileSystem> files;
    std::unique_ptr<ProcessState> state;
    std::vector<int> positions;
    int closes = 0;
    RecordingProgress progress{positions, closes};

private:
    std::filesystem::path root_;
    std::unique_ptr<Platform> platform_;
};

}  // namespace qm::test
