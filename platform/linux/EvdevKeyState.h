#pragma once

#include <array>
#include <atomic>
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/KeyChangeSignal.h"
#include "platform/KeyState.h"

struct libevdev;

namespace qm::linux_platform {

// Linux input key codes held down on any of several keyboards: a key is down while at
// least one of them holds it.
class LinuxKeysDown {
public:
    static constexpr uint16_t KeyCount = 0x300;

    // A change of one keyboard's key; auto-repeats are not changes.
    void change(uint16_t code, bool down);
    bool isDown(uint16_t code) const;
    uint16_t asyncKeyState(uint8_t virtualKey) const;
    // Shift, Control, Alt, AltGr or Super, on either side.
    bool anyModifierDown() const;

private:
    std::array<std::atomic<uint8_t>, KeyCount> holders_{};
};

// A device is listened to when it has one of the keys a trigger usually is.
bool isTriggerKeyboard(const std::function<bool(uint16_t code)>& hasKey);

// Key state from the kernel's input devices, for a wedge running without X. A thread of
// its own reads every keyboard that could carry a trigger key and tells its watcher of each
// change; a query reads memory only.
// Keyboards plugged in later are not seen.
class EvdevKeyState : public KeyState {
public:
    // Nothing when no event device in the folder could be opened as a keyboard.
    static std::unique_ptr<EvdevKeyState> open(const std::string& folder = "/dev/input");
    ~EvdevKeyState() override;

    EvdevKeyState(const EvdevKeyState&) = delete;
    EvdevKeyState& operator=(const EvdevKeyState&) = delete;

    uint16_t asyncKeyState(uint8_t virtualKey) override;
    bool watch(Wakeup* wake) override;

    // Whether any keyboard read holds a modifier now.
    bool anyModifierHeld() const { return keys_.anyModifierDown(); }

private:
    struct Device {
        std::string path;
        int fd;
        libevdev* evdev;
        std::bitset<LinuxKeysDown::KeyCount> down;
    };

    EvdevKeyState(std::vector<Device> devices, int stopRead, int stopWrite);

    void listen();
    bool readEvents(Device& device);
    void apply(Device& device, uint16_t code, bool down);
    void forget(Device& device);

    std::vector<Device> devices_;  // the listener's alone once it runs
    int stopRead_;
    int stopWrite_;
    LinuxKeysDown keys_;
    KeyChangeSignal changed_;
    std::thread listener_;
};

}  // namespace qm::linux_platform
