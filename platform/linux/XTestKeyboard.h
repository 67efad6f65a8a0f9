#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "platform/Keyboard.h"
#include "platform/linux/KeysymStream.h"
#include "platform/linux/StrokeIndex.h"
#include "platform/linux/XTestModifierKeys.h"
#include "platform/linux/XkbLayout.h"

struct _XDisplay;

namespace qm::linux_platform {

// Types into the focused X client through XTest. Each key is typed as the character it
// means on a US keyboard, with whatever modifiers the layout in use needs for it, so the
// characters come out right on any layout. A character the layout lacks is put on a
// spare keycode for as long as this keyboard lives. Modifiers the user holds (a Ctrl or Alt
// trigger key among them) are let go of for each decode and pressed again after it.
class XTestKeyboard : public Keyboard {
public:
    // Nothing when the display cannot be opened or lacks XTest or XKB.
    static std::unique_ptr<XTestKeyboard> open(const char* displayName = nullptr);
    ~XTestKeyboard() override;

    XTestKeyboard(const XTestKeyboard&) = delete;
    XTestKeyboard& operator=(const XTestKeyboard&) = delete;

    void inject(uint8_t virtualKey, uint32_t flags) override;
    // Ends the decode: waits until the server has taken every event, and presses again the
    // modifiers the user still holds.
    void flush() override;

private:
    XTestKeyboard(_XDisplay* display, int xkbEventType);

    void press(uint8_t virtualKey, uint32_t keysym);
    void release(uint8_t virtualKey);
    std::optional<KeyStroke> strokeFor(uint32_t keysym);
    std::optional<KeyStroke> borrowSpareKeycode(uint32_t keysym);
    void drainEvents();
    bool changesLayout(const _XEvent& event) const;
    void rereadLayoutIfChanged();
    void rereadLayout();
    void restoreBorrowedKeycodes();

    _XDisplay* display_;
    int xkbEventType_;
    XTestModifierKeys modifierKeys_;
    bool layoutChanged_ = false;
    KeysymStream stream_;
    XkbLayout layout_;
    StrokeIndex strokes_;
    std::vector<std::pair<uint8_t, uint32_t>> borrowed_;  // keycode, keysym put there
    std::array<uint8_t, 256> pressedKeycode_{};
    bool decodeStarting_ = true;
    std::atomic<bool> lost_{false};  // the server went away: nothing more to type into
};

}  // namespace qm::linux_platform
