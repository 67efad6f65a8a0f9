#pragma once

#include <cstdint>

namespace qm {

inline constexpr uint32_t kSoundExclamation = 0x30;  // no read
inline constexpr uint32_t kSoundAsterisk = 0x40;     // good read

enum class Popup { GoodRead, NoRead };

// Read feedback: system sounds by type and the two picture popups. Called from the scanning
// thread; a backend that draws must do so on its own GUI thread, and a popup must be on the
// screen when showPopup returns, because the caller then sleeps without pumping messages.
class Feedback {
public:
    virtual ~Feedback() = default;
    virtual void playSystemSound(uint32_t type) = 0;
    virtual void showPopup(Popup popup) = 0;
    virtual void destroyPopup(Popup popup) = 0;
};

}  // namespace qm
