#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

struct _XDisplay;
union _XEvent;

namespace qm::linux_platform {

// The trigger keys kept from the focused application: a passive grab of just those keys on
// the root window, with any modifiers, so the wedge sees them (through raw events) and the
// application does not. Every other key is left alone, and so is every setting of the
// desktop: nothing is left to undo when the process dies. The grab a press (or a held key's
// repeat) activates is let go at once, or the decode typed while the trigger is still held
// would come to us instead of the application. Until then the keyboard stands frozen, so
// keys typed in that moment wait and then reach the application, in order.
// Xlib is used from a thread of its own only.
class X11KeyGrab {
public:
    // Nothing without a display.
    static std::unique_ptr<X11KeyGrab> open(const char* displayName = nullptr);
    ~X11KeyGrab();

    X11KeyGrab(const X11KeyGrab&) = delete;
    X11KeyGrab& operator=(const X11KeyGrab&) = delete;

    // Grabs the desktop keys of these virtual keys and releases every other it held; an empty
    // list releases all. Returns once the server has the change.
    void grabOnly(const std::vector<uint8_t>& virtualKeys);

    // The X keycodes held now, for tests.
    std::vector<uint8_t> grabbedKeycodes();

private:
    X11KeyGrab(_XDisplay* display, int wakeRead, int wakeWrite);

    void serve();
    void applyWanted();
    void letWaitersGo();
    void letGoOfPress(const _XEvent& event);

    _XDisplay* display_;
    int wakeRead_;
    int wakeWrite_;
    std::mutex mutex_;
    std::optional<std::vector<uint8_t>> wanted_;  // virtual keys not yet applied
    std::vector<uint8_t> grabbed_;                // keycodes
    uint64_t requested_ = 0;
    uint64_t applied_ = 0;
    std::condition_variable appliedChanged_;
    bool stopping_ = false;
    bool gone_ = false;              // the server went away: nothing is applied any more
    std::atomic<bool> lost_{false};  // set by Xlib on the server thread

    std::thread server_;
};

}  // namespace qm::linux_platform
