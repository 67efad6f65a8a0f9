#pragma once

#include <cstdint>

#include "platform/linux/XkbLayout.h"

struct xkb_keymap;

namespace qm::linux_platform {

// What one layout of a compiled keymap offers for typing: every level of every key with the
// fewest modifiers that can be held to reach it, and the key that holds each modifier. The
// masks are the real modifiers, as X numbers them. Keycodes above 255 are left out.
XkbLayout layoutFromKeymap(xkb_keymap* keymap, uint32_t layoutIndex);

}  // namespace qm::linux_platform
