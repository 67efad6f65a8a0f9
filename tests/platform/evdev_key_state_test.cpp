#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "TempFolder.h"
#include "platform/Wakeup.h"
#include "platform/linux/EvdevKeyState.h"
#include "platform/linux/RealClock.h"
#include "platform/linux/UinputKeyboard.h"

namespace qm::linux_platform {
namespace {

TEST(LinuxKeysDown, DesktopKeysAnswerForTheirVirtualKeys) {
    struct Case {
        uint16_t linuxKey;
        std::set<uint8_t> downKeys;  // among those asked below
    };
    const Case cases[] = {
        {KEY_F3, {0xEB, 0x72}},  {KEY_F1, {0xE9, 0x70}},
        {KEY_F5, {0xED, 0x74}},  {KEY_F12, {0x7B}},
        {KEY_KPENTER, {0x0D}},   {KEY_ENTER, {0x0D}},
        {KEY_RIGHTCTRL, {0x11}}, {KEY_LEFTALT, {0x12}},
        {KEY_TAB, {0x09}},       {KEY_A, {}},
        {KEY_LEFTSHIFT, {}},
    };
    const uint8_t asked[] = {0xE9, 0xEB, 0xED, 0x70, 0x72, 0x73, 0x74, 0x7B,
                             0x0D, 0x09, 0x11, 0x12, 0x41, 0x10, 0x00};
    for (const Case& c : cases) {
        LinuxKeysDown keys;
        keys.change(c.linuxKey, true);
        for (const uint8_t vk : asked) {
            SCOPED_TRACE(testing::Message()
                         << "key " << c.linuxKey << ", vk 0x" << std::hex << int(vk));
            EXPECT_EQ(keys.asyncKeyState(vk), c.downKeys.contains(vk) ? kKeyDownBit : 0);
        }
    }
}

TEST(LinuxKeysDown, KeyStaysDownWhileAnyKeyboardHoldsIt) {
    LinuxKeysDown keys;
    keys.change(KEY_ENTER, false);  // a release nobody saw the press of
    keys.change(KEY_ENTER, true);
    keys.change(KEY_ENTER, true);
    keys.change(KEY_ENTER, false);
    EXPECT_EQ(keys.asyncKeyState(0x0D), kKeyDownBit);
    keys.change(KEY_ENTER, false);
    EXPECT_EQ(keys.asyncKeyState(0x0D), 0);
    keys.change(LinuxKeysDown::KeyCount, true);  // out of range: ignored
    EXPECT_FALSE(keys.isDown(LinuxKeysDown::KeyCount));
}

// What a decode on the uinput path waits for: a modifier held on any keyboard, lock keys aside.
TEST(LinuxKeysDown, AnyModifierDownIsTheModifiersOnly) {
    LinuxKeysDown keys;
    for (const uint16_t code : {KEY_A, KEY_F3, KEY_CAPSLOCK, KEY_NUMLOCK}) keys.change(code, true);
    EXPECT_FALSE(keys.anyModifierDown());
    for (const uint16_t code : {KEY_LEFTSHIFT, KEY_RIGHTCTRL, KEY_RIGHTALT, KEY_LEFTMETA}) {
        keys.change(code, true);
        EXPECT_TRUE(keys.anyModifierDown()) << code;
        keys.change(code, false);
        EXPECT_FALSE(keys.anyModifierDown()) << code;
    }
}

TEST(EvdevKeyState, OnlyDevicesWithATriggerKeyAreListenedTo) {
    const auto with = [](std::set<uint16_t> codes) {
        return isTriggerKeyboard([&](uint16_t code) { return codes.contains(code); });
    };
    EXPECT_TRUE(with({KEY_A, KEY_ENTER}));
    EXPECT_TRUE(with({KEY_F5}));
    EXPECT_FALSE(with({BTN_LEFT, BTN_RIGHT}));      // a mouse
    EXPECT_FALSE(with({KEY_POWER, KEY_VOLUMEUP}));  // a power button
    EXPECT_FALSE(with({KEY_F6, KEY_KPENTER}));
}

TEST(EvdevKeyState, NothingWhenNoEventDeviceOpensAsAKeyboard) {
    test::TempFolder scratch("qm-evdev");
    const auto folder = scratch.path();
    EXPECT_EQ(EvdevKeyState::open(folder.string()), nullptr);
    std::ofstream(folder / "event0") << "not a device";
    EXPECT_EQ(EvdevKeyState::open(folder.string()), nullptr);
    std::filesystem::remove_all(folder);
    EXPECT_EQ(EvdevKeyState::open(folder.string()), nullptr);
}

template <typename Condition>
bool waitFor(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// A virtual keyboard of our own gives the reader real kernel events.
TEST(EvdevKeyState, SeesAFunctionKeyOfARealDevice) {
    if (!std::filesystem::exists("/dev/uinput")) GTEST_SKIP() << "no /dev/uinput here";
    const auto keyboard = UinputKeyboard::open();
    if (!keyboard) GTEST_SKIP() << "/dev/uinput cannot be opened";
    ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(keyboard->devicePath()); }));
    const auto keys = EvdevKeyState::open();
    if (!keys) GTEST_SKIP() << "the event devices cannot be read";

    // The watcher is woken by the press: no poll finds it.
    Wakeup wake;
    ASSERT_TRUE(keys->watch(&wake));
    RealClock clock;
    const Wakeup::Ticket ticket = wake.ticket();
    keyboard->inject(0x72, 4);
    EXPECT_TRUE(wake.waitUntil(clock, ticket, clock.nowMicros() + 5'000'000));
    EXPECT_TRUE(waitFor([&] { return keys->asyncKeyState(0xEB) == kKeyDownBit; }));
    keys->watch(nullptr);
    keyboard->inject(0x72, 6);
    EXPECT_TRUE(waitFor([&] { return keys->asyncKeyState(0xEB) == 0; }));
}

}  // namespace
}  // namespace qm::linux_platform
