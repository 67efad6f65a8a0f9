#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/linux/StrokeIndex.h"

struct _XDisplay;
struct _XkbDesc;

namespace qm::linux_platform {

// What the keyboard layout in use offers for typing, as read from the X server.
struct XkbLayout {
    int group = 0;
    std::vector<LayoutLevel> levels;  // of the active group only
    // Keycodes with no symbols and no modifier role, free to borrow for a missing keysym.
    std::vector<uint8_t> spareKeycodes;
    // A key that sets each real modifier when held; 0 where none can be held safely (the
    // lock keys would stay locked).
    std::array<uint8_t, 8> modifierKeycodes{};
};

XkbLayout readXkbLayout(_XDisplay* display);
// The same from a map already fetched; every part of it may be missing.
XkbLayout layoutFromXkbMap(_XkbDesc* xkb, int group);
int activeXkbGroup(_XDisplay* display);

}  // namespace qm::linux_platform
