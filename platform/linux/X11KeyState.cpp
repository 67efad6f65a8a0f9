#include "platform/linux/X11KeyState.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <bitset>

#include "platform/linux/TriggerKeyMap.h"
#include "platform/linux/X11ConnectionLoss.h"

namespace qm::linux_platform {
namespace {

bool hasXInput2(Display* display, int& opcode) {
    int event = 0, error = 0;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error)) return false;
    int major = 2, minor = 2;  // raw events reach us during grabs from 2.1 on
    return XIQueryVersion(display, &major, &minor) == Success && major >= 2;
}

// Layout changes arrive as XKB events when the server has XKB; -1 otherwise.
int watchLayoutChanges(Display* display) {
    int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &event, &error, &major, &minor)) return -1;
    const unsigned changes = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
    XkbSelectEvents(display, XkbUseCoreKbd, changes, changes);
    return event;
}

bool isXWayland(Display* display) {
    int opcode = 0, event = 0, error = 0;
    return XQueryExtension(display, "XWAYLAND", &opcode, &event, &error);
}

// The window manager's word for a focus change: the root's _NET_ACTIVE_WINDOW.
void selectFocusChanges(Display* display) {
    XSelectInput(display, DefaultRootWindow(display), PropertyChangeMask);
}

void selectRawKeys(Display* display) {
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
    XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
}

}  // namespace

std::unique_ptr<X11KeyState> X11KeyState::open(const char* displayName) {
    Display* display = XOpenDisplay(displayName);
    if (!display) return nullptr;
    int xiOpcode = 0;
    int stop[2];
    if (!hasXInput2(display, xiOpcode) || pipe2(stop, O_CLOEXEC) != 0) {
        XCloseDisplay(display);
        return nullptr;
    }
    const int xkbEvent = watchLayoutChanges(display);
    return std::unique_ptr<X11KeyState>(
        new X11KeyState(display, xiOpcode, xkbEvent, stop[0], stop[1]));
}

X11KeyState::X11KeyState(Display* display, int xiOpcode, int xkbEventType, int stopRead,
                         int stopWrite)
    : display_(display),
      xiOpcode_(xiOpcode),
      xkbEventType_(xkbEventType),
      xwayland_(isXWayland(display)),
      activeWindowAtom_(XInternAtom(display, "_NET_ACTIVE_WINDOW", False)),
      stopRead_(stopRead),
      stopWrite_(stopWrite) {
    watchConnectionLoss(display_, lost_);
    // Selected before the keymap is read, so no change between the two is lost.
    selectRawKeys(display_);
    selectFocusChanges(display_);
    readAfresh();
    mapTriggerKeys();
    listener_ = std::thread([this] { listen(); });
}

X11KeyState::~X11KeyState() {
    const char byte = 0;
    [[maybe_unused]] const auto written = write(stopWrite_, &byte, 1);
    listener_.join();
    close(stopRead_);
    close(stopWrite_);
    XCloseDisplay(display_);
}

uint16_t X11KeyState::asyncKeyState(uint8_t virtualKey) {
    const uint16_t keycodes = keycodesOf_[virtualKey].load(std::memory_order_relaxed);
    for (const uint8_t keycode : {uint8_t(keycodes & 0xFF), uint8_t(keycodes >> 8)})
        if (keycode != 0 && keycodeDown_[keycode].load(std::memory_order_relaxed))
            return kKeyDownBit;
    return 0;
}

bool X11KeyState::watch(Wakeup* wake) {
    changed_.watch(wake);
    return true;
}

void X11KeyState::listen() {
    pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {stopRead_, POLLIN, 0}};
    for (;;) {
        while (!connectionLost(lost_) && XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            handle(event);
        }
        if (connectionLost(lost_)) return forgetHeldKeys();
        const int timeout = anyKeyDown() ? static_cast<int>(kRereadWhileHeld.count()) : -1;
        const int ready = poll(fds, 2, timeout);
        if (ready < 0) continue;  // interrupted by a signal
        if (fds[1].revents != 0) return;
        if (ready == 0 && !connectionLost(lost_) && readAfresh()) changed_.changed();
    }
}

// No release will come from a server that is gone: a key held then must not scan on.
void X11KeyState::forgetHeldKeys() {
    for (auto& down : keycodeDown_) down.store(false);
    changed_.changed();
}

void X11KeyState::handle(XEvent& event) {
    XGenericEventCookie& cookie = event.xcookie;
    if (cookie.type == GenericEvent && cookie.extension == xiOpcode_) {
        if (!XGetEventData(display_, &cookie)) return;
        const auto* raw = static_cast<const XIRawEvent*>(cookie.data);
        if (raw->detail >= 0 && raw->detail < 256)
            keycodeDown_[raw->detail].store(cookie.evtype == XI_RawKeyPress);
        XFreeEventData(display_, &cookie);
    } else if (event.type == PropertyNotify) {
        if (event.xproperty.atom != activeWindowAtom_) return;
        readAfresh();
    } else if (event.type == MappingNotify) {
        XRefreshKeyboardMapping(&event.xmapping);
        mapTriggerKeys();
    } else if (event.type == xkbEventType_) {
        auto& xkb = reinterpret_cast<XkbEvent&>(event);
        if (xkb.any.xkb_type == XkbMapNotify) XkbRefreshKeyboardMapping(&xkb.map);
        mapTriggerKeys();
    } else {
        return;
    }
    // A new keymap can put a trigger key on a keycode already held.
    changed_.changed();
}

bool X11KeyState::readAfresh() {
    std::bitset<256> before;
    for (int keycode = 0; keycode < 256; ++keycode) before[keycode] = keycodeDown_[keycode].load();
    if (xwayland_ && focusOnNoXWindow())
        for (auto& down : keycodeDown_) down.store(false);
    else
        readKeymap();
    for (int keycode = 0; keycode < 256; ++keycode)
        if (before[keycode] != keycodeDown_[keycode].load()) return true;
    return false;
}

bool X11KeyState::anyKeyDown() const {
    for (const auto& down : keycodeDown_)
        if (down.load(std::memory_order_relaxed)) return true;
    return false;
}

// XWayland's window manager gives the X focus to no window while a native one has it.
bool X11KeyState::focusOnNoXWindow() {
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    return focus == None || focus == PointerRoot;
}

void X11KeyState::readKeymap() {
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    for (int keycode = 0; keycode < 256; ++keycode)
        keycodeDown_[keycode].store((keys[keycode / 8] >> (keycode % 8)) & 1);
}

void X11KeyState::mapTriggerKeys() {
    for (const TriggerKeyMapping& mapping : triggerKeyMappings()) {
        uint16_t keycodes = 0;
        for (int i = 0; i < 2; ++i)
            if (mapping.keysyms[i] != 0)
                keycodes |= uint16_t(XKeysymToKeycode(display_, mapping.keysyms[i]) << (8 * i));
        keycodesOf_[mapping.virtualKey].store(keycodes);
    }
}

}  // namespace qm::linux_platform
