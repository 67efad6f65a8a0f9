#include <gtest/gtest.h>

#include "platform/linux/DesktopDeviceLibrary.h"
#include "platform/sim/RecordingDeviceLibrary.h"

namespace qm {
namespace {

TEST(RecordingDeviceLibrary, KeepsEveryCallInOrderWithItsArguments) {
    sim::RecordingDeviceLibrary device;
    device.KVSetGPIODirection(0x48, 0x48);
    device.KVSetKeyboardCustomMode(2);
    device.KVSetGPIO(0, 0x48);
    device.KVSetGPIO(0x48, 0x48);

    const std::vector<sim::DeviceCall> expected = {{"KVSetGPIODirection", {0x48, 0x48}},
                                                   {"KVSetKeyboardCustomMode", {2}},
                                                   {"KVSetGPIO", {0, 0x48}},
                                                   {"KVSetGPIO", {0x48, 0x48}}};
    EXPECT_EQ(device.calls(), expected);
    device.clear();
    EXPECT_TRUE(device.calls().empty());
}

// Only the lines a mask selects change, as on the handheld's GPIO port.
TEST(DesktopDeviceLibrary, LinesChangeOnlyWhereTheMaskSays) {
    linux_platform::DesktopDeviceLibrary device;
    device.KVSetGPIO(0xFF, 0x03);
    device.KVSetGPIO(0, 0x48);
    EXPECT_EQ(device.gpioLevels(), 0x03u);
    device.KVSetGPIO(0x48, 0x48);
    device.KVSetGPIO(0x00, 0x01);
    EXPECT_EQ(device.gpioLevels(), 0x4Au);

    device.KVSetGPIODirection(0x48, 0x48);
    EXPECT_EQ(device.gpioDirections(), 0x48u);

    device.KVSetKeyboardCustomMode(2);
    EXPECT_EQ(device.keyboardCustomMode(), 2u);
    device.KVSetKeyboardCustomMode(0);
    EXPECT_EQ(device.keyboardCustomMode(), 0u);
}

}  // namespace
}  // namespace qm
