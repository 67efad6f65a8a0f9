#include "platform/linux/X11KeyGrab.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>

#include "platform/linux/TriggerKeyMap.h"
#include "platform/linux/X11ConnectionLoss.h"

namespace qm::linux_platform {

namespace {

// A key another client grabbed first is refused with BadAccess; Xlib's own handler would end
// the process for it. The key then simply stays the focused application's.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

// The keycodes of one virtual key's desktop keys, 0 where there is none.
std::array<uint8_t, 2> keycodesOf(Display* display, uint8_t virtualKey) {
    std::array<uint8_t, 2> codes{};
    const TriggerKeyMapping* mapping = triggerKeyMapping(virtualKey);
    if (!mapping) return codes;
    for (size_t i = 0; i < codes.size(); ++i)
        if (mapping->keysyms[i] != 0) codes[i] = XKeysymToKeycode(display, mapping->keysyms[i]);
    return codes;
}

}  // namespace

std::unique_ptr<X11KeyGrab> X11KeyGrab::open(const char* displayName) {
    Display* display = XOpenDisplay(displayName);
    if (!display) return nullptr;
    int wake[2];
    if (pipe2(wake, O_CLOEXEC) != 0) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::unique_ptr<X11KeyGrab>(new X11KeyGrab(display, wake[0], wake[1]));
}

X11KeyGrab::X11KeyGrab(Display* display, int wakeRead, int wakeWrite)
    : display_(display), wakeRead_(wakeRead), wakeWrite_(wakeWrite) {
    XSetErrorHandler(ignoreXError);
    watchConnectionLoss(display_, lost_);
    server_ = std::thread([this] { serve(); });
}

X11KeyGrab::~X11KeyGrab() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    const char byte = 0;
    [[maybe_unused]] const auto written = write(wakeWrite_, &byte, 1);
    server_.join();
    close(wakeRead_);
    close(wakeWrite_);
    XCloseDisplay(display_);  // drops every grab with the connection
}

void X11KeyGrab::grabOnly(const std::vector<uint8_t>& virtualKeys) {
    std::unique_lock lock(mutex_);
    wanted_ = virtualKeys;
    const uint64_t ticket = ++requested_;
    const char byte = 1;
    [[maybe_unused]] const auto written = write(wakeWrite_, &byte, 1);
    appliedChanged_.wait(lock, [&] { return applied_ >= ticket || stopping_ || gone_; });
}

std::vector<uint8_t> X11KeyGrab::grabbedKeycodes() {
    std::lock_guard lock(mutex_);
    return grabbed_;
}

void X11KeyGrab::serve() {
    pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    for (;;) {
        while (!connectionLost(lost_) && XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            letGoOfPress(event);
        }
        if (connectionLost(lost_)) return letWaitersGo();
        if (poll(fds, 2, -1) < 0) continue;  // interrupted by a signal
        if (fds[1].revents & POLLIN) {
            char bytes[16];
            [[maybe_unused]] const auto n = read(wakeRead_, bytes, sizeof bytes);
            {
                std::lock_guard lock(mutex_);
                if (stopping_) return;
            }
            if (connectionLost(lost_)) return letWaitersGo();
            applyWanted();
        }
    }
}

// The grabs went with the server; whoever waits for a change must not wait for ever.
void X11KeyGrab::letWaitersGo() {
    {
        std::lock_guard lock(mutex_);
        gone_ = true;
    }
    appliedChanged_.notify_all();
}

void X11KeyGrab::applyWanted() {
    std::unique_lock lock(mutex_);
    if (!wanted_) return;
    const std::vector<uint8_t> virtualKeys = std::move(*wanted_);
    wanted_.reset();
    const uint64_t ticket = requested_;
    std::vector<uint8_t> old = grabbed_;
    lock.unlock();

    const Window root = DefaultRootWindow(display_);
    for (const uint8_t code : old) XUngrabKey(display_, code, AnyModifier, root);
    std::vector<uint8_t> keycodes;
    for (const uint8_t key : virtualKeys)
        for (const uint8_t code : keycodesOf(display_, key))
            if (code != 0 && std::find(keycodes.begin(), keycodes.end(), code) == keycodes.end())
                keycodes.push_back(code);
    for (const uint8_t code : keycodes)
        XGrabKey(display_, code, AnyModifier, root, False, GrabModeAsync, GrabModeSync);
    XSync(display_, False);

    lock.lock();
    grabbed_ = keycodes;
    applied_ = ticket;
    appliedChanged_.notify_all();
}

// Letting go also thaws the keyboard; what was typed meanwhile then goes where the focus is.
// Allowing events first would hand it to the grab instead. The next XPending sends it.
void X11KeyGrab::letGoOfPress(const XEvent& event) {
    if (event.type == KeyPress) XUngrabKeyboard(display_, CurrentTime);
}

}  // namespace qm::linux_platform
