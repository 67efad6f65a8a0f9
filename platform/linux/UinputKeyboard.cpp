#include "platform/linux/UinputKeyboard.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

#include "platform/linux/VirtualKeyTranslation.h"

namespace qm::linux_platform {
namespace {

libevdev* describeKeyboard(const char* name) {
    libevdev* device = libevdev_new();
    libevdev_set_name(device, name);
    libevdev_enable_event_type(device, EV_KEY);
    for (int vk = 0; vk < 256; ++vk) {
        if (const auto code = linuxKeyCode(static_cast<uint8_t>(vk)))
            libevdev_enable_event_code(device, EV_KEY, *code, nullptr);
    }
    return device;
}

}  // namespace

std::unique_ptr<UinputKeyboard> UinputKeyboard::open(const char* name) {
    libevdev* device = describeKeyboard(name);
    libevdev_uinput* uinput = nullptr;
    if (libevdev_uinput_create_from_device(device, LIBEVDEV_UINPUT_OPEN_MANAGED, &uinput) != 0) {
        libevdev_free(device);
        return nullptr;
    }
    return std::unique_ptr<UinputKeyboard>(new UinputKeyboard(device, uinput));
}

UinputKeyboard::UinputKeyboard(libevdev* device, libevdev_uinput* uinput)
    : device_(device), uinput_(uinput) {}

UinputKeyboard::~UinputKeyboard() {
    libevdev_uinput_destroy(uinput_);
    libevdev_free(device_);
}

// Shift travels as a key of its own: the layout in use combines it as a typist's would.
void UinputKeyboard::inject(uint8_t virtualKey, uint32_t flags) {
    const auto code = linuxKeyCode(virtualKey);
    if (!code) return;
    const int value = (flags & KeyFlagUp) ? 0 : 1;
    libevdev_uinput_write_event(uinput_, EV_KEY, *code, value);
    libevdev_uinput_write_event(uinput_, EV_SYN, SYN_REPORT, 0);
}

std::string UinputKeyboard::devicePath() const {
    const char* node = libevdev_uinput_get_devnode(uinput_);
    return node ? node : "";
}

}  // namespace qm::linux_platform
