#include "platform/linux/UinputKeyboard.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

#include <thread>
#include <utility>

#include "platform/linux/KeymapLayout.h"

namespace qm::linux_platform {
namespace {

constexpr unsigned KEY_MAX_TYPED = 248;  // XKB keycodes up to 255
constexpr uint8_t EvdevOffset = 8;

libevdev* describeKeyboard(const char* name) {
    libevdev* device = libevdev_new();
    libevdev_set_name(device, name);
    libevdev_enable_event_type(device, EV_KEY);
    // Whichever key the session's layout puts a character on.
    for (unsigned code = KEY_ESC; code < KEY_MAX_TYPED; ++code)
        libevdev_enable_event_code(device, EV_KEY, code, nullptr);
    return device;
}

}  // namespace

bool waitForModifiersLetGo(const std::function<bool()>& held, std::chrono::milliseconds bound) {
    const auto end = std::chrono::steady_clock::now() + bound;
    while (held()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::unique_ptr<UinputKeyboard> UinputKeyboard::open(const char* name,
                                                     std::unique_ptr<SessionKeymap> keymap) {
    libevdev* device = describeKeyboard(name);
    libevdev_uinput* uinput = nullptr;
    if (libevdev_uinput_create_from_device(device, LIBEVDEV_UINPUT_OPEN_MANAGED, &uinput) != 0) {
        libevdev_free(device);
        return nullptr;
    }
    if (!keymap) keymap = openSessionKeymap();
    return std::unique_ptr<UinputKeyboard>(new UinputKeyboard(device, uinput, std::move(keymap)));
}

UinputKeyboard::UinputKeyboard(libevdev* device, libevdev_uinput* uinput,
                               std::unique_ptr<SessionKeymap> keymap)
    : device_(device), uinput_(uinput), keymap_(std::move(keymap)) {}

UinputKeyboard::~UinputKeyboard() {
    libevdev_uinput_destroy(uinput_);
    libevdev_free(device_);
}

void UinputKeyboard::inject(uint8_t virtualKey, uint32_t flags) {
    const auto event = stream_.feed(virtualKey, flags);
    if (!event) return;
    if (std::exchange(decodeStarting_, false)) {
        if (modifiersHeld_) waitForModifiersLetGo(modifiersHeld_, kModifierWait);
        if (keymap_->refresh()) {
            layout_ = layoutFromKeymap(keymap_->keymap(), keymap_->layout());
            strokes_ = StrokeIndex(layout_.levels);
        }
    }
    if (event->down)
        press(virtualKey, event->keysym);
    else
        release(virtualKey);
}

// The modifier keys are held around the press only: the character is decided there, and no
// modifier stays down while the next key is typed.
void UinputKeyboard::press(uint8_t virtualKey, uint32_t keysym) {
    const auto stroke = strokes_.find(keysym);
    if (!stroke) {
        ++skipped_;
        return;
    }
    if (pressedKeycode_[virtualKey] != 0) return;
    for (int mod = 0; mod < 8; ++mod)
        if (stroke->modifiers & (1u << mod)) key(layout_.modifierKeycodes[mod], true);
    key(stroke->keycode, true);
    for (int mod = 7; mod >= 0; --mod)
        if (stroke->modifiers & (1u << mod)) key(layout_.modifierKeycodes[mod], false);
    pressedKeycode_[virtualKey] = stroke->keycode;
}

void UinputKeyboard::release(uint8_t virtualKey) {
    const uint8_t keycode = std::exchange(pressedKeycode_[virtualKey], 0);
    if (keycode != 0) key(keycode, false);
}

// One report per key, so each modifier is down before the key it changes.
void UinputKeyboard::key(uint8_t xkbKeycode, bool down) {
    libevdev_uinput_write_event(uinput_, EV_KEY, xkbKeycode - EvdevOffset, down ? 1 : 0);
    libevdev_uinput_write_event(uinput_, EV_SYN, SYN_REPORT, 0);
}

std::string UinputKeyboard::devicePath() const {
    const char* node = libevdev_uinput_get_devnode(uinput_);
    return node ? node : "";
}

}  // namespace qm::linux_platform
