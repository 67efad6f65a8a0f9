#pragma once

#include <cstdint>

namespace qm {

inline constexpr uint32_t kSoundExclamation = 0x30;  // no read
inline constexpr uint32_t kSoundAsterisk = 0x40;     // good read

enum class Popup { GoodRead, NoRead };

// Read feedback: system sounds by type and the two picture popups. Every call is a request
// that returns without waiting for another thread: a backend that draws posts the request to
// its GUI thread and returns. The caller may hold the engine link while it calls, and the GUI
// thread may itself be waiting for that link (pausing scanning) or for the scanning thread
// (closing the port), so waiting for the GUI thread here would deadlock. The caller keeps the
// popup's time itself; a destroy may reach the GUI thread before the popup was ever drawn.
class Feedback {
public:
    virtual ~Feedback() = default;
    virtual void playSystemSound(uint32_t type) = 0;
    virtual void showPopup(Popup popup) = 0;
    virtual void destroyPopup(Popup popup) = 0;
};

}  // namespace qm
