#pragma once

#include <cstdint>
#include <memory>

struct xkb_keymap;

namespace qm::linux_platform {

// The keymap the desktop session applies to keyboards, and its active layout, kept current.
class SessionKeymap {
public:
    virtual ~SessionKeymap() = default;
    // Takes in what changed since the last call, without waiting; true when anything did.
    virtual bool refresh() = 0;
    virtual xkb_keymap* keymap() const = 0;  // null while none is known
    virtual uint32_t layout() const = 0;
};

// From the Wayland compositor (the keymap it sends its clients) when there is one, else from
// the X server's XKB, else the keymap the XKB_DEFAULT_* variables name (US without them).
std::unique_ptr<SessionKeymap> openSessionKeymap();

}  // namespace qm::linux_platform
