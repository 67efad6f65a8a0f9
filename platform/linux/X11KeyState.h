#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

#include "platform/KeyChangeSignal.h"
#include "platform/KeyState.h"

struct _XDisplay;
union _XEvent;

namespace qm::linux_platform {

// Key state of the whole X display, kept current by a thread of its own that listens to
// XInput2 raw key events, which arrive whichever window has the focus, and tells its watcher
// of each. A query reads memory only and costs the server nothing.
//
// A release can be missed: XWayland sees the keyboard only while one of its windows has the
// focus. So the state is read afresh from the server whenever the focus moves, and every
// kRereadWhileHeld while a key is down; while XWayland's focus is on no X window of its own,
// no key counts as down.
class X11KeyState : public KeyState {
public:
    // Nothing without a display or without XInput2 2.0 or later.
    static std::unique_ptr<X11KeyState> open(const char* displayName = nullptr);

    static constexpr std::chrono::milliseconds kRereadWhileHeld{250};
    ~X11KeyState() override;

    X11KeyState(const X11KeyState&) = delete;
    X11KeyState& operator=(const X11KeyState&) = delete;

    uint16_t asyncKeyState(uint8_t virtualKey) override;
    bool watch(Wakeup* wake) override;

private:
    X11KeyState(_XDisplay* display, int xiOpcode, int xkbEventType, int stopRead, int stopWrite);

    void listen();
    void handle(_XEvent& event);
    void readKeymap();
    // True when a key changed.
    bool readAfresh();
    bool anyKeyDown() const;
    bool focusOnNoXWindow();
    void mapTriggerKeys();
    void forgetHeldKeys();

    _XDisplay* display_;
    int xiOpcode_;
    int xkbEventType_;  // negative without XKB
    bool xwayland_;
    unsigned long activeWindowAtom_;
    int stopRead_;
    int stopWrite_;
    std::array<std::atomic<bool>, 256> keycodeDown_{};
    // Per virtual key, the X keycodes of its keysyms: the first in the low byte.
    std::array<std::atomic<uint16_t>, 256> keycodesOf_{};
    KeyChangeSignal changed_;
    std::atomic<bool> lost_{false};  // the server went away
    std::thread listener_;
};

}  // namespace qm::linux_platform
