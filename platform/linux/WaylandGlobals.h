#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct wl_display;
struct wl_interface;
struct wl_registry;

namespace qm::linux_platform {

// The globals a Wayland compositor offers, listed once; any of them can then be bound.
class WaylandGlobals {
public:
    explicit WaylandGlobals(wl_display* display);
    ~WaylandGlobals();

    WaylandGlobals(const WaylandGlobals&) = delete;
    WaylandGlobals& operator=(const WaylandGlobals&) = delete;

    // The first global of this interface at no more than `version`; null when there is none.
    void* bind(const wl_interface* interface, uint32_t version) const;

    struct Global {
        uint32_t name;
        std::string interface;
        uint32_t version;
    };
    std::vector<Global> globals;

private:
    wl_registry* registry_;
};

}  // namespace qm::linux_platform
