#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Keyboard.h"

struct libevdev;
struct libevdev_uinput;

namespace qm::linux_platform {

// A virtual keyboard device the kernel feeds to every input consumer (X, Wayland, the
// console). It sends key codes, so the layout in use decides the characters: right only
// where that layout is US. One device lives as long as this object.
class UinputKeyboard : public Keyboard {
public:
    // Nothing when /dev/uinput cannot be used.
    static std::unique_ptr<UinputKeyboard> open(const char* name = "Quillmark keyboard wedge");
    ~UinputKeyboard() override;

    UinputKeyboard(const UinputKeyboard&) = delete;
    UinputKeyboard& operator=(const UinputKeyboard&) = delete;

    void inject(uint8_t virtualKey, uint32_t flags) override;

    // The device node readers see, such as /dev/input/event7.
    std::string devicePath() const;

private:
    UinputKeyboard(libevdev* device, libevdev_uinput* uinput);

    libevdev* device_;
    libevdev_uinput* uinput_;
};

}  // namespace qm::linux_platform
