#pragma once

#include <string>

namespace qm::linux_platform {

// A sealed memory file holding a keymap text and its terminating NUL, as Wayland hands
// keymaps over; -1 when it cannot be made. The caller closes it.
int keymapFile(const std::string& text);

// The keymap text in a file a compositor handed over; empty when it cannot be read.
std::string readKeymapFile(int fd, size_t size);

}  // namespace qm::linux_platform
