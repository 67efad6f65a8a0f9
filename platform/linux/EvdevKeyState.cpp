#include "platform/linux/EvdevKeyState.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/linux/TriggerKeyMap.h"

namespace qm::linux_platform {

static_assert(LinuxKeysDown::KeyCount == KEY_CNT);

void LinuxKeysDown::change(uint16_t code, bool down) {
    if (code >= KeyCount) return;
    if (down)
        holders_[code].fetch_add(1);
    else if (holders_[code].load() > 0)
        holders_[code].fetch_sub(1);
}

bool LinuxKeysDown::isDown(uint16_t code) const {
    return code < KeyCount && holders_[code].load(std::memory_order_relaxed) > 0;
}

uint16_t LinuxKeysDown::asyncKeyState(uint8_t virtualKey) const {
    const TriggerKeyMapping* mapping = triggerKeyMapping(virtualKey);
    if (!mapping) return 0;
    const bool down = std::any_of(mapping->linuxKeys.begin(), mapping->linuxKeys.end(),
                                  [this](uint16_t code) { return code != 0 && isDown(code); });
    return down ? kKeyDownBit : 0;
}

bool LinuxKeysDown::anyModifierDown() const {
    for (const uint16_t code : {KEY_LEFTSHIFT, KEY_RIGHTSHIFT, KEY_LEFTCTRL, KEY_RIGHTCTRL,
                                KEY_LEFTALT, KEY_RIGHTALT, KEY_LEFTMETA, KEY_RIGHTMETA})
        if (isDown(code)) return true;
    return false;
}

bool isTriggerKeyboard(const std::function<bool(uint16_t)>& hasKey) {
    for (const uint16_t code : {KEY_F1, KEY_F2, KEY_F3, KEY_F4, KEY_F5, KEY_ENTER})
        if (hasKey(code)) return true;
    return false;
}

namespace {

libevdev* openKeyboard(const std::filesystem::path& path, int& fd) {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    libevdev* evdev = nullptr;
    if (libevdev_new_from_fd(fd, &evdev) == 0 && libevdev_has_event_type(evdev, EV_KEY) &&
        isTriggerKeyboard(
            [evdev](uint16_t code) { return libevdev_has_event_code(evdev, EV_KEY, code) != 0; }))
        return evdev;
    if (evdev) libevdev_free(evdev);
    close(fd);
    return nullptr;
}

}  // namespace

std::unique_ptr<EvdevKeyState> EvdevKeyState::open(const std::string& folder) {
    std::vector<Device> devices;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (!entry.path().filename().string().starts_with("event")) continue;
        int fd = -1;
        if (libevdev* evdev = openKeyboard(entry.path(), fd))
            devices.push_back({entry.path().string(), fd, evdev, {}});
    }
    int stop[2];
    if (devices.empty() || pipe2(stop, O_CLOEXEC) != 0) {
        for (Device& device : devices) {
            libevdev_free(device.evdev);
            close(device.fd);
        }
        return nullptr;
    }
    return std::unique_ptr<EvdevKeyState>(new EvdevKeyState(std::move(devices), stop[0], stop[1]));
}

EvdevKeyState::EvdevKeyState(std::vector<Device> devices, int stopRead, int stopWrite)
    : devices_(std::move(devices)), stopRead_(stopRead), stopWrite_(stopWrite) {
    // Keys already held when we start count as down.
    for (Device& device : devices_)
        for (uint16_t code = 0; code < LinuxKeysDown::KeyCount; ++code)
            if (libevdev_get_event_value(device.evdev, EV_KEY, code) != 0)
                apply(device, code, true);
    listener_ = std::thread([this] { listen(); });
}

EvdevKeyState::~EvdevKeyState() {
    const char byte = 0;
    [[maybe_unused]] const auto written = write(stopWrite_, &byte, 1);
    listener_.join();
    for (Device& device : devices_) forget(device);
    close(stopRead_);
    close(stopWrite_);
}

uint16_t EvdevKeyState::asyncKeyState(uint8_t virtualKey) {
    return keys_.asyncKeyState(virtualKey);
}

bool EvdevKeyState::watch(Wakeup* wake) {
    changed_.watch(wake);
    return true;
}

void EvdevKeyState::listen() {
    std::vector<pollfd> fds;
    for (;;) {
        fds.assign(1, {stopRead_, POLLIN, 0});
        for (const Device& device : devices_)
            if (device.evdev) fds.push_back({device.fd, POLLIN, 0});
        if (poll(fds.data(), fds.size(), -1) < 0) continue;  // interrupted by a signal
        if (fds[0].revents != 0) return;
        for (Device& device : devices_)
            if (device.evdev && !readEvents(device)) forget(device);
    }
}

// False once the device is gone (unplugged) or unreadable.
bool EvdevKeyState::readEvents(Device& device) {
    input_event event{};
    unsigned flags = LIBEVDEV_READ_FLAG_NORMAL;
    for (;;) {
        const int rc = libevdev_next_event(device.evdev, flags, &event);
        if (rc == -EAGAIN) {
            if (flags == LIBEVDEV_READ_FLAG_NORMAL) return true;
            flags = LIBEVDEV_READ_FLAG_NORMAL;  // the resync after dropped events is done
            continue;
        }
        if (rc < 0) return false;
        // After dropped events the library replays the differences, which apply as usual.
        if (rc == LIBEVDEV_READ_STATUS_SYNC) flags = LIBEVDEV_READ_FLAG_SYNC;
        if (event.type == EV_KEY) apply(device, event.code, event.value != 0);
    }
}

void EvdevKeyState::apply(Device& device, uint16_t code, bool down) {
    if (code >= LinuxKeysDown::KeyCount || device.down[code] == down) return;
    device.down[code] = down;
    keys_.change(code, down);
    changed_.changed();
}

// Its held keys are released: a keyboard unplugged with a key down holds nothing.
void EvdevKeyState::forget(Device& device) {
    if (!device.evdev) return;
    for (uint16_t code = 0; code < LinuxKeysDown::KeyCount; ++code)
        if (device.down[code]) apply(device, code, false);
    libevdev_free(device.evdev);
    close(device.fd);
    device.evdev = nullptr;
}

}  // namespace qm::linux_platform
