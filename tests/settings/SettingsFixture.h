#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "platform/SerialPort.h"
#include "platform/linux/DeviceRootFileSystem.h"
#include "platform/sim/VirtualClock.h"
#include "state/ProcessState.h"

namespace qm::test {

// No engine: the settings never open the port.
class NoSerialPorts : public SerialPortOpener {
public:
    std::unique_ptr<SerialPort> open(const std::u16string&) override { return nullptr; }
};

// A fresh temporary device root, removed again at the end.
class TemporaryDeviceRoot {
public:
    TemporaryDeviceRoot() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("qm-settings-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TemporaryDeviceRoot() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryDeviceRoot(const TemporaryDeviceRoot&) = delete;
    TemporaryDeviceRoot& operator=(const TemporaryDeviceRoot&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// One process's worth of state on a temporary device root with the profile folder made.
class SettingsFixture : public ::testing::Test {
protected:
    SettingsFixture() { files.createDirectories("\\Program Files\\Quillmark"); }

    std::unique_ptr<ProcessState> freshState() { return std::make_unique<ProcessState>(platform); }

    std::filesystem::path profileFolder() const { return root.path() / "Program Files/Quillmark"; }
    void writeProfile(std::string_view name, std::string_view text);
    std::string readProfile(std::string_view name) const;

    TemporaryDeviceRoot root;
    sim::VirtualClock clock;
    NoSerialPorts serial;
    DeviceRootFileSystem files{root.path()};
    Platform platform{clock, serial, &files};
    std::unique_ptr<ProcessState> state = freshState();
};

// Every field and saved entry different from its neighbours as far as the values it can
// hold allow, with each time pair in agreement.
void fillDistinctRecord(ScanSettings& settings, CommandArray& commands);

// The settings and entries of the layout example: the record whose file text is known.
void fillExampleRecord(ScanSettings& settings, CommandArray& commands);

std::string shippedResource(std::string_view name);

}  // namespace qm::test
