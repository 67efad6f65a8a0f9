#include <gtest/gtest.h>
#include <linux/input.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/linux/UinputKeyboard.h"
#include "platform/linux/Xkbcommon.h"

namespace qm::linux_platform {
namespace {

struct Key {
    uint16_t code;
    int value;
    bool operator==(const Key&) const = default;
};

// Reads key events from the device node until `count` have arrived.
std::vector<Key> readKeys(std::ifstream& device, size_t count) {
    std::vector<Key> keys;
    input_event event{};
    while (keys.size() < count && device.read(reinterpret_cast<char*>(&event), sizeof event))
        if (event.type == EV_KEY) keys.push_back({event.code, event.value});
    return keys;
}

class UsKeymap : public SessionKeymap {
public:
    bool refresh() override { return true; }
    xkb_keymap* keymap() const override { return keymap_.get(); }
    uint32_t layout() const override { return 0; }

private:
    XkbKeymapPtr keymap_ = keymapFromNames("us");
};

std::unique_ptr<SessionKeymap> usKeymap() { return std::make_unique<UsKeymap>(); }

TEST(UinputKeyboard, ShiftedLetterArrivesAsKeysAndSkippedKeysDoNot) {
    if (!std::filesystem::exists("/dev/uinput")) GTEST_SKIP() << "no /dev/uinput here";
    // A US session keymap, whatever this machine's: the keys below are its.
    const auto keyboard = UinputKeyboard::open("Quillmark test keyboard", usKeymap());
    if (!keyboard) GTEST_SKIP() << "/dev/uinput cannot be opened";

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!std::filesystem::exists(keyboard->devicePath()) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::ifstream device(keyboard->devicePath(), std::ios::binary);
    device.rdbuf()->pubsetbuf(nullptr, 0);
    ASSERT_TRUE(device.is_open()) << keyboard->devicePath();

    keyboard->inject(0x10, 4);
    keyboard->inject(0xE9, 4);  // no meaning on Linux
    keyboard->inject(0xE9, 6);
    keyboard->inject(0x41, 4);
    keyboard->inject(0x41, 6);
    keyboard->inject(0x10, 6);
    keyboard->inject(0x0A, 4);
    keyboard->inject(0x0A, 6);

    // Shift is held around the press only.
    const std::vector<Key> expected = {{KEY_LEFTSHIFT, 1}, {KEY_A, 1},     {KEY_LEFTSHIFT, 0},
                                       {KEY_A, 0},         {KEY_ENTER, 1}, {KEY_ENTER, 0}};
    EXPECT_EQ(readKeys(device, expected.size()), expected);
}

}  // namespace
}  // namespace qm::linux_platform

namespace qm::linux_platform {
namespace {

// The kernel would drop our release of a modifier another keyboard holds: a decode waits for
// the user's, but not for ever.
TEST(UinputKeyboard, ADecodeWaitsForHeldModifiersWithinItsBound) {
    using std::chrono::milliseconds;
    int looks = 0;
    EXPECT_TRUE(waitForModifiersLetGo([&] { return ++looks <= 3; }, milliseconds(1000)));
    EXPECT_EQ(looks, 4);  // held at three looks, let go at the fourth

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(waitForModifiersLetGo([] { return true; }, milliseconds(30)));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, milliseconds(30));
    EXPECT_LT(waited, milliseconds(500));

    looks = 0;
    EXPECT_TRUE(waitForModifiersLetGo([&] { return ++looks < 0; }, milliseconds(0)));
    EXPECT_EQ(looks, 1);
}

}  // namespace
}  // namespace qm::linux_platform
