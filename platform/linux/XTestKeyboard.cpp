#include "platform/linux/XTestKeyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>

#include "platform/linux/X11ConnectionLoss.h"

namespace qm::linux_platform {
namespace {

bool carries(const XkbLayout& layout, uint8_t keycode, uint32_t keysym) {
    return std::any_of(layout.levels.begin(), layout.levels.end(), [&](const LayoutLevel& l) {
        return l.stroke.keycode == keycode && l.keysym == keysym;
    });
}

}  // namespace

std::unique_ptr<XTestKeyboard> XTestKeyboard::open(const char* displayName) {
    int major = XkbMajorVersion, minor = XkbMinorVersion, xkbEvent = 0, unused = 0;
    Display* display = XkbOpenDisplay(displayName, &xkbEvent, &unused, &major, &minor, &unused);
    if (!display) return nullptr;
    if (!XTestQueryExtension(display, &unused, &unused, &major, &minor)) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::unique_ptr<XTestKeyboard>(new XTestKeyboard(display, xkbEvent));
}

XTestKeyboard::XTestKeyboard(Display* display, int xkbEventType)
    : display_(display),
      xkbEventType_(xkbEventType),
      modifierKeys_(display, xkbEventType, [this] { drainEvents(); }) {
    watchConnectionLoss(display_, lost_);
    // A new layout, a changed map or another group arrives as an event; they are looked at
    // once per decode.
    const unsigned changes = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
    XkbSelectEvents(display_, XkbUseCoreKbd, changes, changes);
    XkbSelectEventDetails(display_, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask,
                          XkbGroupStateMask);
    rereadLayout();
    modifierKeys_.watchState();
}

XTestKeyboard::~XTestKeyboard() {
    if (!connectionLost(lost_)) {
        modifierKeys_.letGoOfPressedBack();
        restoreBorrowedKeycodes();
    }
    XCloseDisplay(display_);
}

void XTestKeyboard::inject(uint8_t virtualKey, uint32_t flags) {
    if (connectionLost(lost_)) return;
    const auto event = stream_.feed(virtualKey, flags);
    if (!event) return;
    if (decodeStarting_) {
        rereadLayoutIfChanged();
        modifierKeys_.decodeStarts();
        decodeStarting_ = false;
    }
    if (event->down)
        press(virtualKey, event->keysym);
    else
        release(virtualKey);
}

// The events of a decode wait in the output buffer until here, so the server takes them in
// a few writes rather than one a key. Reading the state back is the one round trip.
void XTestKeyboard::flush() {
    if (connectionLost(lost_)) return;
    modifierKeys_.decodeEnds();
    decodeStarting_ = true;
}

// The modifiers are held around the press only: the character is decided there, and no
// modifier stays down while the next key is typed.
void XTestKeyboard::press(uint8_t virtualKey, uint32_t keysym) {
    const auto stroke = strokeFor(keysym);
    if (!stroke) return;
    for (int mod = 0; mod < 8; ++mod)
        if (stroke->modifiers & (1u << mod))
            modifierKeys_.fakeKey(layout_.modifierKeycodes[mod], true);
    modifierKeys_.fakeKey(stroke->keycode, true);
    for (int mod = 7; mod >= 0; --mod)
        if (stroke->modifiers & (1u << mod))
            modifierKeys_.fakeKey(layout_.modifierKeycodes[mod], false);
    pressedKeycode_[virtualKey] = stroke->keycode;
}

void XTestKeyboard::release(uint8_t virtualKey) {
    const uint8_t keycode = std::exchange(pressedKeycode_[virtualKey], 0);
    if (keycode == 0) return;
    modifierKeys_.fakeKey(keycode, false);
}

std::optional<KeyStroke> XTestKeyboard::strokeFor(uint32_t keysym) {
    if (const auto stroke = strokes_.find(keysym)) return stroke;
    return borrowSpareKeycode(keysym);
}

// The borrowed keycode keeps its keysym until this keyboard goes: putting it back at once
// would race the client, which looks the mapping up only when it reads the key event.
std::optional<KeyStroke> XTestKeyboard::borrowSpareKeycode(uint32_t keysym) {
    if (layout_.spareKeycodes.empty()) return std::nullopt;
    const uint8_t keycode = layout_.spareKeycodes.back();
    layout_.spareKeycodes.pop_back();
    KeySym both[2] = {keysym, keysym};
    XChangeKeyboardMapping(display_, keycode, 2, both, 1);
    borrowed_.emplace_back(keycode, keysym);
    const KeyStroke stroke{keycode, 0};
    strokes_.add(keysym, stroke);
    return stroke;
}

// No round trip: the server sends a change's events before the program that made it hears
// back, so they are in the socket by the time anyone types after it.
void XTestKeyboard::drainEvents() {
    while (XEventsQueued(display_, QueuedAfterReading) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (modifierKeys_.handle(event)) continue;
        layoutChanged_ = layoutChanged_ || changesLayout(event);
    }
}

bool XTestKeyboard::changesLayout(const XEvent& event) const {
    if (event.type == MappingNotify) return true;
    if (event.type != xkbEventType_) return false;
    const auto& xkb = reinterpret_cast<const XkbEvent&>(event);
    return xkb.any.xkb_type != XkbStateNotify || (xkb.state.changed & XkbGroupStateMask);
}

void XTestKeyboard::rereadLayoutIfChanged() {
    drainEvents();
    if (std::exchange(layoutChanged_, false)) rereadLayout();
}

void XTestKeyboard::rereadLayout() {
    layout_ = readXkbLayout(display_);
    modifierKeys_.readKeyboardMap();
    strokes_ = StrokeIndex(layout_.levels);
    // A new layout replaces what was borrowed; keep only keycodes still carrying our keysym.
    std::erase_if(borrowed_, [&](const auto& b) { return !carries(layout_, b.first, b.second); });
}

void XTestKeyboard::restoreBorrowedKeycodes() {
    XSync(display_, False);  // a layout set since the last decode must not lose its keys
    rereadLayoutIfChanged();
    for (const auto& [keycode, keysym] : borrowed_) {
        KeySym none = NoSymbol;
        XChangeKeyboardMapping(display_, keycode, 1, &none, 1);
    }
    XSync(display_, False);
}

}  // namespace qm::linux_platform
