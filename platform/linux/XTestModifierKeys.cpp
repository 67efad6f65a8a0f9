#include "platform/linux/XTestModifierKeys.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>

#include <memory>

namespace qm::linux_platform {
namespace {

struct XkbDescDeleter {
    void operator()(XkbDescPtr xkb) const { XkbFreeKeyboard(xkb, 0, True); }
};

// -1 without XInput2 2.2, whose raw events come whatever grab is active.
int xinput2Opcode(Display* display) {
    int opcode = 0, event = 0, error = 0, major = 2, minor = 2;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error)) return -1;
    if (XIQueryVersion(display, &major, &minor) != Success || major < 2) return -1;
    return opcode;
}

// Held, such a key changes what others type; a key that locks or latches modifiers is left
// out, since letting go of it and pressing it again would change the lock or the latch.
bool setsModifiersWhileHeld(XkbDescPtr xkb, int keycode) {
    if (!XkbKeyHasActions(xkb, keycode)) return false;
    const XkbAction* actions = XkbKeyActionsPtr(xkb, keycode);
    for (int i = 0; i < XkbKeyNumActions(xkb, keycode); ++i)
        if (actions[i].type == XkbSA_SetMods) return true;
    return false;
}

}  // namespace

XTestModifierKeys::XTestModifierKeys(Display* display, int xkbEventType,
                                     std::function<void()> drainEvents)
    : display_(display),
      xkbEventType_(xkbEventType),
      drainEvents_(std::move(drainEvents)),
      xiOpcode_(xinput2Opcode(display)) {}

void XTestModifierKeys::decodeStarts() {
    drainEvents_();
    ignoreState();
    held_.lift(*this);
}

void XTestModifierKeys::decodeEnds() {
    if (held_.anyLifted()) held_.restore(*this);
    stopCounting();
    watchState();
}

void XTestModifierKeys::readKeyboardMap() {
    modifierKeycodes_.reset();
    const std::unique_ptr<XkbDescRec, XkbDescDeleter> xkb(
        XkbGetMap(display_, XkbKeyTypesMask | XkbKeySymsMask | XkbKeyActionsMask, XkbUseCoreKbd));
    if (!xkb) return;
    for (int keycode = xkb->min_key_code; keycode <= xkb->max_key_code; ++keycode)
        modifierKeycodes_[keycode] = setsModifiersWhileHeld(xkb.get(), keycode);
}

void XTestModifierKeys::fakeKey(uint8_t keycode, bool down) {
    XTestFakeKeyEvent(display_, keycode, down ? True : False, 0);
    if (counting_) ourBalance_[keycode] += down ? 1 : -1;
}

bool XTestModifierKeys::handle(XEvent& event) {
    const auto& xkb = reinterpret_cast<const XkbEvent&>(event);
    if (event.type == xkbEventType_ && xkb.any.xkb_type == XkbStateNotify &&
        xkb.any.serial >= stateSerial_)
        baseModifiers_ = xkb.state.base_mods;
    XGenericEventCookie& cookie = event.xcookie;
    if (xiOpcode_ < 0 || cookie.type != GenericEvent || cookie.extension != xiOpcode_) return false;
    if (counting_ && XGetEventData(display_, &cookie)) {
        const auto* raw = static_cast<const XIRawEvent*>(cookie.data);
        if (raw->detail >= 0 && raw->detail < 256)
            seenBalance_[raw->detail] += cookie.evtype == XI_RawKeyPress ? 1 : -1;
        XFreeEventData(display_, &cookie);
    }
    return true;
}

// Counting starts from a keymap read after raw events were asked for, so no press or release
// falls between the two; the events already queued by then came before it.
std::vector<uint32_t> XTestModifierKeys::heldModifiers() {
    if (baseModifiers_ == 0) return {};
    std::vector<uint32_t> held = modifiersDown();
    if (held.empty() || xiOpcode_ < 0) return held;
    selectRawKeys(true);
    held = modifiersDown();
    drainEvents_();
    seenBalance_.fill(0);
    ourBalance_.fill(0);
    counting_ = true;
    if (held.empty()) stopCounting();
    return held;
}

void XTestModifierKeys::send(uint32_t key, bool down) { fakeKey(static_cast<uint8_t>(key), down); }

// The user held the key when it was lifted: one holder, give or take what they did since.
bool XTestModifierKeys::userHolds(uint32_t key) {
    if (!counting_ || key > 255) return false;
    XSync(display_, False);  // the raw events of everything sent so far are queued now
    drainEvents_();
    return 1 + seenBalance_[key] - ourBalance_[key] > 0;
}

void XTestModifierKeys::stopCounting() {
    if (!counting_) return;
    counting_ = false;
    selectRawKeys(false);
}

void XTestModifierKeys::watchState() {
    XkbSelectEventDetails(display_, XkbUseCoreKbd, XkbStateNotify, XkbModifierBaseMask,
                          XkbModifierBaseMask);
    stateSerial_ = NextRequest(display_);
    XkbStateRec state{};
    // Without an answer, the next decode looks at the keys themselves.
    baseModifiers_ =
        XkbGetState(display_, XkbUseCoreKbd, &state) == Success ? state.base_mods : ~0u;
}

void XTestModifierKeys::ignoreState() {
    XkbSelectEventDetails(display_, XkbUseCoreKbd, XkbStateNotify, XkbModifierBaseMask, 0);
}

std::vector<uint32_t> XTestModifierKeys::modifiersDown() {
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    std::vector<uint32_t> down;
    for (uint32_t keycode = 0; keycode < 256; ++keycode)
        if (modifierKeycodes_[keycode] && ((keys[keycode / 8] >> (keycode % 8)) & 1))
            down.push_back(keycode);
    return down;
}

void XTestModifierKeys::selectRawKeys(bool on) {
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    if (on) {
        XISetMask(bits, XI_RawKeyPress);
        XISetMask(bits, XI_RawKeyRelease);
    }
    XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
    XISelectEvents(display_, DefaultRootWindow(display_), &mask, 1);
}

}  // namespace qm::linux_platform
