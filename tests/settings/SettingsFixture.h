#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "TempFolder.h"
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

// One process's worth of state on a temporary device root with the profile folder made.
class SettingsFixture : public ::testing::Test {
protected:
    SettingsFixture() { files.createDirectories("\\Program Files\\Quillmark"); }

    std::unique_ptr<ProcessState> freshState() { return std::make_unique<ProcessState>(platform); }

    std::filesystem::path profileFolder() const { return root.path() / "Program Files/Quillmark"; }
    void writeProfile(std::string_view name, std::string_view text);
    std::string readProfile(std::string_view name) const;

    TempFolder root{"qm-settings"};
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
