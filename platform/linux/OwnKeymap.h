#pragma once

#include <string>

namespace qm::linux_platform {

// The keymap a virtual keyboard of ours brings: every keysym a handheld key can stand for,
// each character on a key of its own so it types without modifiers whatever the user's
// layout, the rest where a US keyboard has it, and the usual modifier keys, so a client
// that takes this keymap over (XWayland does) can still hold Shift, Control, Alt, Super
// and AltGr. Self-contained text in the XKB format; empty when it cannot be compiled.
std::string ownKeymapText();

}  // namespace qm::linux_platform
