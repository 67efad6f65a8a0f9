#include "platform/linux/SessionKeymap.h"

#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "platform/linux/KeymapFile.h"
#include "platform/linux/WaylandGlobals.h"
#include "platform/linux/Xkbcommon.h"

namespace qm::linux_platform {
namespace {

// A Wayland client is sent the keymap of the keyboard in use, and again when it changes; the
// active layout comes with the modifiers, which a compositor may send only to the focused
// client, so it stays the first layout until told otherwise.
class WaylandSessionKeymap : public SessionKeymap {
public:
    static std::unique_ptr<WaylandSessionKeymap> open() {
        wl_display* display = wl_display_connect(nullptr);
        if (!display) return nullptr;
        std::unique_ptr<WaylandSessionKeymap> session(new WaylandSessionKeymap(display));
        if (!session->seat_) return nullptr;
        wl_display_roundtrip(display);  // the seat's capabilities, then its keyboard
        wl_display_roundtrip(display);
        session->changed_ = true;
        return session;
    }
    ~WaylandSessionKeymap() override {
        if (keyboard_) wl_keyboard_destroy(keyboard_);
        if (seat_) wl_seat_destroy(seat_);
        wl_display_disconnect(display_);
    }

    bool refresh() override {
        while (wl_display_prepare_read(display_) != 0) wl_display_dispatch_pending(display_);
        wl_display_flush(display_);
        pollfd readable{wl_display_get_fd(display_), POLLIN, 0};
        if (poll(&readable, 1, 0) > 0)
            wl_display_read_events(display_);
        else
            wl_display_cancel_read(display_);
        wl_display_dispatch_pending(display_);
        return std::exchange(changed_, false);
    }
    xkb_keymap* keymap() const override { return keymap_.get(); }
    uint32_t layout() const override { return layout_; }

private:
    explicit WaylandSessionKeymap(wl_display* display)
        : display_(display), context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {
        const WaylandGlobals globals(display);
        seat_ = static_cast<wl_seat*>(globals.bind(&wl_seat_interface, 1));
        if (seat_) wl_seat_add_listener(seat_, &SeatListener, this);
    }

    static const wl_seat_listener SeatListener;
    static const wl_keyboard_listener KeyboardListener;

    wl_display* display_;
    XkbContextPtr context_;
    wl_seat* seat_ = nullptr;
    wl_keyboard* keyboard_ = nullptr;
    XkbKeymapPtr keymap_;
    uint32_t layout_ = 0;
    bool changed_ = false;
};

const wl_seat_listener WaylandSessionKeymap::SeatListener = {
    [](void* data, wl_seat* seat, uint32_t capabilities) {
        auto* self = static_cast<WaylandSessionKeymap*>(data);
        if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && !self->keyboard_) {
            self->keyboard_ = wl_seat_get_keyboard(seat);
            wl_keyboard_add_listener(self->keyboard_, &KeyboardListener, self);
        }
    },
    [](void*, wl_seat*, const char*) {},
};
const wl_keyboard_listener WaylandSessionKeymap::KeyboardListener = {
    [](void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
        auto* self = static_cast<WaylandSessionKeymap*>(data);
        const std::string text = readKeymapFile(fd, size);
        close(fd);
        if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 || text.empty()) return;
        XkbKeymapPtr keymap(xkb_keymap_new_from_string(self->context_.get(), text.c_str(),
                                                       XKB_KEYMAP_FORMAT_TEXT_V1,
                                                       XKB_KEYMAP_COMPILE_NO_FLAGS));
        if (!keymap) return;
        self->keymap_ = std::move(keymap);
        self->changed_ = true;
    },
    [](void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {},
    [](void*, wl_keyboard*, uint32_t, wl_surface*) {},
    [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t) {},
    [](void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t group) {
        auto* self = static_cast<WaylandSessionKeymap*>(data);
        if (group != self->layout_) self->changed_ = true;
        self->layout_ = group;
    },
    [](void*, wl_keyboard*, int32_t, int32_t) {},
};

// The core keyboard's keymap and active layout.
class X11SessionKeymap : public SessionKeymap {
public:
    static std::unique_ptr<X11SessionKeymap> open() {
        xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection) ||
            !xkb_x11_setup_xkb_extension(
                connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr)) {
            xcb_disconnect(connection);
            return nullptr;
        }
        std::unique_ptr<X11SessionKeymap> session(new X11SessionKeymap(connection));
        session->readKeymap();
        return session->keymap_ ? std::move(session) : nullptr;
    }
    ~X11SessionKeymap() override { xcb_disconnect(connection_); }

    // Read afresh each time: a handful of round trips, cheaper than following the events.
    bool refresh() override {
        readKeymap();
        const XkbStatePtr state(xkb_x11_state_new_from_device(keymap_.get(), connection_, device_));
        layout_ = state ? xkb_state_serialize_layout(state.get(), XKB_STATE_LAYOUT_EFFECTIVE) : 0;
        return true;
    }
    xkb_keymap* keymap() const override { return keymap_.get(); }
    uint32_t layout() const override { return layout_; }

private:
    explicit X11SessionKeymap(xcb_connection_t* connection)
        : connection_(connection),
          context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)),
          device_(xkb_x11_get_core_keyboard_device_id(connection)) {}

    void readKeymap() {
        XkbKeymapPtr keymap(xkb_x11_keymap_new_from_device(context_.get(), connection_, device_,
                                                           XKB_KEYMAP_COMPILE_NO_FLAGS));
        if (keymap) keymap_ = std::move(keymap);
    }

    xcb_connection_t* connection_;
    XkbContextPtr context_;
    int32_t device_;
    XkbKeymapPtr keymap_;
    uint32_t layout_ = 0;
};

class NamedKeymap : public SessionKeymap {
public:
    NamedKeymap() : keymap_(keymapFromNames(nullptr)) {}
    bool refresh() override { return std::exchange(changed_, false); }
    xkb_keymap* keymap() const override { return keymap_.get(); }
    uint32_t layout() const override { return 0; }

private:
    XkbKeymapPtr keymap_;
    bool changed_ = true;
};

bool set(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

}  // namespace

std::unique_ptr<SessionKeymap> openSessionKeymap() {
    if (set("WAYLAND_DISPLAY"))
        if (auto session = WaylandSessionKeymap::open()) return session;
    if (set("DISPLAY"))
        if (auto session = X11SessionKeymap::open()) return session;
    return std::make_unique<NamedKeymap>();
}

}  // namespace qm::linux_platform
