#pragma once

#include <string>

namespace qm::linux_platform {

// The keymap a virtual keyboard of ours brings: a US keyboard of every key a handheld key
// can stand for, so each character types as itself whatever the user's layout, and the
// usual modifier keys, so a client that takes this keymap over (XWayland does) can still
// hold Shift, Control, Alt, Super and AltGr. The keys sit where a US keyboard has them:
// XWayland's XTest device keeps a US keymap of its own, and XTest typing after this keymap
// was used comes out right only so. Self-contained text in the XKB format; empty when it
// cannot be compiled.
std::string ownKeymapText();

}  // namespace qm::linux_platform
