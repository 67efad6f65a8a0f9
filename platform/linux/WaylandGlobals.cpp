#include "platform/linux/WaylandGlobals.h"

#include <wayland-client.h>

#include <algorithm>

namespace qm::linux_platform {
namespace {

void announce(void* data, wl_registry*, uint32_t name, const char* interface, uint32_t version) {
    static_cast<WaylandGlobals*>(data)->globals.push_back({name, interface, version});
}

void withdraw(void* data, wl_registry*, uint32_t name) {
    std::erase_if(static_cast<WaylandGlobals*>(data)->globals,
                  [name](const WaylandGlobals::Global& g) { return g.name == name; });
}

constexpr wl_registry_listener RegistryListener = {announce, withdraw};

}  // namespace

WaylandGlobals::WaylandGlobals(wl_display* display) : registry_(wl_display_get_registry(display)) {
    wl_registry_add_listener(registry_, &RegistryListener, this);
    wl_display_roundtrip(display);
}

WaylandGlobals::~WaylandGlobals() { wl_registry_destroy(registry_); }

void* WaylandGlobals::bind(const wl_interface* interface, uint32_t version) const {
    const auto found = std::find_if(globals.begin(), globals.end(), [&](const Global& g) {
        return g.interface == interface->name;
    });
    if (found == globals.end()) return nullptr;
    return wl_registry_bind(registry_, found->name, interface, std::min(version, found->version));
}

}  // namespace qm::linux_platform
